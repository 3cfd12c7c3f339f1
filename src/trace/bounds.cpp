// The ray-box test uses the slope products prepared by initRay, so it needs no division.
#include "trace/bounds.h"

#include <algorithm>

#include "app/statistics.h"
#include "trace/ray.h"

// The test for one ray class. Bit 2, 1, 0 of the class is set when the direction's x, y, z
// component is non-negative; each class thus compiles to a fixed list of comparisons.
template <int CLASS>
static bool rayMeetsBox(const Ray& ray, const Vector3& m, const Vector3& M) {
    constexpr bool px = CLASS & 4, py = CLASS & 2, pz = CLASS & 1;
    const Vector3& o = ray.origin;
    const Vector3& d = ray.direction;

    // The origin must not lie beyond the box on the side the ray runs away from.
    if (px ? o.x > M.x : o.x < m.x) return false;
    if (py ? o.y > M.y : o.y < m.y) return false;
    if (pz ? o.z > M.z : o.z < m.z) return false;

    // In each coordinate plane, s(p) = d.u p.v - d.v p.u + c tells the side of the ray's line
    // a point lies on. The box's projection must not lie wholly on one side: its largest
    // corner value must not be below 0, its smallest not above 0.
    const auto side = [](double du, double dv, double c, double u, double v) { return du * v - dv * u + c; };
    if (side(d.x, d.y, ray.slopeXY, py ? m.x : M.x, px ? M.y : m.y) < 0) return false;
    if (side(d.x, d.y, ray.slopeXY, py ? M.x : m.x, px ? m.y : M.y) > 0) return false;
    if (side(d.x, d.z, ray.slopeXZ, pz ? m.x : M.x, px ? M.z : m.z) < 0) return false;
    if (side(d.x, d.z, ray.slopeXZ, pz ? M.x : m.x, px ? m.z : M.z) > 0) return false;
    if (side(d.y, d.z, ray.slopeYZ, pz ? m.y : M.y, py ? M.z : m.z) < 0) return false;
    if (side(d.y, d.z, ray.slopeYZ, pz ? M.y : m.y, py ? m.z : M.z) > 0) return false;
    return true;
}

bool rayBoxTest(const Ray& ray, const BoundingBox& box) {
    ++stats.regionTests;
    using Test = bool (*)(const Ray&, const Vector3&, const Vector3&);
    static constexpr Test byClass[8] = {rayMeetsBox<0>, rayMeetsBox<1>, rayMeetsBox<2>, rayMeetsBox<3>,
                                        rayMeetsBox<4>, rayMeetsBox<5>, rayMeetsBox<6>, rayMeetsBox<7>};
    if (!byClass[ray.classification & 7](ray, box.lower, box.upper)) return false;
    ++stats.regionHits;
    return true;
}

// One axis of a transformed box: keeps it within the unbounded box and makes the size
// non-negative.
static void settleAxis(double& lo, double hi, double& size) {
    if (lo < UNBOUNDED_MIN) lo = UNBOUNDED_MIN;
    if (hi > UNBOUNDED_MAX) hi = UNBOUNDED_MAX;
    size = hi - lo;
    if (size < 0) {
        lo += size;
        size = -size;
    }
}

void transformedBounds(const Matrix4* m, BoundingBox& box) {
    if (!m) return;
    Vector3 lo{2e10, 2e10, 2e10}, hi{-2e10, -2e10, -2e10};
    for (int k = 1; k <= 8; ++k) {  // k = 8 is the lower corner
        const Vector3 corner{box.lower.x + ((k & 1) ? box.extent.x : 0),
                             box.lower.y + ((k & 2) ? box.extent.y : 0),
                             box.lower.z + ((k & 4) ? box.extent.z : 0)};
        const Vector3 p = transform_point(corner, *m);
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    Vector3 size;
    settleAxis(lo.x, hi.x, size.x);
    settleAxis(lo.y, hi.y, size.y);
    settleAxis(lo.z, hi.z, size.z);
    box.lower = lo;
    box.extent = size;
    box.upper = lo + size;
}

BoundingBox boxFromCorners(const Vector3& a, const Vector3& b) {
    BoundingBox box;
    box.lower = {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
    box.upper = {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
    box.extent = box.upper - box.lower;
    return box;
}
