// The ray-box test uses the slope products prepared by initRay, so it needs no division.
#include "trace/bounds.h"

#include <algorithm>

#include "app/statistics.h"
#include "trace/ray.h"

// Side test in the plane of axes u and v: the box's projection must not lie wholly on one
// side of the ray's line. Evaluates the largest and smallest corner values only.
static bool straddles(double du, double dv, double c, double minU, double maxU, double minV, double maxV) {
    const double largest = du * (du >= 0 ? maxV : minV) - dv * (dv < 0 ? maxU : minU) + c;
    const double smallest = du * (du >= 0 ? minV : maxV) - dv * (dv < 0 ? minU : maxU) + c;
    return !(largest < 0) && !(smallest > 0);
}

bool rayBoxTest(const Ray& ray, const BoundingBox& box) {
    ++stats.regionTests;
    const Vector3& o = ray.origin;
    const Vector3& d = ray.direction;
    const Vector3& m = box.lower;
    const Vector3& M = box.upper;
    if (d.x < 0 ? o.x < m.x : o.x > M.x) return false;
    if (d.y < 0 ? o.y < m.y : o.y > M.y) return false;
    if (d.z < 0 ? o.z < m.z : o.z > M.z) return false;
    if (!straddles(d.x, d.y, ray.slopeXY, m.x, M.x, m.y, M.y)) return false;
    if (!straddles(d.x, d.z, ray.slopeXZ, m.x, M.x, m.z, M.z)) return false;
    if (!straddles(d.y, d.z, ray.slopeYZ, m.y, M.y, m.z, M.z)) return false;
    ++stats.regionHits;
    return true;
}

void transformedBounds(const Matrix4* m, BoundingBox& box) {
    if (!m) return;
    Vector3 lo{2e10, 2e10, 2e10}, hi{-2e10, -2e10, -2e10};
    for (int k = 1; k <= 8; ++k) {
        const Vector3 corner{box.lower.x + ((k & 1) ? box.extent.x : 0),
                             box.lower.y + ((k & 2) ? box.extent.y : 0),
                             box.lower.z + ((k & 4) ? box.extent.z : 0)};
        const Vector3 p = transform_point(corner, *m);
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    double* los[3] = {&lo.x, &lo.y, &lo.z};
    double* his[3] = {&hi.x, &hi.y, &hi.z};
    Vector3 size;
    double* sizes[3] = {&size.x, &size.y, &size.z};
    for (int i = 0; i < 3; ++i) {
        if (*los[i] < UNBOUNDED_MIN) *los[i] = UNBOUNDED_MIN;
        if (*his[i] > UNBOUNDED_MAX) *his[i] = UNBOUNDED_MAX;
        *sizes[i] = *his[i] - *los[i];
        if (*sizes[i] < 0) {
            *los[i] += *sizes[i];
            *sizes[i] = -*sizes[i];
        }
    }
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
