// Plane: half-space spans with an infinite end, the equation changed by the transform slots
// while the plane has no matrix, and random rays against randomly placed planes.
#include "objects/plane.h"

#include "base/statistics.h"
#include "solid_checks.h"

namespace {

class PlaneTest : public SolidTest {
protected:
    Plane* defaultPlane() { return keep<Plane>(make_plane(0, 1, 0, 0)); }
};

bool isUnbounded(const BoundingBox& b) {
    return b.lower == Vector3{-1e10, -1e10, -1e10} && b.upper == Vector3{1e10, 1e10, 1e10} &&
           b.extent == Vector3{2e10, 2e10, 2e10};
}

TEST_F(PlaneTest, RayFromOutsideEntersForGood) {
    int result = 0;
    auto spans = spansOf(defaultPlane(), {0, 5, 0}, {0, -1, 0}, &result);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].entry.distance, 5);
    EXPECT_EQ(spans[0].entry.point, (Vector3{0, 0, 0}));
    EXPECT_EQ(spans[0].exit.distance, NO_LIMIT);
    EXPECT_EQ(stats.planeTests, 1);
    EXPECT_EQ(stats.planeHits, 1);
    EXPECT_EQ(stats.regionTests, 0);
}

TEST_F(PlaneTest, RayFromInsideLeavesAndIsAccepted) {
    auto spans = spansOf(defaultPlane(), {0, -5, 0}, {0, 1, 0});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].entry.distance, -NO_LIMIT);
    EXPECT_EQ(spans[0].exit.distance, 5);
}

TEST_F(PlaneTest, RayLeavingBehindItsOriginIsNoHit) {
    EXPECT_TRUE(spansOf(defaultPlane(), {0, 5, 0}, {0, 1, 0}).empty());
    EXPECT_EQ(stats.planeTests, 1);
    EXPECT_EQ(stats.planeHits, 0);
}

TEST_F(PlaneTest, ParallelRayIsNoHitEvenFromInside) {
    EXPECT_TRUE(spansOf(defaultPlane(), {0, 3, 0}, {1, 0, 0}).empty());
    EXPECT_TRUE(spansOf(defaultPlane(), {0, -3, 0}, {1, 0, 0}).empty());
    EXPECT_EQ(stats.planeTests, 2);
    EXPECT_EQ(stats.planeHits, 0);
}

TEST_F(PlaneTest, SlotsChangeTheEquationWithoutAMatrix) {
    Plane* plane = defaultPlane();
    Transformation t;
    translation_transformation({0, 2, 0}, t);
    plane->methods->translate(plane, {0, 2, 0}, t);
    EXPECT_EQ(plane->offset, -2);

    scaling_transformation({1, 2, 1}, t);
    plane->methods->scale(plane, {1, 2, 1}, t);
    EXPECT_EQ(plane->normal, (Vector3{0, 1, 0}));
    EXPECT_EQ(plane->offset, -4);

    Plane* turned = defaultPlane();
    rotation_transformation({0, 0, 90}, t);
    turned->methods->rotate(turned, {0, 0, 90}, t);
    EXPECT_NEAR(turned->normal.x, -1, 1e-15);
    EXPECT_NEAR(turned->normal.y, 0, 1e-15);
    EXPECT_EQ(turned->transformation, nullptr);
    EXPECT_TRUE(isUnbounded(turned->bounds));

    Plane* scaled = defaultPlane();
    scaled->methods->scale(scaled, {1, 2, 1}, t);
    EXPECT_EQ(scaled->normal, (Vector3{0, 1, 0}));
    EXPECT_EQ(scaled->offset, 0);
}

TEST_F(PlaneTest, TransformGivesItAMatrixThatLaterSlotsComposeOnto) {
    Plane* plane = defaultPlane();
    Transformation t;
    translation_transformation({0, 2, 0}, t);
    plane->methods->transform(plane, t);
    ASSERT_NE(plane->transformation, nullptr);
    plane->methods->translate(plane, {0, 1, 0}, t);  // composes: the surface is now y = 4
    EXPECT_EQ(plane->offset, 0);
    EXPECT_EQ(plane->methods, &PlaneMethods);
    EXPECT_TRUE(isUnbounded(plane->bounds));
    auto spans = spansOf(plane, {0, 10, 0}, {0, -2, 0});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, 3);
    EXPECT_EQ(normalAt(spans[0].entry), (Vector3{0, 1, 0}));
}

TEST_F(PlaneTest, CopyOwnsItsMatrix) {
    Plane* plane = defaultPlane();
    Transformation t;
    translation_transformation({0, 1, 0}, t);
    plane->methods->transform(plane, t);
    Object* copy = plane->methods->copy(plane);
    EXPECT_EQ(copy->id, plane->id);
    ASSERT_NE(copy->transformation, nullptr);
    EXPECT_NE(copy->transformation, plane->transformation);
    copy->methods->destroy(copy);
}

double planeDistance(const Transformation& t, const Vector3& n, double d, const Vector3& p) {
    return dot(n, transform_point(p, t.inverse)) + d;
}

RayCheckOptions planeOptions() {
    RayCheckOptions options{200};
    options.infiniteEnds = true;
    return options;
}

TEST_F(PlaneTest, RandomRaysAgainstTransformedPlanes) {
    std::mt19937 rng(3);
    for (int i = 0; i < 20; ++i) {
        const Vector3 n = normalize(randomVector(rng, -1, 1));
        const double d = uniform(rng, -1, 1);
        Object* plane = make_plane(n.x, n.y, n.z, d);
        const Transformation t = randomPlacement(rng);
        plane->methods->transform(plane, t);
        checkRandomRays(plane, [&](const Vector3& p) { return planeDistance(t, n, d, p); }, rng,
                        planeOptions());
        plane->methods->destroy(plane);
    }
}

TEST_F(PlaneTest, RandomRaysAgainstPlanesMovedThroughTheirOwnSlots) {
    std::mt19937 rng(5);
    for (int i = 0; i < 20; ++i) {
        const Vector3 n = normalize(randomVector(rng, -1, 1));
        const double d = uniform(rng, -1, 1);
        Object* plane = make_plane(n.x, n.y, n.z, d);
        const Vector3 s = randomVector(rng, 0.5, 2);
        const Vector3 angles = randomVector(rng, -180, 180);
        const Vector3 v = randomVector(rng, -1, 1);
        Transformation total, step;
        scaling_transformation(s, step);
        plane->methods->scale(plane, s, step);
        compose(total, step);
        rotation_transformation(angles, step);
        plane->methods->rotate(plane, angles, step);
        compose(total, step);
        translation_transformation(v, step);
        plane->methods->translate(plane, v, step);
        compose(total, step);
        ASSERT_EQ(plane->transformation, nullptr);
        checkRandomRays(plane, [&](const Vector3& p) { return planeDistance(total, n, d, p); }, rng,
                        planeOptions());
        plane->methods->destroy(plane);
    }
}

}  // namespace
