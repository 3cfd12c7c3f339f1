// Sphere: spans and counters of the plain and the transformed sphere, the switch between
// their tables, and random rays against randomly placed spheres.
#include "objects/sphere.h"

#include "base/statistics.h"
#include "solid_checks.h"

namespace {

class SphereTest : public SolidTest {
protected:
    Sphere* build(double x, double y, double z, double radius) {
        return keep<Sphere>(make_sphere(x, y, z, radius));
    }
    Sphere* unitSphere() { return build(0, 0, 0, 1); }
};

void expectPoint(const Vector3& p, const Vector3& expected) {
    EXPECT_NEAR(p.x, expected.x, 1e-12);
    EXPECT_NEAR(p.y, expected.y, 1e-12);
    EXPECT_NEAR(p.z, expected.z, 1e-12);
}

TEST_F(SphereTest, SpanInRayParametersForAnyDirectionLength) {
    Sphere* sphere = unitSphere();
    int result = 0;
    auto spans = spansOf(sphere, {0, 0, -5}, {0, 0, 1}, &result);
    ASSERT_EQ(result, 1);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, 4);
    EXPECT_DOUBLE_EQ(spans[0].exit.distance, 6);
    expectPoint(spans[0].entry.point, {0, 0, -1});
    expectPoint(spans[0].exit.point, {0, 0, 1});
    EXPECT_EQ(spans[0].entry.inverted, 0);

    spans = spansOf(sphere, {0, 0, -5}, {0, 0, 2});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, 2);
    EXPECT_DOUBLE_EQ(spans[0].exit.distance, 3);
    expectPoint(spans[0].entry.point, {0, 0, -1});
    expectPoint(spans[0].exit.point, {0, 0, 1});
    EXPECT_EQ(stats.sphereTests, 2);
    EXPECT_EQ(stats.sphereHits, 2);
    EXPECT_EQ(stats.regionTests, 2);
}

TEST_F(SphereTest, RayFromTheCentreStartsBehindTheOrigin) {
    auto spans = spansOf(build(1, 1, 1, 2), {1, 1, 1}, {0, 1, 0});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, -2);
    EXPECT_DOUBLE_EQ(spans[0].exit.distance, 2);
}

TEST_F(SphereTest, GrazingRayIsNoHit) {
    int result = 1;
    EXPECT_TRUE(spansOf(unitSphere(), {1, 0, -5}, {0, 0, 1}, &result).empty());
    EXPECT_EQ(result, 0);
    EXPECT_EQ(stats.sphereTests, 1);
    EXPECT_EQ(stats.sphereHits, 0);
}

TEST_F(SphereTest, SphereBehindTheOriginIsRejectedBeforeTheDiscriminant) {
    // The origin lies in the bounding box's corner, outside the sphere, heading away from it.
    EXPECT_TRUE(spansOf(unitSphere(), {0.9, 0.9, 0.9}, {1, 1, 1}).empty());
    EXPECT_EQ(stats.regionHits, 1);
    EXPECT_EQ(stats.sphereTests, 1);
    EXPECT_EQ(stats.sphereHits, 0);
}

TEST_F(SphereTest, BoundsMissMovesNoSphereCounter) {
    EXPECT_TRUE(spansOf(unitSphere(), {0, 0, 5}, {0, 0, 1}).empty());
    EXPECT_EQ(stats.regionTests, 1);
    EXPECT_EQ(stats.sphereTests, 0);
}

TEST_F(SphereTest, HitBeyondTheRayEndIsCountedButNotPushed) {
    EXPECT_TRUE(spansOf(build(0, 0, 2e7, 1), {0, 0, 0}, {0, 0, 1}).empty());
    EXPECT_EQ(stats.sphereHits, 1);
}

TEST_F(SphereTest, UniformScaleKeepsItPlain) {
    Sphere* sphere = build(1, 0, 0, 1);
    Transformation t;
    scaling_transformation({2, 2, 2}, t);
    sphere->methods->scale(sphere, {2, 2, 2}, t);
    EXPECT_EQ(sphere->methods, &SphereMethods);
    EXPECT_EQ(sphere->transformation, nullptr);
    EXPECT_EQ(sphere->center, (Vector3{2, 0, 0}));
    EXPECT_EQ(sphere->radius, 2);
    EXPECT_EQ(sphere->radius_squared, 4);
    auto spans = spansOf(sphere, {2, 0, -10}, {0, 0, 1});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, 8);
}

TEST_F(SphereTest, NonUniformScaleSwitchesToTheTransformedTable) {
    Sphere* sphere = unitSphere();
    Transformation t;
    scaling_transformation({2, 1, 1}, t);
    sphere->methods->scale(sphere, {2, 1, 1}, t);
    EXPECT_EQ(sphere->methods, &TransformedSphereMethods);
    ASSERT_NE(sphere->transformation, nullptr);
    EXPECT_EQ(sphere->bounds.lower, (Vector3{-2, -1, -1}));

    auto spans = spansOf(sphere, {0, 0, -10}, {0, 0, 1});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, 9);
    EXPECT_DOUBLE_EQ(spans[0].exit.distance, 11);
    spans = spansOf(sphere, {-10, 0, 0}, {1, 0, 0});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, 8);
    EXPECT_DOUBLE_EQ(spans[0].exit.distance, 12);
    expectPoint(spans[0].exit.point, {2, 0, 0});
    const Vector3 n = normalAt(spans[0].exit);
    expectPoint(n, {1, 0, 0});

    // Never back: a later uniform scale composes as well.
    scaling_transformation({3, 3, 3}, t);
    sphere->methods->scale(sphere, {3, 3, 3}, t);
    EXPECT_EQ(sphere->methods, &TransformedSphereMethods);
    EXPECT_EQ(sphere->radius, 1);
}

