// Cardano and Ferrari with one absolute zero tolerance. The torus relies on the order in
// which the roots come out, so every formula keeps its operation order.
#include "math/solvers.h"

#include <cmath>

namespace {

constexpr double ONE_THIRD = 1.0 / 3.0;             // 0.3333333333333333
constexpr double TWO_OVER_27 = 0.07407407407407407;
constexpr double PI_OVER_3 = 1.0471975511965976;

bool is_zero(double x) { return x > -EQN_EPS && x < EQN_EPS; }

double cube_root(double x) { return x >= 0 ? std::pow(x, ONE_THIRD) : -std::pow(-x, ONE_THIRD); }

}  // namespace

int solve_quadric(const double c[3], double s[2]) {
    const double p = c[1] / (2 * c[2]);
    const double q = c[0] / c[2];
    const double D = p * p - q;
    if (is_zero(D)) {
        s[0] = -p;
        return 1;
    }
    if (D < 0) return 0;
    const double root = std::sqrt(D);
    s[0] = root - p;
    s[1] = -root - p;
    return 2;
}

int solve_cubic(const double c[4], double s[3]) {
    // Normal form x³ + Ax² + Bx + E.
    const double k = 1 / c[3];
    const double A = c[2] * k, B = c[1] * k, E = c[0] * k;

    // x = y - A/3 removes the quadratic term: y³ + 3py + 2q = 0.
    const double p = (B - A * A / 3) / 3;
    const double q = (TWO_OVER_27 * A * A * A - A * B / 3 + E) / 2;
    const double D = p * p * p + q * q;

    int count;
    if (is_zero(D)) {
        if (is_zero(q)) {  // triple root
            s[0] = 0;
            count = 1;
        } else {  // a single and a double root
            const double u = cube_root(-q);
            s[0] = 2 * u;
            s[1] = -u;
            count = 2;
        }
    } else if (D < 0) {  // three real roots, trigonometric form
        // Rounding can push the ratio a hair past ±1 for large coefficients; acos would
        // then give NaN, so hold it to the domain.
        const double ratio = std::fmax(-1.0, std::fmin(1.0, -q / std::sqrt(-p * p * p)));
        const double phi = std::acos(ratio) / 3;
        const double m = 2 * std::sqrt(-p);
        s[0] = m * std::cos(phi);
        s[1] = -m * std::cos(phi + PI_OVER_3);
        s[2] = -m * std::cos(phi - PI_OVER_3);
        count = 3;
    } else {  // one real root
        const double root = std::sqrt(D);
        s[0] = cube_root(root - q) - cube_root(root + q);
        count = 1;
    }

    const double shift = A / 3;
    for (int i = 0; i < count; ++i) s[i] -= shift;
    return count;
}

// A square root for the Ferrari split: near-zero values count as 0, negative ones fail.
static bool split_root(double& x) {
    if (is_zero(x))
        x = 0;
    else if (x > 0)
        x = std::sqrt(x);
    else
        return false;
    return true;
}

int solve_quartic(const double c[5], double s[4]) {
    // Normal form x⁴ + Ax³ + Bx² + Ex + F.
    const double k = 1 / c[4];
    const double A = c[3] * k, B = c[2] * k, E = c[1] * k, F = c[0] * k;

    // x = y - A/4 removes the cubic term: y⁴ + py² + qy + r = 0.
    const double sA = A * A;
    const double p = -0.375 * sA + B;
    const double q = 0.125 * sA * A - 0.5 * A * B + E;
    const double r = -0.01171875 * sA * sA + 0.0625 * sA * B - 0.25 * A * E + F;

    int count;
    if (is_zero(r)) {  // y(y³ + py + q) = 0
        const double cubic[4] = {q, p, 0, 1};
        count = solve_cubic(cubic, s);
        s[count++] = 0;
    } else {
        // One root z of the resolvent cubic splits the quartic into two quadratics.
        const double resolvent[4] = {0.5 * r * p - 0.125 * q * q, -r, -0.5 * p, 1};
        solve_cubic(resolvent, s);
        const double z = s[0];
        double u = z * z - r;
        double v = 2 * z - p;
        if (!split_root(u) || !split_root(v)) return 0;

        const double first[3] = {z - u, q < 0 ? -v : v, 1};
        count = solve_quadric(first, s);
        const double second[3] = {z + u, q < 0 ? v : -v, 1};
        count += solve_quadric(second, s + count);
    }

    const double shift = A / 4;
    for (int i = 0; i < count; ++i) s[i] -= shift;
    return count;
}

int sort_roots(double* s, int n) {
    for (int i = 0; i < n - 1; ++i) {
        int smallest = i;
        for (int j = i + 1; j < n; ++j)
            if (s[j] < s[smallest]) smallest = j;
        if (smallest != i) {
            const double t = s[i];
            s[i] = s[smallest];
            s[smallest] = t;
        }
    }
    return n;
}
