// Boxes carried by transformations, and boxes from two corners.
#include "trace/bounds.h"

#include <algorithm>

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
