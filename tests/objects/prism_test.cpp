// Prism: segment set-up with sub-outlines, caps and holes, parallel rays, counters, the conic
// sweep, copies sharing the segment table, errors, and random rays against placed prisms.
#include "objects/prism.h"

#include <algorithm>

#include "base/statistics.h"
#include "span_checks.h"

namespace {

// Built the way the scene parser builds it.
Prism* buildPrism(int sweep, double h1, double h2, const std::vector<OutlinePoint>& points) {
    Prism* prism = new_prism();
    prism->texture = defaultTexture();
    prism->light = sceneLight();
    ++primitiveCount;
    prism->sweep = sweep;
    prism->height1 = h1;
    prism->height2 = h2;
    prism->outline_count = static_cast<int>(points.size());
    set_up_segments(prism, points);
    compute_prism_bounds(prism);
    return prism;
}

class PrismTest : public SolidTest {
protected:
    Prism* makePrism(int sweep, double h1, double h2, const std::vector<OutlinePoint>& points) {
        return keep<Prism>(buildPrism(sweep, h1, h2, points));
    }
    void randomPrisms(int sweep, double h1lo, double h1hi, double h2lo, double h2hi);
};

const std::vector<OutlinePoint> unitSquare = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};

void expectVector(const Vector3& v, const Vector3& expected, double tol = 1e-12) {
    EXPECT_NEAR(v.x, expected.x, tol);
    EXPECT_NEAR(v.y, expected.y, tol);
    EXPECT_NEAR(v.z, expected.z, tol);
}

TEST_F(PrismTest, SquareSetUpAndBounds) {
    Prism* p = makePrism(LINEAR_SWEEP, 0, 1, unitSquare);
    EXPECT_EQ(p->outline_count, 4);
    ASSERT_NE(p->segments, nullptr);
    EXPECT_EQ(p->segments->references, 1);
    ASSERT_EQ(p->segments->segments.size(), 4u);
    const Segment& s = p->segments->segments[1];  // (1, 0) to (1, 1)
    EXPECT_EQ(s.k1x, 0);
    EXPECT_EQ(s.k1z, 1);
    EXPECT_EQ(s.k0x, 1);
    EXPECT_EQ(s.k0z, 0);
    EXPECT_EQ(s.k3x, 0);
    EXPECT_EQ(s.k2z, 0);
    EXPECT_EQ(p->hits.size(), 5u + 2u);  // room counted from the points
    expectVector(p->bounds.lower, {0, 0, 0});
    expectVector(p->bounds.upper, {1, 1, 1});
    EXPECT_EQ(p->transformation->forward.m[0][0], 1);
}

TEST_F(PrismTest, VerticalRayThroughBothCaps) {
    Prism* p = makePrism(LINEAR_SWEEP, 0, 1, unitSquare);
    int result = 0;
    auto spans = spansOf(p, {0.5, 5, 0.5}, {0, -1, 0}, &result);
    EXPECT_EQ(result, 2);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, 4);
    EXPECT_EQ(spans[0].entry.index1, PRISM_CAP2);
    EXPECT_DOUBLE_EQ(spans[0].exit.distance, 5);
    EXPECT_EQ(spans[0].exit.index1, PRISM_CAP1);
    expectVector(spans[0].exit.point, {0.5, 0, 0.5});
    EXPECT_EQ(spans[0].entry.object, p);
    EXPECT_EQ(stats.prismTests, 1);
    EXPECT_EQ(stats.prismHits, 1);
    EXPECT_EQ(stats.prismBoundsTests, 1);  // no side is tried for a vertical ray
    EXPECT_EQ(stats.prismBoundsHits, 1);
}

TEST_F(PrismTest, HorizontalRayThroughTwoSides) {
    Prism* p = makePrism(LINEAR_SWEEP, 0, 1, unitSquare);
    auto spans = spansOf(p, {-5, 0.5, 0.25}, {2, 0, 0});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, 2.5);
    EXPECT_DOUBLE_EQ(spans[0].exit.distance, 3);
    EXPECT_EQ(spans[0].entry.index1, PRISM_SIDE);
    EXPECT_EQ(spans[0].entry.index2, 3);  // (0, 1) to (0, 0)
    EXPECT_DOUBLE_EQ(spans[0].entry.value, 0.75);
    EXPECT_EQ(spans[0].exit.index2, 1);
    // Whole prism, then the four segments; the walls z = 0 and z = 1 lie beside the ray.
    EXPECT_EQ(stats.prismBoundsTests, 5);
    EXPECT_EQ(stats.prismBoundsHits, 3);
}

