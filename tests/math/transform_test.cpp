// Transformation builders, composition order, the general inverse and its fatal error.
#include "math/transform.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <random>

namespace {

void expectNear(const Vector3& got, const Vector3& want, double tol = 1e-12) {
    EXPECT_NEAR(got.x, want.x, tol);
    EXPECT_NEAR(got.y, want.y, tol);
    EXPECT_NEAR(got.z, want.z, tol);
}

void expectIdentity(const Matrix4& m, double tol = 1e-12) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(m.m[r][c], r == c ? 1 : 0, tol) << "(" << r << ", " << c << ")";
}

void expectInverses(const Transformation& t, double tol = 1e-12) {
    expectIdentity(matrix_product(t.forward, t.inverse), tol);
    expectIdentity(matrix_product(t.inverse, t.forward), tol);
}

Vector3 apply(const Transformation& t, const Vector3& p) { return transform_point(p, t.forward); }

}  // namespace

TEST(Transformation, EveryBuilderKeepsForwardAndInverseInverse) {
    Transformation t;
    translation_transformation({1, -2, 3.5}, t);
    expectInverses(t);
    scaling_transformation({2, 0.5, -4}, t);
    expectInverses(t);
    for (const Vector3 angles : {Vector3{0, 0, 0}, Vector3{90, 0, 0}, Vector3{30, -45, 170}, Vector3{12, 200, -33}}) {
        rotation_transformation(angles, t);
        expectInverses(t);
    }
    axis_rotation_matrix(0.7, {1, 2, -3}, t);
    expectInverses(t);
    basis_transformation(2, 3, normalize({1, -2, 2}), {4, 5, 6}, t);
    expectInverses(t);
    basis_transformation(1, 1, {0, 0, -1}, {0, 0, 0}, t);
    expectInverses(t);

    Matrix4 m;
    const double numbers[12] = {1, 2, 0.5, -1, 3, 2, 0.25, 0, 4, 7, -8, 9};
    for (int i = 0; i < 12; ++i) m.m[i / 3][i % 3] = numbers[i];
    matrix_transformation(m, t);
    expectInverses(t, 1e-9);

    Transformation acc;
    rotation_transformation({10, 20, 30}, t);
    compose(acc, t);
    scaling_transformation({1, 2, 3}, t);
    compose(acc, t);
    translation_transformation({-1, 0, 5}, t);
    compose(acc, t);
    expectInverses(acc);
}

TEST(Transformation, RotationsTurnRightHandedXThenYThenZ) {
    Transformation t;
    rotation_transformation({0, 90, 0}, t);
    expectNear(apply(t, {0, 0, 1}), {1, 0, 0});
    rotation_transformation({90, 0, 0}, t);
    expectNear(apply(t, {0, 1, 0}), {0, 0, 1});
    rotation_transformation({0, 0, 90}, t);
    expectNear(apply(t, {1, 0, 0}), {0, 1, 0});
    rotation_transformation({90, 90, 0}, t);
    expectNear(apply(t, {0, 1, 0}), {1, 0, 0});
    // x first: (1, 0, 0) is left alone by x, goes to (0, 0, -1) about y, then stays.
    rotation_transformation({90, 90, 90}, t);
    expectNear(apply(t, {1, 0, 0}), {0, 0, -1});
    EXPECT_EQ(t.forward.m[3][0], 0);
    EXPECT_EQ(t.forward.m[0][3], 0);
}

TEST(Transformation, ComposeAppliesOldMatrixFirst) {
    Transformation translate, scale;
    translation_transformation({1, 0, 0}, translate);
    scaling_transformation({2, 2, 2}, scale);

    Transformation t;
    compose(t, translate);
    compose(t, scale);
    expectNear(apply(t, {0, 0, 0}), {2, 0, 0});
    expectNear(transform_point({2, 0, 0}, t.inverse), {0, 0, 0});

    Transformation u;
    compose(u, scale);
    compose(u, translate);
    expectNear(apply(u, {0, 0, 0}), {1, 0, 0});
    expectNear(transform_point({1, 0, 0}, u.inverse), {0, 0, 0});
}

TEST(Transformation, TranslationAndScalingEntries) {
    Transformation t;
    translation_transformation({1, 2, 3}, t);
    EXPECT_EQ(t.forward.m[3][2], 3);
    EXPECT_EQ(t.inverse.m[3][1], -2);
    scaling_transformation({0, 1, 1}, t);  // a zero factor is not rejected
    EXPECT_TRUE(std::isinf(t.inverse.m[0][0]));
}

