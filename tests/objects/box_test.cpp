// Box: slab spans with their face codes and tie rules, the corner-changing slots, the fatal
// unknown face, and random rays against randomly placed boxes.
#include "objects/box.h"

#include <unistd.h>

#include <algorithm>
#include <string>

#include "base/statistics.h"
#include "solid_checks.h"

namespace {

class BoxTest : public SolidTest {
protected:
    Box* build(double x1, double y1, double z1, double x2, double y2, double z2) {
        return keep<Box>(make_box(x1, y1, z1, x2, y2, z2));
    }
    Box* cube() { return build(-1, -1, -1, 1, 1, 1); }
};

using BoxDeathTest = BoxTest;

struct Expected {
    double entry, exit;
    int entryFace, exitFace;
};

void expectSpan(Object* box, const Vector3& origin, const Vector3& direction, const Expected& e) {
    int result = 0;
    auto spans = spansOf(box, origin, direction, &result);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, e.entry);
    EXPECT_DOUBLE_EQ(spans[0].exit.distance, e.exit);
    EXPECT_EQ(spans[0].entry.index1, e.entryFace);
    EXPECT_EQ(spans[0].exit.index1, e.exitFace);
}

TEST_F(BoxTest, SpanThroughTwoOppositeFaces) {
    Box* box = cube();
    expectSpan(box, {0, 0, -5}, {0, 0, 1}, {4, 6, FACE_MIN_Z, FACE_MAX_Z});
    auto spans = spansOf(box, {0, 0, -5}, {0, 0, 1});
    EXPECT_EQ(normalAt(spans[0].entry), (Vector3{0, 0, -1}));
    EXPECT_EQ(normalAt(spans[0].exit), (Vector3{0, 0, 1}));
    EXPECT_EQ(spans[0].entry.point, (Vector3{0, 0, -1}));
    EXPECT_EQ(stats.boxTests, 2);
    EXPECT_EQ(stats.boxHits, 2);
    EXPECT_EQ(stats.regionTests, 0);
}

TEST_F(BoxTest, OriginInsideGivesANegativeEntry) {
    expectSpan(cube(), {0, 0, 0}, {1, 0, 0}, {-1, 1, FACE_MIN_X, FACE_MAX_X});
}

TEST_F(BoxTest, ParallelRayOutsideTheSlabMisses) {
    EXPECT_TRUE(spansOf(cube(), {2, 0, -5}, {0, 0, 1}).empty());
    EXPECT_EQ(stats.boxTests, 1);
    EXPECT_EQ(stats.boxHits, 0);
}

TEST_F(BoxTest, BoxBehindTheOriginMisses) {
    EXPECT_TRUE(spansOf(cube(), {0, 0, 5}, {0, 0, 1}).empty());
    EXPECT_EQ(stats.boxHits, 0);
}

TEST_F(BoxTest, TiesGoToTheAxisTheRayRunsMoreSteeplyAlong) {
    // Equal slopes: x keeps both faces.
    expectSpan(cube(), {-5, -5, 0}, {1, 1, 0}, {4, 6, FACE_MIN_X, FACE_MAX_X});
    // Entries tie at 4 and y is steeper; the y slab alone ends the span.
    expectSpan(cube(), {-5, -9, 0}, {1, 2, 0}, {4, 5, FACE_MIN_Y, FACE_MAX_Y});
    // z takes a tie from an x face only when steeper than x...
    expectSpan(cube(), {-5, 0, -5}, {1, 0, 1}, {4, 6, FACE_MIN_X, FACE_MAX_X});
    expectSpan(cube(), {-5, 0, -9}, {1, 0, 2}, {4, 5, FACE_MIN_Z, FACE_MAX_Z});
    // ... and from a y face only when steeper than y.
    expectSpan(cube(), {0, -9, -5}, {0, 2, 1}, {4, 5, FACE_MIN_Y, FACE_MAX_Y});
    expectSpan(cube(), {0, -5, -9}, {0, 1, 2}, {4, 5, FACE_MIN_Z, FACE_MAX_Z});
}