TEST_F(PrismTest, RayParallelToTheCapsOutsideTheHeightsMeetsNothing) {
    Prism* p = makePrism(LINEAR_SWEEP, 0, 1, unitSquare);
    int result = 1;
    // The box test passes for a ray over the box only if it starts within it.
    EXPECT_TRUE(spansOf(p, {0.5, 1.5, 0.5}, {1, 0, 0}, &result).empty());
    EXPECT_EQ(result, 0);
    Ray ray;
    initRay(ray, {-5, 1.5, 0.5}, {1, 0, 0});
    IntersectionStack* stack = acquireStack();
    // Straight to the spans routine past the box: the lines of the sides are crossed.
    EXPECT_EQ(PrismMethods.intersect(p, ray, stack), 0);
    releaseStack(stack);
}

TEST_F(PrismTest, InnerOutlineMakesAHole) {
    const std::vector<OutlinePoint> points = {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0},
                                              {1, 1}, {1, 3}, {3, 3}, {3, 1}, {1, 1}};
    Prism* p = makePrism(LINEAR_SWEEP, 0, 1, points);
    EXPECT_EQ(p->outline_count, 8);
    EXPECT_TRUE(spansOf(p, {2, 5, 2}, {0, -1, 0}).empty());
    EXPECT_EQ(spansOf(p, {0.5, 5, 2}, {0, -1, 0}).size(), 1u);
    // Across the hole: two spans, sorted.
    auto spans = spansOf(p, {-1, 0.5, 2}, {1, 0, 0});
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, 1);
    EXPECT_DOUBLE_EQ(spans[0].exit.distance, 2);
    EXPECT_DOUBLE_EQ(spans[1].entry.distance, 4);
    EXPECT_DOUBLE_EQ(spans[1].exit.distance, 5);
}

TEST_F(PrismTest, ShortOutlinesMakeNoSegmentsAndMeetNothing) {
    for (const std::vector<OutlinePoint>& points :
         {std::vector<OutlinePoint>{}, std::vector<OutlinePoint>{{0.5, 0.5}}}) {
        Prism* p = makePrism(LINEAR_SWEEP, 0, 1, points);
        EXPECT_EQ(p->outline_count, 0);
        EXPECT_EQ(p->sweep_box[0], 2e10);
        EXPECT_EQ(p->sweep_box[1], 2e10);
        EXPECT_EQ(p->sweep_box[2], -2e10);
        EXPECT_EQ(p->sweep_box[3], -2e10);
        stats = Statistics();
        EXPECT_TRUE(spansOf(p, {0.5, 5, 0.5}, {0, -1, 0}).empty());
        EXPECT_TRUE(spansOf(p, {0, 0, 0}, {1, 1, 1}).empty());
        EXPECT_EQ(stats.prismBoundsHits, 0);
    }
}

TEST_F(PrismTest, CountsThatDisagreeWithThePointsAreSafe) {
    Prism* p = keep<Prism>(new_prism());
    p->outline_count = 9;  // more than given
    set_up_segments(p, {{0, 0}, {1, 0}, {1, 1}});
    EXPECT_EQ(p->outline_count, 2);
    compute_prism_bounds(p);
    spansOf(p, {0.5, 5, 0.5}, {0, -1, 0});

    Prism* negative = keep<Prism>(new_prism());
    negative->outline_count = -3;
    set_up_segments(negative, unitSquare);
    EXPECT_EQ(negative->outline_count, 0);
    EXPECT_EQ(negative->hits.size(), 2u);

    // A prism that never had its segments set up meets nothing.
    Prism* bare = keep<Prism>(new_prism());
    compute_prism_bounds(bare);
    EXPECT_TRUE(spansOf(bare, {0, 5, 0}, {0, -1, 0}).empty());
    EXPECT_TRUE(spansOf(bare, {-5, 0, 0}, {1, 0, 0}).empty());
}

