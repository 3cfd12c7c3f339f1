// The ray bounding region test against an independent slab reference, and box transforms.
#include "trace/bounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "base/statistics.h"
#include "math/transform.h"
#include "trace/ray.h"

namespace {

BoundingBox unitBox() { return boxFromCorners({-1, -1, -1}, {1, 1, 1}); }

bool test(const Vector3& o, const Vector3& d, const BoundingBox& box) {
    Ray ray;
    initRay(ray, o, d);
    return rayBoxTest(ray, box);
}

double axis(const Vector3& v, int i) { return i == 0 ? v.x : i == 1 ? v.y : v.z; }

// The region test passes when the origin is not past the box in the direction of travel on
// any axis (a zero component counts as travelling up) and the ray's whole line, both ways
// from the origin, meets the closed box.
bool originSideOk(const Vector3& o, const Vector3& d, const BoundingBox& box) {
    for (int i = 0; i < 3; ++i) {
        const double oi = axis(o, i);
        if (axis(d, i) < 0 ? oi < axis(box.lower, i) : oi > axis(box.upper, i)) return false;
    }
    return true;
}

// Slab reference for the line in exact rational arithmetic: inputs are small integers, so
// every bound t = (bound - o) / d is compared by cross-multiplication.
struct Fraction {
    long long num, den;  // den > 0
};

bool lessEqual(Fraction a, Fraction b) { return a.num * b.den <= b.num * a.den; }

bool lineMeetsBoxExact(const Vector3& o, const Vector3& d, const BoundingBox& box) {
    std::vector<Fraction> lows, highs;
    for (int i = 0; i < 3; ++i) {
        const auto oi = static_cast<long long>(axis(o, i)), di = static_cast<long long>(axis(d, i));
        const auto lo = static_cast<long long>(axis(box.lower, i)), hi = static_cast<long long>(axis(box.upper, i));
        if (di == 0) {
            if (oi < lo || oi > hi) return false;
            continue;
        }
        Fraction a{lo - oi, di}, b{hi - oi, di};
        if (di < 0) a = {-a.num, -di}, b = {-b.num, -di}, std::swap(a, b);
        lows.push_back(a);
        highs.push_back(b);
    }
    for (Fraction low : lows)
        for (Fraction high : highs)
            if (!lessEqual(low, high)) return false;
    return true;
}

// Slab reference for the line in long double, for real-valued rays.
bool lineMeetsBox(const Vector3& o, const Vector3& d, const BoundingBox& box) {
    long double tNear = -1e300L, tFar = 1e300L;
    for (int i = 0; i < 3; ++i) {
        const long double oi = axis(o, i), di = axis(d, i);
        const long double lo = axis(box.lower, i), hi = axis(box.upper, i);
        if (di == 0) {
            if (oi < lo || oi > hi) return false;
            continue;
        }
        long double a = (lo - oi) / di, b = (hi - oi) / di;
        if (a > b) std::swap(a, b);
        tNear = std::max(tNear, a);
        tFar = std::min(tFar, b);
    }
    return tNear <= tFar;
}

bool reference(const Vector3& o, const Vector3& d, const BoundingBox& box) {
    return originSideOk(o, d, box) && lineMeetsBox(o, d, box);
}

BoundingBox grown(const BoundingBox& box, double by) {
    return boxFromCorners(box.lower - Vector3{by, by, by}, box.upper + Vector3{by, by, by});
}

int classOf(const Vector3& d) { return (d.x >= 0 ? 4 : 0) + (d.y >= 0 ? 2 : 0) + (d.z >= 0 ? 1 : 0); }

}  // namespace

TEST(RayBoxTest, CasesAlongTheZAxis) {
    const BoundingBox box = unitBox();
    EXPECT_TRUE(test({0, 0, -10}, {0, 0, 1}, box));
    EXPECT_FALSE(test({0, 0, -10}, {0, 0, -1}, box));  // origin test
    EXPECT_FALSE(test({5, 0, -10}, {0, 0, 1}, box));   // origin test: 5 is above max x
    EXPECT_TRUE(originSideOk({-5, 0, -10}, {0, 0, 1}, box));
    EXPECT_FALSE(test({-5, 0, -10}, {0, 0, 1}, box));  // fails in the (x, z) plane
}