TEST_F(BoxTest, BuilderOrdersTheCorners) {
    Box* box = build(1, 2, 3, -1, -2, -3);
    EXPECT_EQ(box->corner_min, (Vector3{-1, -2, -3}));
    EXPECT_EQ(box->corner_max, (Vector3{1, 2, 3}));
    EXPECT_EQ(box->bounds.lower, (Vector3{-1, -2, -3}));
    EXPECT_EQ(box->bounds.extent, (Vector3{2, 4, 6}));
    EXPECT_EQ(box->transformation, nullptr);
    EXPECT_EQ(box->texture, defaultTexture());
}

TEST_F(BoxTest, NewBoxIsTheUnitCube) {
    Box* box = new_box();
    EXPECT_EQ(box->bounds.lower, (Vector3{-1, -1, -1}));
    EXPECT_EQ(box->bounds.upper, (Vector3{1, 1, 1}));
    EXPECT_EQ(box->methods, &BoxMethods);
    box->methods->destroy(box);
}

TEST_F(BoxTest, ScaleAndTranslateChangeTheCornersWithoutAMatrix) {
    Box* box = build(1, 0, 0, 2, 1, 1);
    Transformation t;
    scaling_transformation({-1, 1, 1}, t);
    box->methods->scale(box, {-1, 1, 1}, t);
    EXPECT_EQ(box->corner_min, (Vector3{-2, 0, 0}));
    EXPECT_EQ(box->corner_max, (Vector3{-1, 1, 1}));
    translation_transformation({0, 0, 3}, t);
    box->methods->translate(box, {0, 0, 3}, t);
    EXPECT_EQ(box->corner_min, (Vector3{-2, 0, 3}));
    EXPECT_EQ(box->bounds.upper, (Vector3{-1, 1, 4}));
    EXPECT_EQ(box->transformation, nullptr);
}

TEST_F(BoxTest, RotatedBoxKeepsItsCornersAndIntersectsLocally) {
    Box* box = build(0, 0, 0, 1, 2, 3);
    Transformation t;
    rotation_transformation({0, 0, 90}, t);
    box->methods->rotate(box, {0, 0, 90}, t);
    ASSERT_NE(box->transformation, nullptr);
    EXPECT_EQ(box->corner_max, (Vector3{1, 2, 3}));
    EXPECT_NEAR(box->bounds.lower.x, -2, 1e-12);
    EXPECT_NEAR(box->bounds.upper.y, 1, 1e-12);

    translation_transformation({5, 0, 0}, t);
    box->methods->translate(box, {5, 0, 0}, t);  // composes now
    EXPECT_EQ(box->corner_min, (Vector3{0, 0, 0}));
    auto spans = spansOf(box, {0, 0.5, 1}, {1, 0, 0});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_NEAR(spans[0].entry.distance, 3, 1e-12);
    EXPECT_NEAR(spans[0].exit.distance, 5, 1e-12);
    // After the quarter turn the local +y face looks along world -x.
    EXPECT_EQ(spans[0].entry.index1, FACE_MAX_Y);
    const Vector3 n = normalAt(spans[0].entry);
    EXPECT_NEAR(n.x, -1, 1e-12);
    EXPECT_NEAR(n.y, 0, 1e-12);
}

TEST_F(BoxTest, CopyOwnsItsMatrix) {
    Box* box = cube();
    Transformation t;
    box->methods->transform(box, t);
    Object* copy = box->methods->copy(box);
    EXPECT_EQ(copy->id, box->id);
    ASSERT_NE(copy->transformation, nullptr);
    EXPECT_NE(copy->transformation, box->transformation);
    EXPECT_EQ(static_cast<Box*>(copy)->corner_max, box->corner_max);
    copy->methods->destroy(copy);
}

