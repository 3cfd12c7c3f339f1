// Root solvers: the roots, their order (the torus depends on it) and the zero tolerance.
#include "math/solvers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr double TOL = 1e-9;

std::vector<double> quadric(double c0, double c1, double c2) {
    const double c[3] = {c0, c1, c2};
    double s[2];
    const int n = solve_quadric(c, s);
    return {s, s + n};
}

std::vector<double> cubic(double c0, double c1, double c2, double c3) {
    const double c[4] = {c0, c1, c2, c3};
    double s[3];
    const int n = solve_cubic(c, s);
    return {s, s + n};
}

std::vector<double> quartic(double c0, double c1, double c2, double c3, double c4) {
    const double c[5] = {c0, c1, c2, c3, c4};
    double s[4];
    const int n = solve_quartic(c, s);
    return {s, s + n};
}

void expectRoots(const std::vector<double>& got, const std::vector<double>& want, double tol = TOL) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], tol) << "root " << i;
}

}  // namespace

TEST(SolveQuadric, RootsInComputedOrder) {
    expectRoots(quadric(-1, 0, 1), {1, -1});
    expectRoots(quadric(1, 2, 1), {-1});
    expectRoots(quadric(1, 0, 1), {});
    expectRoots(quadric(-6, -2, 2), {(1 + std::sqrt(13.0)) / 2, (1 - std::sqrt(13.0)) / 2});  // 2(x² - x - 3)
    expectRoots(quadric(6, -5, 1), {3, 2});
}

TEST(SolveQuadric, NearlyRepeatedRootsAreReportedOnce) {
    // (x - 1)(x - 1 - 1e-5): discriminant 2.5e-11, inside the zero band.
    expectRoots(quadric(1 + 1e-5, -(2 + 1e-5), 1), {1 + 0.5e-5});
    // (x - 1)(x - 1 - 1e-4): discriminant 2.5e-9, outside it.
    expectRoots(quadric(1 + 1e-4, -(2 + 1e-4), 1), {1 + 1e-4, 1});
}

TEST(SolveCubic, ThreeRealRootsLargestFirst) {
    expectRoots(cubic(-6, 11, -6, 1), {3, 2, 1});
    expectRoots(cubic(-12, 22, -12, 2), {3, 2, 1});  // same roots, leading coefficient 2
}

TEST(SolveCubic, TripleSingleAndDoubleRoots) {
    expectRoots(cubic(0, 0, 0, 1), {0});
    expectRoots(cubic(1, -3, 3, -1), {1});  // -(x - 1)³
    // (x - 1)²(x + 2): the single root first, then the double one; the cube root of a
    // negative value keeps its sign.
    expectRoots(cubic(2, -3, 0, 1), {-2, 1});
    expectRoots(cubic(-2, -3, 0, 1), {2, -1});
}

TEST(SolveCubic, OneRealRoot) {
    expectRoots(cubic(-1, 0, 0, 1), {1});
    expectRoots(cubic(1, 0, 0, 1), {-1});
    expectRoots(cubic(-2, 1, -2, 1), {2});  // (x - 2)(x² + 1)
}

TEST(SolveQuartic, FourRealRootsInFerrariOrder) {
    const std::vector<double> roots = quartic(24, -50, 35, -10, 1);
    expectRoots(roots, {2, 1, 4, 3});
    std::vector<double> sorted = roots;
    EXPECT_EQ(sort_roots(sorted.data(), 4), 4);
    expectRoots(sorted, {1, 2, 3, 4});
}

TEST(SolveQuartic, ZeroConstantTermAfterShiftAppendsZero) {
    expectRoots(quartic(0, 0, -1, 0, 1), {1, 0, -1, 0});
    // r = 5e-10 still counts as zero; r = 2e-9 does not and takes the resolvent path.
    expectRoots(quartic(5e-10, 0, -1, 0, 1), {1, 0, -1, 0}, 1e-8);
    const std::vector<double> split = quartic(2e-9, 0, -1, 0, 1);
    ASSERT_EQ(split.size(), 4u);
}

TEST(SolveQuartic, NoRealRoots) {
    expectRoots(quartic(1, 0, 0, 0, 1), {});
    expectRoots(quartic(5, 0, 4, 0, 1), {});  // (x² + 1)(x² + 4)
}

TEST(SolveQuartic, TwoRealRoots) {
    // (x² - 4)(x² + 1) = x⁴ - 3x² - 4
    std::vector<double> roots = quartic(-4, 0, -3, 0, 1);
    sort_roots(roots.data(), static_cast<int>(roots.size()));
    expectRoots(roots, {-2, 2});
}

// Torus-like quartics with four well-separated real roots: every root is found.
TEST(SolveQuartic, RandomSeparatedRootsAreAllFound) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> coordinate(-5, 5);
    for (int trial = 0; trial < 500; ++trial) {
        double r[4];
        for (double& x : r) x = coordinate(rng);
        sort_roots(r, 4);
        if (r[1] - r[0] < 0.1 || r[2] - r[1] < 0.1 || r[3] - r[2] < 0.1) continue;
        const double scale = 0.5 + trial % 3;
        // scale·(x - r0)(x - r1)(x - r2)(x - r3), lowest power first
        const double e1 = r[0] + r[1] + r[2] + r[3];
        const double e2 = r[0] * r[1] + r[0] * r[2] + r[0] * r[3] + r[1] * r[2] + r[1] * r[3] + r[2] * r[3];
        const double e3 = r[0] * r[1] * r[2] + r[0] * r[1] * r[3] + r[0] * r[2] * r[3] + r[1] * r[2] * r[3];
        const double e4 = r[0] * r[1] * r[2] * r[3];
        std::vector<double> roots = quartic(scale * e4, -scale * e3, scale * e2, -scale * e1, scale);
        ASSERT_EQ(roots.size(), 4u) << "trial " << trial;
        sort_roots(roots.data(), 4);
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(roots[i], r[i], 1e-5) << "trial " << trial;
    }
}

TEST(SortRoots, AscendingWithDuplicates) {
    double s[5] = {3, -1, 3, 0, -1};
    EXPECT_EQ(sort_roots(s, 5), 5);
    const double want[5] = {-1, -1, 0, 3, 3};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(s[i], want[i]);
    double none[1] = {42};
    EXPECT_EQ(sort_roots(none, 0), 0);
    EXPECT_EQ(none[0], 42);
}