TEST_F(SphereTest, TranslateAndRotateMoveTheCentreOfAPlainSphere) {
    Sphere* sphere = build(1, 0, 0, 1);
    Transformation t;
    translation_transformation({0, 2, 0}, t);
    sphere->methods->translate(sphere, {0, 2, 0}, t);
    rotation_transformation({0, 0, 90}, t);
    sphere->methods->rotate(sphere, {0, 0, 90}, t);
    EXPECT_EQ(sphere->methods, &SphereMethods);
    EXPECT_EQ(sphere->transformation, nullptr);
    expectPoint(sphere->center, {-2, 1, 0});
    EXPECT_NEAR(sphere->bounds.upper.y, 2, 1e-12);
}

TEST_F(SphereTest, NegativeRadiusHasPositiveBoundsAndAnInwardNormal) {
    Object* sphere = build(0, 0, 0, -1);
    EXPECT_EQ(sphere->bounds.lower, (Vector3{-1, -1, -1}));
    EXPECT_EQ(sphere->bounds.upper, (Vector3{1, 1, 1}));
    EXPECT_EQ(sphere->bounds.extent, (Vector3{2, 2, 2}));
    auto spans = spansOf(sphere, {0, 0, -5}, {0, 0, 1});
    ASSERT_EQ(spans.size(), 1u);
    expectPoint(normalAt(spans[0].entry), {0, 0, 1});
}

TEST_F(SphereTest, BuilderAndCopy) {
    const int primitives = primitiveCount;
    Object* sphere = build(1, 2, 3, 4);
    EXPECT_EQ(primitiveCount, primitives + 1);
    EXPECT_EQ(sphere->id, objectCount - 1);
    EXPECT_EQ(sphere->texture, defaultTexture());
    EXPECT_EQ(sphere->light, sceneLight());
    EXPECT_EQ(static_cast<Sphere*>(sphere)->radius_squared, 16);

    Transformation t;
    scaling_transformation({1, 2, 1}, t);
    sphere->methods->transform(sphere, t);
    Object* copy = sphere->methods->copy(sphere);
    EXPECT_EQ(copy->id, sphere->id);
    EXPECT_EQ(copy->methods, &TransformedSphereMethods);
    ASSERT_NE(copy->transformation, nullptr);
    EXPECT_NE(copy->transformation, sphere->transformation);
    EXPECT_EQ(copy->transformation->forward.m[1][1], 2);
    copy->methods->destroy(copy);
}

double sphereDistance(const Transformation& t, const Vector3& centre, double radius, const Vector3& p) {
    return length(transform_point(p, t.inverse) - centre) - radius;
}

TEST_F(SphereTest, RandomRaysAgainstTransformedSpheres) {
    std::mt19937 rng(7);
    for (int i = 0; i < 20; ++i) {
        const Vector3 centre = randomVector(rng, -1, 1);
        const double radius = uniform(rng, 0.3, 2);
        Object* sphere = make_sphere(centre.x, centre.y, centre.z, radius);
        const Transformation t = randomPlacement(rng);
        sphere->methods->transform(sphere, t);
        checkRandomRays(sphere, [&](const Vector3& p) { return sphereDistance(t, centre, radius, p); }, rng,
                        {200});
        sphere->methods->destroy(sphere);
    }
}

TEST_F(SphereTest, RandomRaysAgainstPlainSpheresMovedThroughTheirOwnSlots) {
    std::mt19937 rng(11);
    for (int i = 0; i < 20; ++i) {
        const Vector3 centre = randomVector(rng, -1, 1);
        const double radius = uniform(rng, 0.3, 2);
        Object* sphere = make_sphere(centre.x, centre.y, centre.z, radius);
        const Vector3 s = Vector3{1, 1, 1} * uniform(rng, 0.5, 2);
        const Vector3 angles = randomVector(rng, -180, 180);
        const Vector3 v = randomVector(rng, -1, 1);
        Transformation total, step;
        scaling_transformation(s, step);
        sphere->methods->scale(sphere, s, step);
        compose(total, step);
        rotation_transformation(angles, step);
        sphere->methods->rotate(sphere, angles, step);
        compose(total, step);
        translation_transformation(v, step);
        sphere->methods->translate(sphere, v, step);
        compose(total, step);
        ASSERT_EQ(sphere->methods, &SphereMethods);
        checkRandomRays(sphere, [&](const Vector3& p) { return sphereDistance(total, centre, radius, p); },
                        rng, {200});
        sphere->methods->destroy(sphere);
    }
}

}  // namespace