TEST_F(BoxDeathTest, UnknownFaceStopsTheProgram) {
    Box* box = cube();
    Hit hit;
    hit.object = box;
    hit.index1 = FACE_NONE;
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);  // the error line goes to stdout
            Vector3 n;
            box->methods->normal(&n, hit);
        },
        ::testing::ExitedWithCode(255),
        ::testing::Matcher<const std::string&>(std::string("ERROR (1000): box - Unknown box side in Box_Normal().\n")));
}

// Signed distance to the box in its local frame.
double boxDistance(const Transformation& t, const Vector3& lo, const Vector3& hi, const Vector3& world) {
    const Vector3 p = transform_point(world, t.inverse);
    const Vector3 c = (lo + hi) * 0.5, h = (hi - lo) * 0.5;
    const Vector3 q{std::fabs(p.x - c.x) - h.x, std::fabs(p.y - c.y) - h.y, std::fabs(p.z - c.z) - h.z};
    const Vector3 outside{std::max(q.x, 0.0), std::max(q.y, 0.0), std::max(q.z, 0.0)};
    return length(outside) + std::min(std::max(q.x, std::max(q.y, q.z)), 0.0);
}

// The face code of every finite end names the face the local point lies on.
void expectFacesMatchPoints(Object* box, const Transformation& t, std::mt19937& rng) {
    const Box* b = static_cast<const Box*>(box);
    for (int i = 0; i < 200; ++i) {
        const Vector3 origin = randomVector(rng, -6, 6);
        for (const Intersection& span : spansOf(box, origin, randomVector(rng, -2, 2) - origin)) {
            for (const Hit* hit : {&span.entry, &span.exit}) {
                ASSERT_GE(hit->index1, FACE_MIN_X);
                ASSERT_LE(hit->index1, FACE_MAX_Z);
                const Vector3 p = transform_point(hit->point, t.inverse);
                const int axis = (hit->index1 - 1) / 2;
                const Vector3& corner = hit->index1 % 2 ? b->corner_min : b->corner_max;
                const double coordinate[3] = {p.x, p.y, p.z}, face[3] = {corner.x, corner.y, corner.z};
                ASSERT_NEAR(coordinate[axis], face[axis], 1e-9);
            }
        }
    }
}

TEST_F(BoxTest, RandomRaysAgainstTransformedBoxes) {
    std::mt19937 rng(13);
    for (int i = 0; i < 20; ++i) {
        const Vector3 a = randomVector(rng, -2, 2), c = randomVector(rng, -2, 2);
        Object* box = make_box(a.x, a.y, a.z, c.x, c.y, c.z);
        const Vector3 lo = static_cast<Box*>(box)->corner_min, hi = static_cast<Box*>(box)->corner_max;
        const Transformation t = randomPlacement(rng);
        box->methods->transform(box, t);
        checkRandomRays(box, [&](const Vector3& p) { return boxDistance(t, lo, hi, p); }, rng, {200});
        expectFacesMatchPoints(box, t, rng);
        box->methods->destroy(box);
    }
}

TEST_F(BoxTest, RandomRaysAgainstBoxesMovedThroughTheirOwnSlots) {
    std::mt19937 rng(17);
    for (int i = 0; i < 20; ++i) {
        const Vector3 a = randomVector(rng, -2, 2), c = randomVector(rng, -2, 2);
        Object* box = make_box(a.x, a.y, a.z, c.x, c.y, c.z);
        const Vector3 lo = static_cast<Box*>(box)->corner_min, hi = static_cast<Box*>(box)->corner_max;
        const Vector3 s = multiply(randomVector(rng, 0.5, 2), {i % 2 ? -1.0 : 1.0, 1, i % 3 ? 1.0 : -1.0});
        const Vector3 v = randomVector(rng, -1, 1);
        Transformation total, step;
        scaling_transformation(s, step);
        box->methods->scale(box, s, step);
        compose(total, step);
        translation_transformation(v, step);
        box->methods->translate(box, v, step);
        compose(total, step);
        ASSERT_EQ(box->transformation, nullptr);
        checkRandomRays(box, [&](const Vector3& p) { return boxDistance(total, lo, hi, p); }, rng, {200});
        box->methods->destroy(box);
    }
}

}  // namespace