TEST(RayBoxTest, OriginInsideAlwaysPasses) {
    const BoundingBox box = boxFromCorners({-1, -2, -3}, {4, 5, 6});
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> inside(0, 1), direction(-1, 1);
    for (int i = 0; i < 2000; ++i) {
        const Vector3 o{-1 + 5 * inside(rng), -2 + 7 * inside(rng), -3 + 9 * inside(rng)};
        EXPECT_TRUE(test(o, {direction(rng), direction(rng), direction(rng)}, box));
    }
    EXPECT_TRUE(test({4, 5, 6}, {1, 1, 1}, box));  // on the far corner, leaving
}

TEST(RayBoxTest, GrazingAnEdgeOrFacePasses) {
    const BoundingBox box = unitBox();
    EXPECT_TRUE(test({1, 1, -10}, {0, 0, 1}, box));    // along an edge
    EXPECT_TRUE(test({-3, 1, 0}, {1, 0, 0}, box));     // along a face
    EXPECT_TRUE(test({-3, -1, 0}, {2, 2, 0}, box));    // through a corner (1, 1) in xy
    EXPECT_FALSE(test({-3, -0.999999, 0}, {2, 2, 0}, box));
}

TEST(RayBoxTest, CountsTestsAndHits) {
    stats = Statistics();
    const BoundingBox box = unitBox();
    test({0, 0, -10}, {0, 0, 1}, box);
    test({0, 0, -10}, {0, 0, -1}, box);
    test({-5, 0, -10}, {0, 0, 1}, box);
    EXPECT_EQ(stats.regionTests, 3);
    EXPECT_EQ(stats.regionHits, 1);
}

// A union leaves the member box it found met on the ray; the member's own test of that box
// is then answered from it, once, and counted like any other test.
TEST(RayBoxTest, BoxJustMetAnswersOneRepeat) {
    stats = Statistics();
    const BoundingBox box = unitBox();
    Ray ray;
    initRay(ray, {0, 0, -10}, {0, 0, -1});  // running away from the box
    EXPECT_EQ(ray.boxJustMet, nullptr);
    ray.boxJustMet = &box;
    EXPECT_TRUE(rayBoxTest(ray, box));
    EXPECT_EQ(ray.boxJustMet, nullptr);
    EXPECT_FALSE(rayBoxTest(ray, box));
    EXPECT_EQ(stats.regionTests, 2);
    EXPECT_EQ(stats.regionHits, 1);

    const BoundingBox other = unitBox();
    ray.boxJustMet = &box;
    EXPECT_FALSE(rayBoxTest(ray, other));  // another box is evaluated
    initRay(ray, {0, 0, -10}, {0, 0, 1});
    EXPECT_EQ(ray.boxJustMet, nullptr);  // a new ray remembers nothing
}

// Integer rays and boxes hit every boundary exactly: zero components, grazing lines,
// origins on faces. Every class must agree with the exact reference.
TEST(RayBoxTest, AllClassesMatchExactReferenceOnLattice) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> coordinate(-6, 6), component(-3, 3);
    int passed[8] = {}, failed[8] = {};
    for (int i = 0; i < 200000; ++i) {
        const Vector3 a{double(coordinate(rng)), double(coordinate(rng)), double(coordinate(rng))};
        const Vector3 b{double(coordinate(rng)), double(coordinate(rng)), double(coordinate(rng))};
        const BoundingBox box = boxFromCorners(a, b);
        const Vector3 o{double(coordinate(rng)), double(coordinate(rng)), double(coordinate(rng))};
        const Vector3 d{double(component(rng)), double(component(rng)), double(component(rng))};
        if (d == Vector3{0, 0, 0}) continue;
        const bool want = originSideOk(o, d, box) && lineMeetsBoxExact(o, d, box);
        ASSERT_EQ(test(o, d, box), want) << "o (" << o.x << ", " << o.y << ", " << o.z << ") d (" << d.x
                                         << ", " << d.y << ", " << d.z << ") box (" << box.lower.x << ", "
                                         << box.lower.y << ", " << box.lower.z << ")-(" << box.upper.x << ", "
                                         << box.upper.y << ", " << box.upper.z << ")";
        (want ? passed : failed)[classOf(d)]++;
    }
    for (int c = 0; c < 8; ++c) {
        EXPECT_GT(passed[c], 500) << "class " << c;
        EXPECT_GT(failed[c], 500) << "class " << c;
    }
}

