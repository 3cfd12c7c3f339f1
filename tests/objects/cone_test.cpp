// Cone and cylinder: preparation and the table switch, spans along the axis and from inside,
// normals, transforms and copies, errors, and random rays against placed solids.
#include "objects/cone.h"

#include <algorithm>

#include "base/statistics.h"
#include "span_checks.h"

namespace {

class ConeTest : public SolidTest {
protected:
    Cone* cylinder(double x1, double y1, double z1, double x2, double y2, double z2, double r) {
        return keep<Cone>(make_cylinder(x1, y1, z1, x2, y2, z2, r));
    }
    Cone* cone(double x1, double y1, double z1, double r1, double x2, double y2, double z2, double r2) {
        return keep<Cone>(make_cone(x1, y1, z1, r1, x2, y2, z2, r2));
    }
};

void expectVector(const Vector3& v, const Vector3& expected, double tol = 1e-12) {
    EXPECT_NEAR(v.x, expected.x, tol);
    EXPECT_NEAR(v.y, expected.y, tol);
    EXPECT_NEAR(v.z, expected.z, tol);
}

TEST_F(ConeTest, EqualRadiiMakeACylinder) {
    Cone* c = cone(0, 0, 0, 2, 0, 0, 3, 2);
    EXPECT_EQ(c->methods, &CylinderMethods);
    EXPECT_EQ(c->small_end, 0);
    expectVector(c->bounds.lower, {-2, -2, 0});
    expectVector(c->bounds.upper, {2, 2, 3});
    EXPECT_EQ(c->texture, defaultTexture());
    EXPECT_EQ(c->light, sceneLight());
}

TEST_F(ConeTest, ConeIsStoredWithTheWideEndAsApex) {
    Cone* c = cone(0, 0, 0, 2, 0, 0, 4, 1);
    EXPECT_EQ(c->methods, &ConeMethods);
    expectVector(c->apex_point, {0, 0, 0});
    expectVector(c->base_point, {0, 0, 4});
    EXPECT_EQ(c->apex_radius, 2);
    EXPECT_EQ(c->base_radius, 1);
    EXPECT_DOUBLE_EQ(c->small_end, 0.5);
    // The canonical tip, and the wide cap of radius 2 around the apex point.
    expectVector(transform_point({0, 0, 0}, c->transformation->forward), {0, 0, 8});
    expectVector(transform_point({1, 0, 1}, c->transformation->forward), {2, 0, 0}, 1e-9);
    expectVector(transform_point({0.5, 0, 0.5}, c->transformation->forward), {1, 0, 4}, 1e-9);
    expectVector(c->bounds.lower, {-2, -2, 0}, 1e-9);
    expectVector(c->bounds.upper, {2, 2, 4}, 1e-9);
}

TEST_F(ConeTest, AxisRayThroughCylinderMeetsBothCaps) {
    Cone* c = cylinder(0, 0, 0, 0, 0, 2, 1);
    int result = 0;
    auto spans = spansOf(c, {0, 0, -5}, {0, 0, 1}, &result);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(result, 2);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, 5);
    EXPECT_DOUBLE_EQ(spans[0].exit.distance, 7);
    EXPECT_EQ(spans[0].entry.index1, SURFACE_BASE);
    EXPECT_EQ(spans[0].exit.index1, SURFACE_APEX);
    expectVector(spans[0].exit.point, {0, 0, 2});
    EXPECT_EQ(spans[0].entry.object, c);
    EXPECT_EQ(spans[0].entry.inverted, 0);

    // From the other side, with a direction of length 2: distances in ray parameters.
    spans = spansOf(c, {0, 0, 10}, {0, 0, -2});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, 4);
    EXPECT_DOUBLE_EQ(spans[0].exit.distance, 5);
    EXPECT_EQ(spans[0].entry.index1, SURFACE_APEX);
    EXPECT_EQ(spans[0].exit.index1, SURFACE_BASE);
    EXPECT_EQ(stats.coneTests, 2);
    EXPECT_EQ(stats.coneHits, 2);
}

TEST_F(ConeTest, TangentRayGivesAZeroLengthSpan) {
    Cone* c = cylinder(0, 0, 0, 0, 0, 1, 1);
    auto spans = spansOf(c, {-5, 1, 0.5}, {1, 0, 0});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].entry.distance, 5);
    EXPECT_EQ(spans[0].exit.distance, 5);
    EXPECT_EQ(spans[0].entry.index1, SURFACE_SIDE);
}

TEST_F(ConeTest, RayFromInsideCylinderStartsBehindTheOrigin) {
    auto spans = spansOf(cylinder(0, 0, 0, 0, 0, 1, 1), {0, 0, 0.5}, {1, 0, 0});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, -1);
    EXPECT_DOUBLE_EQ(spans[0].exit.distance, 1);
}

TEST_F(ConeTest, ConeAlongItsAxis) {
    Cone* c = cone(0, 0, 0, 2, 0, 0, 4, 1);
    int result = 0;
    auto spans = spansOf(c, {0, 0, -3}, {0, 0, 1}, &result);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(result, 1);
    EXPECT_NEAR(spans[0].entry.distance, 3, 1e-9);
    EXPECT_NEAR(spans[0].exit.distance, 7, 1e-9);
    EXPECT_EQ(spans[0].entry.index1, SURFACE_APEX);
    EXPECT_EQ(spans[0].exit.index1, SURFACE_BASE);
}

TEST_F(ConeTest, RayStartingInsideConeWithOneCrossingAheadIsNoHit) {
    int result = 1;
    EXPECT_TRUE(spansOf(cone(0, 0, 0, 2, 0, 0, 4, 1), {0, 0, 2}, {0, 0, 1}, &result).empty());
    EXPECT_EQ(result, 0);
    EXPECT_EQ(stats.coneTests, 1);
    EXPECT_EQ(stats.coneHits, 0);
}