TEST(Transformation, AxisRotation) {
    Transformation t;
    axis_rotation_matrix(M_PI / 2, {0, 0, 5}, t);  // axis need not be unit
    expectNear(apply(t, {1, 0, 0}), {0, 1, 0});
    axis_rotation_matrix(M_PI / 2, {1, 0, 0}, t);
    expectNear(apply(t, {0, 1, 0}), {0, 0, 1});
    // A third of a turn about (1, 1, 1) cycles the axes.
    axis_rotation_matrix(2 * M_PI / 3, {1, 1, 1}, t);
    expectNear(apply(t, {1, 0, 0}), {0, 1, 0});
    expectNear(apply(t, {0, 1, 0}), {0, 0, 1});
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(t.inverse.m[r][c], t.forward.m[c][r]);
}

TEST(Transformation, BasisPlacesCanonicalAxis) {
    Transformation t;
    basis_transformation(1, 1, {0, 0, -1}, {0, 0, 0}, t);
    expectNear(apply(t, {0, 0, 1}), {0, 0, -1});
    expectNear(apply(t, {0, 1, 0}), {0, -1, 0});  // half a turn about x
    expectNear(apply(t, {1, 0, 0}), {1, 0, 0});

    basis_transformation(1, 1, {0, 0.6, 0.8}, {0, 0, 0}, t);
    expectNear(apply(t, {0, 0, 1}), {0, 0.6, 0.8});

    const Vector3 d = normalize({1, -2, 2}), p{4, 5, 6};
    basis_transformation(2, 3, d, p, t);
    expectNear(apply(t, {0, 0, 0}), p);
    expectNear(apply(t, {0, 0, 1}), p + 3 * d);
    const Vector3 side = apply(t, {1, 0, 0}) - p;
    EXPECT_NEAR(length(side), 2, 1e-12);
    EXPECT_NEAR(dot(side, d), 0, 1e-12);

    // Previous contents are discarded.
    translation_transformation({9, 9, 9}, t);
    basis_transformation(1, 1, {0, 0, 1}, {0, 0, 0}, t);
    expectIdentity(t.forward);
}

TEST(Transformation, CopyIsDeepAndNullStaysNull) {
    EXPECT_EQ(copy_transformation(nullptr), nullptr);
    free_transformation(nullptr);
    Transformation* t = new_transformation();
    expectIdentity(t->forward);
    expectIdentity(t->inverse);
    translation_transformation({1, 2, 3}, *t);
    Transformation* c = copy_transformation(t);
    ASSERT_NE(c, t);
    EXPECT_EQ(c->forward.m[3][1], 2);
    t->forward.m[3][1] = 7;
    EXPECT_EQ(c->forward.m[3][1], 2);
    free_transformation(c);
    free_transformation(t);
}

TEST(MInvers, DiagonalAndGeneral) {
    Matrix4 m, inverse;
    m.m[0][0] = 2, m.m[1][1] = 4, m.m[2][2] = 5;
    MInvers(m, inverse);
    Matrix4 want;
    want.m[0][0] = 0.5, want.m[1][1] = 0.25, want.m[2][2] = 0.2;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(inverse.m[r][c], want.m[r][c]);

    std::mt19937 rng(3);
    std::uniform_real_distribution<double> entry(-3, 3);
    for (int trial = 0; trial < 50; ++trial) {
        for (auto& row : m.m)
            for (double& e : row) e = entry(rng);
        MInvers(m, inverse);
        expectIdentity(matrix_product(m, inverse), 1e-6);
    }
    // The output may be the input.
    const Matrix4 original = m;
    MInvers(m, m);
    expectIdentity(matrix_product(original, m), 1e-6);
}

TEST(MInversDeathTest, SingularMatrixStopsTheProgram) {
    Matrix4 m;
    m.m[1][0] = m.m[1][1] = m.m[1][2] = m.m[1][3] = 0;  // a zero row
    Matrix4 out;
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);  // the error line goes to stdout
            MInvers(m, out);
        },
        testing::ExitedWithCode(255), "^ERROR \\(1800\\): transform - Singular matrix in MInvers\\.\n$");
}
