// The row-vector conventions every geometry routine relies on.
#include "math/vector.h"

#include <gtest/gtest.h>

namespace {

void expectNear(const Vector3& got, const Vector3& want, double tol = 1e-12) {
    EXPECT_NEAR(got.x, want.x, tol);
    EXPECT_NEAR(got.y, want.y, tol);
    EXPECT_NEAR(got.z, want.z, tol);
}

Matrix4 sample(double base) {
    Matrix4 m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) m.m[r][c] = base + 4 * r + c + (r == c ? 3 : 0);
    return m;
}

}  // namespace

TEST(Vector, NormalizeAndLength) {
    EXPECT_EQ(length({3, 4, 0}), 5);
    expectNear(normalize({3, 4, 0}), {0.6, 0.8, 0});
    EXPECT_EQ(dot({1, 2, 3}, {4, -5, 6}), 12);
}

TEST(Vector, PointsTakeRowThreeDirectionsDoNot) {
    const Matrix4 identity;
    const Vector3 p{1.5, -2, 7};
    EXPECT_EQ(transform_point(p, identity), p);
    Matrix4 shift;
    shift.m[3][0] = 10, shift.m[3][1] = 20, shift.m[3][2] = 30;
    EXPECT_EQ(transform_point(p, shift), (Vector3{11.5, 18, 37}));
    EXPECT_EQ(transform_direction(p, shift), p);
}

TEST(Vector, RowVectorOrientation) {
    // m[0][1] = 1 sends x into y under p·M, not y into x.
    Matrix4 m;
    m.m[0][0] = 0, m.m[0][1] = 1, m.m[1][0] = 0, m.m[1][1] = 0;
    EXPECT_EQ(transform_point({1, 0, 0}, m), (Vector3{0, 1, 0}));
    EXPECT_EQ(transform_point({0, 1, 0}, m), (Vector3{0, 0, 0}));
}

TEST(Vector, NormalsUseTheInverseTranspose) {
    Matrix4 inverse;  // of diag(2, 1, 1)
    inverse.m[0][0] = 0.5;
    expectNear(transform_normal({1, 1, 0}, inverse), normalize({0.5, 1, 0}));
    // Entry (0, 1) of N multiplies n.y into x'.
    Matrix4 shear;
    shear.m[0][1] = 2;
    expectNear(transform_normal({0, 1, 0}, shear), normalize({2, 1, 0}));
}

TEST(Vector, ProductAppliesLeftFactorFirst) {
    const Matrix4 a = sample(0.25), b = sample(-1.5);
    const Vector3 p{0.3, -1.2, 2.5};
    expectNear(transform_point(p, matrix_product(a, b)), transform_point(transform_point(p, a), b), 1e-9);
    const Matrix4 ab = matrix_product(a, b);
    EXPECT_EQ(ab.m[2][1], a.m[2][0] * b.m[0][1] + a.m[2][1] * b.m[1][1] + a.m[2][2] * b.m[2][1] +
                              a.m[2][3] * b.m[3][1]);
}

TEST(Vector, Transpose) {
    const Matrix4 a = sample(1);
    Matrix4 t;
    transpose(a, t);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(t.m[r][c], a.m[c][r]);
}