TEST_F(PrismTest, ConicSweepScalesTheBoxes) {
    const std::vector<OutlinePoint> square = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}};
    Prism* p = makePrism(CONIC_SWEEP, 0.5, 2, square);
    EXPECT_EQ(p->sweep_box[0], -2);
    EXPECT_EQ(p->sweep_box[3], 2);
    EXPECT_EQ(p->outline_box[0], -1);
    EXPECT_EQ(p->outline_box[3], 1);
    const Segment& s = p->segments->segments[0];  // (-1, -1) to (1, -1)
    EXPECT_EQ(s.x_min, -2);
    EXPECT_EQ(s.z_min, -2);
    EXPECT_EQ(s.z_max, -0.5);
    EXPECT_EQ(s.plain_z_min, -1);
    EXPECT_EQ(s.plain_z_max, -1);
    expectVector(p->bounds.lower, {-2, 0.5, -2});
    expectVector(p->bounds.upper, {2, 2, 2});

    // Down the axis: cap at 2, cap at 0.5.
    auto spans = spansOf(p, {0, 5, 0.1}, {0, -1, 0});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, 3);
    EXPECT_DOUBLE_EQ(spans[0].exit.distance, 4.5);
}

TEST_F(PrismTest, ConicCapAtHeightZeroIsSkipped) {
    const std::vector<OutlinePoint> square = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}};
    Prism* p = makePrism(CONIC_SWEEP, 0, 1, square);
    // Down from above, leaning towards +x: in through the top cap, out through the face x = y.
    const Vector3 origin{0.05, 5, 0.05}, direction{0.01, -1, 0};
    auto spans = spansOf(p, origin, direction);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, 4);
    EXPECT_EQ(spans[0].entry.index1, PRISM_CAP2);
    EXPECT_NEAR(spans[0].exit.distance, 4.95 / 1.01, 1e-12);
    EXPECT_EQ(spans[0].exit.index1, PRISM_SIDE);
    Vector3 n;
    p->methods->normal(&n, spans[0].exit);
    expectVector(n, normalize({1, -1, 0}));
}

TEST_F(PrismTest, NormalsOfCapsAndSides) {
    Prism* p = makePrism(LINEAR_SWEEP, 0, 1, unitSquare);
    Hit hit;
    hit.object = p;
    Vector3 n;
    hit.index1 = PRISM_CAP2;
    expectVector(*p->methods->normal(&n, hit), {0, 1, 0});
    hit.index1 = PRISM_CAP1;
    expectVector(*p->methods->normal(&n, hit), {0, -1, 0});
    hit.index1 = PRISM_SIDE;
    hit.index2 = 1;  // the wall x = 1
    hit.value = 0.5;
    expectVector(*p->methods->normal(&n, hit), {1, 0, 0});
    hit.index2 = 0;  // the wall z = 0
    expectVector(*p->methods->normal(&n, hit), {0, 0, -1});
}

TEST_F(PrismTest, CopySharesTheSegmentTable) {
    Prism* p = makePrism(LINEAR_SWEEP, 0, 1, unitSquare);
    auto* copy = static_cast<Prism*>(p->methods->copy(p));
    EXPECT_EQ(copy->id, p->id);
    EXPECT_EQ(copy->segments, p->segments);
    EXPECT_EQ(p->segments->references, 2);
    EXPECT_NE(copy->transformation, p->transformation);
    EXPECT_NE(copy->hits.data(), p->hits.data());
    EXPECT_GE(p->hits.size(), static_cast<std::size_t>(p->outline_count + 2));
    EXPECT_GE(copy->hits.size(), static_cast<std::size_t>(p->outline_count + 2));
    copy->methods->destroy(copy);
    EXPECT_EQ(p->segments->references, 1);
    EXPECT_EQ(spansOf(p, {0.5, 5, 0.5}, {0, -1, 0}).size(), 1u);
}

TEST(PrismDeathTest, Errors) {
    Prism* p = buildPrism(LINEAR_SWEEP, 0, 1, unitSquare);
    EXPECT_ERROR_EXIT(set_up_segments(p, unitSquare), "ERROR (1400): prism - Prism segments are already defined.\n");
    p->sweep = 3;
    EXPECT_ERROR_EXIT(spansOf(p, {0.5, 5, 0.5}, {0, -1, 0}),
                      "ERROR (1400): prism - Unknown sweep type in intersect_prism().\n");
    Hit hit;
    hit.object = p;
    hit.index1 = PRISM_SIDE;
    Vector3 n;
    EXPECT_ERROR_EXIT(p->methods->normal(&n, hit), "ERROR (1400): prism - Unknown sweep type in Prism_Normal().\n");
    p->methods->destroy(p);
}

