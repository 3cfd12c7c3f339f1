// Axis-aligned world boxes around objects, and the division-free ray-box test.
#pragma once

#include "math/vector.h"

struct Ray;

struct BoundingBox {
    Vector3 lower{UNBOUNDED_MIN, UNBOUNDED_MIN, UNBOUNDED_MIN};
    Vector3 upper{UNBOUNDED_MAX, UNBOUNDED_MAX, UNBOUNDED_MAX};
    Vector3 extent{UNBOUNDED_SIZE, UNBOUNDED_SIZE, UNBOUNDED_SIZE};  // upper - lower, never negative
};

// True when the ray's line can meet the box ahead of or around its origin; counts
// regionTests and regionHits.
bool rayBoxTest(const Ray& ray, const BoundingBox& box);

// Replaces the box by the box around its eight corners carried by m; null leaves it.
void transformedBounds(const Matrix4* m, BoundingBox& box);

// A box from two corners given in any order.
BoundingBox boxFromCorners(const Vector3& a, const Vector3& b);