TEST_F(ConeTest, MissingTheBoxCountsNoConeTest) {
    int result = 1;
    EXPECT_TRUE(spansOf(cylinder(0, 0, 0, 0, 0, 1, 1), {5, 5, -5}, {0, 0, 1}, &result).empty());
    EXPECT_EQ(result, 0);
    EXPECT_EQ(stats.coneTests, 0);
    EXPECT_EQ(stats.regionTests, 1);
}

TEST_F(ConeTest, SideRaySpanOfCone) {
    // Radius 1 at z = 0 narrowing to 0.5 at z = 1: at z = 0.5 the radius is 0.75.
    Cone* c = cone(0, 0, 0, 1, 0, 0, 1, 0.5);
    auto spans = spansOf(c, {-5, 0, 0.5}, {1, 0, 0});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_NEAR(spans[0].entry.distance, 4.25, 1e-12);
    EXPECT_NEAR(spans[0].exit.distance, 5.75, 1e-12);
    EXPECT_EQ(spans[0].entry.index1, SURFACE_SIDE);
    Vector3 n;
    c->methods->normal(&n, spans[0].exit);
    expectVector(n, normalize({1, 0, 0.5}));
}

TEST_F(ConeTest, TransformComposesOntoTheFrame) {
    Cone* c = cylinder(0, 0, 0, 0, 0, 2, 1);
    Transformation t;
    translation_transformation({10, 0, 0}, t);
    c->methods->translate(c, {99, 99, 99}, t);  // the vector is not used
    expectVector(c->base_point, {0, 0, 0});     // the building values stay
    expectVector(c->bounds.lower, {9, -1, 0});
    expectVector(c->bounds.upper, {11, 1, 2});
    auto spans = spansOf(c, {10, 0, -5}, {0, 0, 1});
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.distance, 5);

    scaling_transformation({1, 1, 3}, t);
    c->methods->transform(c, t);
    expectVector(c->bounds.upper, {11, 1, 6});
}

TEST_F(ConeTest, CopyKeepsTableAndIdWithItsOwnFrame) {
    Cone* c = cylinder(0, 0, 0, 0, 0, 2, 1);
    const int ids = objectCount;
    auto* copy = static_cast<Cone*>(c->methods->copy(c));
    EXPECT_EQ(objectCount, ids + 1);
    EXPECT_EQ(copy->id, c->id);
    EXPECT_EQ(copy->methods, &CylinderMethods);
    EXPECT_NE(copy->transformation, c->transformation);
    Transformation t;
    translation_transformation({10, 0, 0}, t);
    copy->methods->transform(copy, t);
    EXPECT_EQ(c->bounds.lower.x, -1);
    EXPECT_EQ(copy->bounds.lower.x, 9);
    copy->methods->destroy(copy);
}

TEST(ConeDeathTest, CoincidentEndsStopWithTheMessageOfTheResolvedKind) {
    EXPECT_ERROR_EXIT(make_cylinder(1, 2, 3, 1, 2, 3, 1),
                      "ERROR (1100): cone - Degenerate cylinder, base point = apex point.\n");
    EXPECT_ERROR_EXIT(make_cone(1, 2, 3, 1, 1, 2, 3, 2),
                      "ERROR (1100): cone - Degenerated cone, base point = apex point.\n");
    EXPECT_ERROR_EXIT(make_cone(1, 2, 3, 2, 1, 2, 3, 2),
                      "ERROR (1100): cone - Degenerate cylinder, base point = apex point.\n");
}

// Truncated cone from end b (radius rb) to end a (radius ra) in its building frame.
double coneField(const Vector3& b, double rb, const Vector3& a, double ra, const Vector3& q) {
    const Vector3 d = a - b;
    const double L = length(d);
    const Vector3 axis = d * (1 / L);
    const double h = dot(q - b, axis);
    const double radial = length(q - b - h * axis);
    const double slope = (ra - rb) / L;
    const double side = (radial - (rb + slope * h)) / std::sqrt(1 + slope * slope);
    return std::max({-h, h - L, side});
}

TEST_F(ConeTest, RandomRaysAgainstPlacedConesAndCylinders) {
    std::mt19937 rng(1234);
    SpanCheckOptions options;
    options.rays = 250;
    int spans = 0;
    for (int solid = 0; solid < 40; ++solid) {
        const Vector3 b = randomVector(rng, -1, 1);
        Vector3 a = randomVector(rng, -1, 1);
        if (length(a - b) < 0.3) a = b + Vector3{0, 0, 0.5};
        const double rb = uniform(rng, 0.2, 1);
        double ra = uniform(rng, 0.2, 1);
        if (solid % 4 == 0) ra = rb;           // cylinder
        if (solid % 4 == 1) ra = 0;             // pointed cone
        if (solid % 8 == 2) a = b + Vector3{0, 0, -1};  // axis along -z
        Object* c = keep(make_cone(b.x, b.y, b.z, rb, a.x, a.y, a.z, ra));
        const Transformation placement = randomPlacement(rng);
        c->methods->transform(c, placement);
        spans += checkSpansFromOutside(
            c, placed(placement, [=](const Vector3& q) { return coneField(b, rb, a, ra, q); }), rng,
            options);
        if (HasFailure()) {
            ADD_FAILURE() << "solid " << solid;
            return;
        }
    }
    EXPECT_GT(spans, 40 * 250 / 10) << "too few rays met the solids to tell anything";
}

}  // namespace
