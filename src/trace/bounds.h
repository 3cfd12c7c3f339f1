// Axis-aligned world boxes around objects, and the division-free ray-box test.
#pragma once

#include "base/statistics.h"
#include "math/vector.h"
#include "trace/ray.h"

struct BoundingBox {
    Vector3 lower{UNBOUNDED_MIN, UNBOUNDED_MIN, UNBOUNDED_MIN};
    Vector3 upper{UNBOUNDED_MAX, UNBOUNDED_MAX, UNBOUNDED_MAX};
    Vector3 extent{UNBOUNDED_SIZE, UNBOUNDED_SIZE, UNBOUNDED_SIZE};  // upper - lower, never negative
};

// The test for one ray class. Bit 2, 1, 0 of the class is set when the direction's x, y, z
// component is non-negative; each class thus compiles to a fixed list of comparisons.
template <int CLASS>
inline bool rayMeetsBox(const Ray& ray, const Vector3& m, const Vector3& M) {
    constexpr bool px = CLASS & 4, py = CLASS & 2, pz = CLASS & 1;
    const Vector3& o = ray.origin;
    const Vector3& d = ray.direction;

    // The origin must not lie beyond the box on the side the ray runs away from.
    if (px ? o.x > M.x : o.x < m.x) return false;
    if (py ? o.y > M.y : o.y < m.y) return false;
    if (pz ? o.z > M.z : o.z < m.z) return false;

    // In each coordinate plane, s(p) = d.u p.v - d.v p.u + c tells the side of the ray's line
    // a point lies on. The box's projection must not lie wholly on one side: its largest
    // corner value must not be below 0, its smallest not above 0. The order only decides how
    // soon a miss is found: on the bundled scene the (y, z) plane rules out more boxes than
    // the (x, z) plane.
    const auto side = [](double du, double dv, double c, double u, double v) { return du * v - dv * u + c; };
    if (side(d.x, d.y, ray.slopeXY, py ? m.x : M.x, px ? M.y : m.y) < 0) return false;
    if (side(d.x, d.y, ray.slopeXY, py ? M.x : m.x, px ? m.y : M.y) > 0) return false;
    if (side(d.y, d.z, ray.slopeYZ, pz ? m.y : M.y, py ? M.z : m.z) < 0) return false;
    if (side(d.y, d.z, ray.slopeYZ, pz ? M.y : m.y, py ? m.z : M.z) > 0) return false;
    if (side(d.x, d.z, ray.slopeXZ, pz ? m.x : M.x, px ? M.z : m.z) < 0) return false;
    if (side(d.x, d.z, ray.slopeXZ, pz ? M.x : m.x, px ? m.z : M.z) > 0) return false;
    return true;
}

// Counts one region test and its outcome.
inline bool countRegionTest(bool meets) {
    ++stats.regionTests;
    if (meets) ++stats.regionHits;
    return meets;
}

// rayMeetsBox for the ray's class.
inline bool rayMeetsCorners(const Ray& ray, const Vector3& m, const Vector3& M) {
    switch (ray.classification & 7) {
        case 0: return rayMeetsBox<0>(ray, m, M);
        case 1: return rayMeetsBox<1>(ray, m, M);
        case 2: return rayMeetsBox<2>(ray, m, M);
        case 3: return rayMeetsBox<3>(ray, m, M);
        case 4: return rayMeetsBox<4>(ray, m, M);
        case 5: return rayMeetsBox<5>(ray, m, M);
        case 6: return rayMeetsBox<6>(ray, m, M);
        default: return rayMeetsBox<7>(ray, m, M);
    }
}

// True when the ray's line can meet the box ahead of or around its origin; counts
// regionTests and regionHits. Inline, because every object query starts with it. A box
// that a union has just found the ray to meet (Ray::boxJustMet) is not evaluated again.
inline bool rayBoxTest(const Ray& ray, const BoundingBox& box) {
    if (&box == ray.boxJustMet) {
        ray.boxJustMet = nullptr;
        return countRegionTest(true);
    }
    return countRegionTest(rayMeetsCorners(ray, box.lower, box.upper));
}

// rayBoxTest of a member's box by a union, for a ray of class CLASS. The member's query
// starts by testing the same box again; the ray remembers the box it met, so that this
// repeat is only counted (see rayBoxTest).
template <int CLASS>
inline bool memberBoxTest(const Ray& ray, const BoundingBox& box) {
    if (!countRegionTest(rayMeetsBox<CLASS>(ray, box.lower, box.upper))) return false;
    ray.boxJustMet = &box;
    return true;
}

// The same for a ray of any class.
inline bool memberBoxTest(const Ray& ray, const BoundingBox& box) {
    if (!countRegionTest(rayMeetsCorners(ray, box.lower, box.upper))) return false;
    ray.boxJustMet = &box;
    return true;
}

// Replaces the box by the box around its eight corners carried by m; null leaves it.
void transformedBounds(const Matrix4* m, BoundingBox& box);

// A box from two corners given in any order.
BoundingBox boxFromCorners(const Vector3& a, const Vector3& b);
