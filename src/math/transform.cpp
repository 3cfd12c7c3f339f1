// Transformation builders, composition and the general 4x4 inverse.
#include "math/transform.h"

#include "base/error.h"

Transformation* new_transformation() { return new Transformation(); }

Transformation* copy_transformation(const Transformation* t) {
    return t ? new Transformation(*t) : nullptr;
}

void free_transformation(Transformation* t) { delete t; }

void translation_transformation(const Vector3& v, Transformation& out) {
    out = Transformation();
    out.forward.m[3][0] = v.x;
    out.forward.m[3][1] = v.y;
    out.forward.m[3][2] = v.z;
    out.inverse.m[3][0] = -v.x;
    out.inverse.m[3][1] = -v.y;
    out.inverse.m[3][2] = -v.z;
}

void scaling_transformation(const Vector3& s, Transformation& out) {
    out = Transformation();
    out.forward.m[0][0] = s.x;
    out.forward.m[1][1] = s.y;
    out.forward.m[2][2] = s.z;
    out.inverse.m[0][0] = 1.0 / s.x;
    out.inverse.m[1][1] = 1.0 / s.y;
    out.inverse.m[2][2] = 1.0 / s.z;
}

void rotation_transformation(const Vector3& degrees, Transformation& out) {
    const double a = degrees.x * DEG_TO_RAD, b = degrees.y * DEG_TO_RAD, g = degrees.z * DEG_TO_RAD;
    Matrix4 rx, ry, rz;
    rx.m[1][1] = std::cos(a);  rx.m[1][2] = std::sin(a);
    rx.m[2][1] = -std::sin(a); rx.m[2][2] = std::cos(a);
    ry.m[0][0] = std::cos(b);  ry.m[0][2] = -std::sin(b);
    ry.m[2][0] = std::sin(b);  ry.m[2][2] = std::cos(b);
    rz.m[0][0] = std::cos(g);  rz.m[0][1] = std::sin(g);
    rz.m[1][0] = -std::sin(g); rz.m[1][1] = std::cos(g);
    out.forward = matrix_product(matrix_product(rx, ry), rz);
    transpose(out.forward, out.inverse);
}

void matrix_transformation(const Matrix4& forward, Transformation& out) {
    out.forward = forward;
    MInvers(forward, out.inverse);
}

void compose(Transformation& t, const Transformation& u) {
    t.forward = matrix_product(t.forward, u.forward);
    t.inverse = matrix_product(u.inverse, t.inverse);
}

// Determinant of the 3x3 minor of M without row r and column c.
static double minor3(const Matrix4& M, int r, int c) {
    int rows[3], cols[3];
    for (int i = 0, k = 0; i < 4; ++i)
        if (i != r) rows[k++] = i;
    for (int i = 0, k = 0; i < 4; ++i)
        if (i != c) cols[k++] = i;
    auto e = [&](int i, int j) { return M.m[rows[i]][cols[j]]; };
    return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) -
           e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
           e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
}

static double cofactor(const Matrix4& M, int r, int c) {
    return ((r + c) % 2 == 0 ? 1.0 : -1.0) * minor3(M, r, c);
}

void MInvers(const Matrix4& M, Matrix4& out) {
    double det = 0;
    for (int c = 0; c < 4; ++c) det += M.m[0][c] * cofactor(M, 0, c);
    if (det == 0) fatal_error(1800, "transform", "Singular matrix in MInvers.");
    Matrix4 result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) result.m[r][c] = cofactor(M, c, r) / det;
    out = result;
}

void axis_rotation_matrix(double radians, const Vector3& axis, Transformation& out) {
    const Vector3 n = normalize(axis);
    const double u = n.x, v = n.y, w = n.z;
    const double k = std::cos(radians), s = std::sin(radians);
    out = Transformation();
    auto& m = out.forward.m;
    m[0][0] = u * u + k * (1 - u * u);
    m[0][1] = u * v * (1 - k) + w * s;
    m[0][2] = u * w * (1 - k) - v * s;
    m[1][0] = u * v * (1 - k) - w * s;
    m[1][1] = v * v + k * (1 - v * v);
    m[1][2] = v * w * (1 - k) + u * s;
    m[2][0] = u * w * (1 - k) + v * s;
    m[2][1] = v * w * (1 - k) - u * s;
    m[2][2] = w * w + k * (1 - w * w);
    transpose(out.forward, out.inverse);
}

void basis_transformation(double radius, double length, const Vector3& direction, const Vector3& base,
                          Transformation& t) {
    scaling_transformation({radius, radius, length}, t);
    Vector3 axis;
    double angle;
    if (std::fabs(direction.z) > AXIS_ALIGNED) {
        axis = {1, 0, 0};
        angle = direction.z > 0 ? 0.0 : M_PI;
    } else {
        axis = {-direction.y, direction.x, 0};
        angle = std::acos(direction.z);
    }
    Transformation step;
    axis_rotation_matrix(angle, axis, step);
    compose(t, step);
    translation_transformation(base, step);
    compose(t, step);
}