using Outline = std::vector<std::vector<OutlinePoint>>;

// Signed distance to a set of closed loops in the x-z plane, inside by even-odd count.
double outlineField(const Outline& loops, double x, double z) {
    double nearest = 1e300;
    bool inside = false;
    for (const auto& loop : loops) {
        for (std::size_t i = 0; i < loop.size(); ++i) {
            const OutlinePoint& a = loop[i];
            const OutlinePoint& b = loop[(i + 1) % loop.size()];
            const double ex = b.x - a.x, ez = b.z - a.z;
            const double u = std::clamp(((x - a.x) * ex + (z - a.z) * ez) / (ex * ex + ez * ez), 0.0, 1.0);
            nearest = std::min(nearest, std::hypot(x - a.x - u * ex, z - a.z - u * ez));
            if ((a.z > z) != (b.z > z) && x < a.x + (z - a.z) * ex / ez) inside = !inside;
        }
    }
    return inside ? -nearest : nearest;
}

double prismField(int sweep, double h1, double h2, const Outline& loops, const Vector3& q) {
    if (sweep == LINEAR_SWEEP) return std::max({h1 - q.y, q.y - h2, outlineField(loops, q.x, q.z)});
    if (q.y <= 1e-9) return h1 - q.y;
    return std::max({h1 - q.y, q.y - h2, q.y * outlineField(loops, q.x / q.y, q.z / q.y)});
}

// A loop around c of k points at random radii; turning from +x towards +z, or the other
// way for a hole.
std::vector<OutlinePoint> starLoop(std::mt19937& rng, double cx, double cz, int k, double rmin, double rmax,
                                   bool hole) {
    std::vector<OutlinePoint> loop;
    for (int i = 0; i < k; ++i) {
        const double angle = 2 * M_PI * (i + uniform(rng, -0.3, 0.3)) / k * (hole ? -1 : 1);
        const double r = uniform(rng, rmin, rmax);
        loop.push_back({cx + r * std::cos(angle), cz + r * std::sin(angle)});
    }
    return loop;
}

void PrismTest::randomPrisms(int sweep, double h1lo, double h1hi, double h2lo, double h2hi) {
    std::mt19937 rng(sweep * 77);
    SpanCheckOptions options;
    options.rays = 250;
    options.tolerance = 1e-7;
    int spans = 0;
    for (int solid = 0; solid < 30; ++solid) {
        const double cx = uniform(rng, -0.3, 0.3), cz = uniform(rng, -0.3, 0.3);
        Outline loops = {starLoop(rng, cx, cz, 5 + solid % 4, 0.6, 1.4, false)};
        if (solid % 2) loops.push_back(starLoop(rng, cx, cz, 3 + solid % 3, 0.1, 0.25, true));
        std::vector<OutlinePoint> points;
        for (const auto& loop : loops) {
            points.insert(points.end(), loop.begin(), loop.end());
            points.push_back(loop.front());
        }
        const double h1 = uniform(rng, h1lo, h1hi), h2 = uniform(rng, h2lo, h2hi);
        Prism* p = makePrism(sweep, h1, h2, points);
        const Transformation placement = randomPlacement(rng);
        p->methods->transform(p, placement);
        spans += checkSpansFromOutside(
            p, placed(placement, [=](const Vector3& q) { return prismField(sweep, h1, h2, loops, q); }), rng,
            options);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "solid " << solid;
            return;
        }
    }
    EXPECT_GT(spans, 30 * 250 / 10) << "too few rays met the solids to tell anything";
}

TEST_F(PrismTest, RandomRaysAgainstPlacedLinearPrisms) { randomPrisms(LINEAR_SWEEP, -1, 0, 0.5, 1.5); }

TEST_F(PrismTest, RandomRaysAgainstPlacedConicPrisms) { randomPrisms(CONIC_SWEEP, 0.3, 0.8, 1.2, 2); }

}  // namespace
