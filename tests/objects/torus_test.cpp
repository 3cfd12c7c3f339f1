// Torus: the pairing and acceptance of the quartic's roots, normals, placement through its
// matrix, and random rays against randomly placed tori.
#include "objects/torus.h"

#include "base/statistics.h"
#include "solid_checks.h"

namespace {

class TorusTest : public SolidTest {
protected:
    Torus* build(double major, double minor) { return keep<Torus>(make_torus(major, minor)); }
    Torus* ring() { return build(2, 0.5); }
};

void expectSpans(Object* torus, const Vector3& origin, const Vector3& direction,
                 const std::vector<std::pair<double, double>>& expected) {
    int result = -1;
    const auto spans = spansOf(torus, origin, direction, &result);
    EXPECT_EQ(result, static_cast<int>(2 * expected.size()));
    ASSERT_EQ(spans.size(), expected.size());
    for (size_t i = 0; i < spans.size(); ++i) {
        EXPECT_NEAR(spans[i].entry.distance, expected[i].first, 1e-9);
        EXPECT_NEAR(spans[i].exit.distance, expected[i].second, 1e-9);
        const Vector3 p = origin + spans[i].entry.distance * direction;
        EXPECT_EQ(spans[i].entry.point, p);
    }
}

TEST_F(TorusTest, RayThroughBothSidesGivesTwoSpans) {
    expectSpans(ring(), {-5, 0, 0}, {1, 0, 0}, {{2.5, 3.5}, {6.5, 7.5}});
    EXPECT_EQ(stats.torusTests, 1);
    EXPECT_EQ(stats.torusHits, 1);
    EXPECT_EQ(stats.regionHits, 1);
}

TEST_F(TorusTest, DistancesAreRayParameters) {
    expectSpans(ring(), {-5, 0, 0}, {2, 0, 0}, {{1.25, 1.75}, {3.25, 3.75}});
}

TEST_F(TorusTest, OriginInsideTheTubeKeepsBothSpans) {
    expectSpans(ring(), {-2, 0, 0}, {1, 0, 0}, {{-0.5, 0.5}, {3.5, 4.5}});
}

TEST_F(TorusTest, SpanBehindTheOriginIsDropped) {
    expectSpans(ring(), {0, 0, 0}, {1, 0, 0}, {{1.5, 2.5}});
}

TEST_F(TorusTest, RayDownTheAxisMisses) {
    expectSpans(ring(), {0, 5, 0}, {0, -1, 0}, {});
    EXPECT_EQ(stats.torusTests, 1);
    EXPECT_EQ(stats.torusHits, 0);
}

TEST_F(TorusTest, BoundsMissMovesNoTorusCounter) {
    expectSpans(ring(), {0, 5, 0}, {1, 0, 0}, {});
    EXPECT_EQ(stats.regionTests, 1);
    EXPECT_EQ(stats.torusTests, 0);
}

TEST_F(TorusTest, NormalsPointAwayFromTheCentreCircle) {
    Hit hit;
    hit.object = ring();
    hit.point = {2.5, 0, 0};
    EXPECT_EQ(normalAt(hit), (Vector3{1, 0, 0}));
    hit.point = {2, 0.5, 0};
    EXPECT_EQ(normalAt(hit), (Vector3{0, 1, 0}));
    hit.point = {0, 0, -1.5};
    EXPECT_EQ(normalAt(hit), (Vector3{0, 0, 1}));
}

TEST_F(TorusTest, PlacementComposesOntoItsMatrix) {
    Object* torus = ring();
    Transformation t;
    translation_transformation({0, 1, 0}, t);
    torus->methods->transform(torus, t);
    expectSpans(torus, {-5, 1, 0}, {1, 0, 0}, {{2.5, 3.5}, {6.5, 7.5}});
    EXPECT_EQ(torus->bounds.lower, (Vector3{-2.5, 0.5, -2.5}));

    Object* big = ring();
    scaling_transformation({2, 2, 2}, t);
    big->methods->scale(big, {}, t);  // the vector plays no part
    expectSpans(big, {-10, 0, 0}, {1, 0, 0}, {{5, 7}, {13, 15}});
    Hit hit;
    hit.object = big;
    hit.point = {0, 1, 4};
    EXPECT_EQ(normalAt(hit), (Vector3{0, 1, 0}));
}

TEST_F(TorusTest, BuilderAndCopy) {
    const int primitives = primitiveCount;
    Torus* torus = ring();
    EXPECT_EQ(primitiveCount, primitives + 1);
    EXPECT_EQ(torus->bounds.lower, (Vector3{-2.5, -0.5, -2.5}));
    EXPECT_EQ(torus->bounds.upper, (Vector3{2.5, 0.5, 2.5}));
    ASSERT_NE(torus->transformation, nullptr);

    Torus* fresh = new_torus();
    ASSERT_NE(fresh->transformation, nullptr);
    EXPECT_EQ(fresh->major_radius, 0);
    fresh->methods->destroy(fresh);

    Object* copy = torus->methods->copy(torus);
    EXPECT_EQ(copy->id, torus->id);
    EXPECT_EQ(static_cast<Torus*>(copy)->minor_radius, 0.5);
    ASSERT_NE(copy->transformation, nullptr);
    EXPECT_NE(copy->transformation, torus->transformation);
    copy->methods->destroy(copy);
}

// Only the squares of the radii define the surface, so the box must hold the whole tube
// whatever their signs.
TEST_F(TorusTest, NegativeRadiiKeepTheWholeTubeInTheBounds) {
    Object* torus = build(2, -0.5);
    EXPECT_EQ(torus->bounds.lower, (Vector3{-2.5, -0.5, -2.5}));
    expectSpans(torus, {-5, 0, 0}, {1, 0, 0}, {{2.5, 3.5}, {6.5, 7.5}});
    EXPECT_EQ(build(-2, 0.5)->bounds.upper, (Vector3{2.5, 0.5, 2.5}));
}

TEST_F(TorusTest, RandomRaysAgainstTransformedTori) {
    std::mt19937 rng(19);
    for (int i = 0; i < 20; ++i) {
        const double R = uniform(rng, 1, 2), r = uniform(rng, 0.2, 0.8);
        Object* torus = make_torus(R, r);
        const Transformation t = randomPlacement(rng);
        torus->methods->transform(torus, t);
        auto sdf = [&](const Vector3& world) {
            const Vector3 p = transform_point(world, t.inverse);
            const double w = std::sqrt(p.x * p.x + p.z * p.z) - R;
            return std::sqrt(w * w + p.y * p.y) - r;
        };
        RayCheckOptions options{200};
        options.tolerance = 1e-5;
        checkRandomRays(torus, sdf, rng, options);
        torus->methods->destroy(torus);
    }
}

}  // namespace