// Real-valued rays: cases within a small margin of the boundary are skipped, the rest must
// agree with the slab reference.
TEST(RayBoxTest, AllClassesMatchSlabReferenceOnRandomRays) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> coordinate(-10, 10), component(-1, 1);
    int passed[8] = {}, failed[8] = {};
    for (int i = 0; i < 200000; ++i) {
        const BoundingBox box = boxFromCorners({coordinate(rng), coordinate(rng), coordinate(rng)},
                                               {coordinate(rng), coordinate(rng), coordinate(rng)});
        const Vector3 o{coordinate(rng), coordinate(rng), coordinate(rng)};
        const Vector3 d{component(rng), component(rng), component(rng)};
        const bool strict = reference(o, d, grown(box, -1e-7));
        const bool loose = reference(o, d, grown(box, 1e-7));
        if (strict != loose) continue;
        ASSERT_EQ(test(o, d, box), strict) << "ray " << i;
        (strict ? passed : failed)[classOf(d)]++;
    }
    for (int c = 0; c < 8; ++c) {
        EXPECT_GT(passed[c], 1000) << "class " << c;
        EXPECT_GT(failed[c], 1000) << "class " << c;
    }
}

TEST(TransformedBounds, QuarterTurnAboutZ) {
    BoundingBox box = boxFromCorners({0, 0, 0}, {1, 2, 3});
    Transformation t;
    rotation_transformation({0, 0, 90}, t);
    transformedBounds(&t.forward, box);
    const double tol = 1e-12;
    EXPECT_NEAR(box.lower.x, -2, tol);
    EXPECT_NEAR(box.lower.y, 0, tol);
    EXPECT_NEAR(box.lower.z, 0, tol);
    EXPECT_NEAR(box.upper.x, 0, tol);
    EXPECT_NEAR(box.upper.y, 1, tol);
    EXPECT_NEAR(box.upper.z, 3, tol);
    EXPECT_NEAR(box.extent.x, 2, tol);
    EXPECT_EQ(box.upper, box.lower + box.extent);
}

TEST(TransformedBounds, UnboundedBoxStaysWithinTheLimits) {
    Transformation t;
    for (const Vector3 angles : {Vector3{0, 0, 45}, Vector3{30, 45, 60}, Vector3{90, 0, 0}}) {
        BoundingBox box;
        rotation_transformation(angles, t);
        transformedBounds(&t.forward, box);
        EXPECT_EQ(box.lower, (Vector3{-1e10, -1e10, -1e10}));
        EXPECT_EQ(box.upper, (Vector3{1e10, 1e10, 1e10}));
        EXPECT_EQ(box.extent, (Vector3{2e10, 2e10, 2e10}));
    }
}

TEST(TransformedBounds, TranslationScalingAndNull) {
    BoundingBox box = boxFromCorners({-1, -1, -1}, {1, 1, 1});
    transformedBounds(nullptr, box);
    EXPECT_EQ(box.lower, (Vector3{-1, -1, -1}));

    Transformation t;
    scaling_transformation({-2, 1, 3}, t);  // a mirror keeps the size non-negative
    transformedBounds(&t.forward, box);
    EXPECT_EQ(box.lower, (Vector3{-2, -1, -3}));
    EXPECT_EQ(box.extent, (Vector3{4, 2, 6}));
    translation_transformation({10, 0, 0}, t);
    transformedBounds(&t.forward, box);
    EXPECT_EQ(box.lower, (Vector3{8, -1, -3}));
    EXPECT_EQ(box.upper, (Vector3{12, 1, 3}));
}

TEST(TransformedBounds, BoxMovedBeyondTheLimitKeepsNonNegativeSize) {
    BoundingBox box = boxFromCorners({0, 0, 0}, {1, 1, 1});
    Transformation t;
    translation_transformation({-5e10, 0, 0}, t);
    transformedBounds(&t.forward, box);
    // The widening starts from hi = -2e10, so hi stays there; lo is clamped up to -1e10,
    // past hi, and the negative size is then folded back below it.
    EXPECT_EQ(box.lower.x, -2e10);
    EXPECT_EQ(box.extent.x, 1e10);
    EXPECT_EQ(box.upper.x, -1e10);
}
