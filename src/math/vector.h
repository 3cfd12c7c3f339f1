// Vectors, 4x4 matrices and the tolerances every geometry routine shares.
// Points are row vectors multiplied from the left (p·M), so translations sit in row 3.
#pragma once

#include <cmath>
#include <limits>

inline constexpr double DEG_TO_RAD = 0.017453292519943295;
inline constexpr double RAD_TO_DEG = 57.29577951308232;
// Discriminants, parallel rays, degenerate axes.
inline constexpr double SMALL_EPSILON = 1e-10;
// A span whose far end is not beyond this distance lies behind the ray origin.
inline constexpr double MIN_HIT_DISTANCE = 1e-6;
// A direction whose z component exceeds this in magnitude counts as the z axis.
inline constexpr double AXIS_ALIGNED = 0.9999999999;
// The box of objects without finite extent.
inline constexpr double UNBOUNDED_MIN = -1e10;
inline constexpr double UNBOUNDED_MAX = 1e10;
inline constexpr double UNBOUNDED_SIZE = 2e10;
inline constexpr double NO_LIMIT = std::numeric_limits<double>::infinity();

struct Vector3 {
    double x = 0, y = 0, z = 0;
};

// Element (r, c) is m[r][c].
struct Matrix4 {
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

inline Vector3 operator+(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vector3 operator-(const Vector3& a) { return {-a.x, -a.y, -a.z}; }
inline Vector3 operator*(const Vector3& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vector3 operator*(double s, const Vector3& a) { return {a.x * s, a.y * s, a.z * s}; }
inline Vector3& operator+=(Vector3& a, const Vector3& b) { a.x += b.x; a.y += b.y; a.z += b.z; return a; }
inline bool operator==(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
inline bool operator!=(const Vector3& a, const Vector3& b) { return !(a == b); }

// Component-wise product (colours).
inline Vector3 multiply(const Vector3& a, const Vector3& b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }

inline double dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(const Vector3& a) { return std::sqrt(dot(a, a)); }

// One reciprocal and three products; a zero vector is not guarded.
inline Vector3 normalize(const Vector3& a) { return a * (1.0 / length(a)); }

inline Vector3 transform_point(const Vector3& p, const Matrix4& M) {
    const auto& m = M.m;
    return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
            p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
            p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
}

inline Vector3 transform_direction(const Vector3& d, const Matrix4& M) {
    const auto& m = M.m;
    return {d.x * m[0][0] + d.y * m[1][0] + d.z * m[2][0],
            d.x * m[0][1] + d.y * m[1][1] + d.z * m[2][1],
            d.x * m[0][2] + d.y * m[1][2] + d.z * m[2][2]};
}

// N is the inverse of the object's matrix: n·Nᵀ, then normalised.
inline Vector3 transform_normal(const Vector3& n, const Matrix4& N) {
    const auto& m = N.m;
    return normalize({m[0][0] * n.x + m[0][1] * n.y + m[0][2] * n.z,
                      m[1][0] * n.x + m[1][1] * n.y + m[1][2] * n.z,
                      m[2][0] * n.x + m[2][1] * n.y + m[2][2] * n.z});
}

void transpose(const Matrix4& M, Matrix4& out);
Matrix4 matrix_product(const Matrix4& A, const Matrix4& B);
