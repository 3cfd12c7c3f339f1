// Rays, hit records, span records and the pooled stacks that object queries push onto.
#pragma once

#include <cstdint>

#include "math/vector.h"

struct Object;
struct BoundingBox;

// The longest ray; a distance this large also stands for "no hit".
inline constexpr double MAX_RAY_DISTANCE = 10000000;

struct Ray {
    Vector3 origin;
    Vector3 direction;           // as given, not normalised
    Vector3 inverseDirection;    // 1/x, 1/y, 1/z; infinite for a zero component
    int negative[3] = {0, 0, 0}; // 1 unless the component is > 0
    int positive[3] = {0, 0, 0}; // 1 when the component is > 0
    double maxDistance = MAX_RAY_DISTANCE;
    int classification = 0;      // 4·(x >= 0) + 2·(y >= 0) + (z >= 0)
    double slopeXY = 0, slopeXZ = 0, slopeYZ = 0;  // o.u·d.v − d.u·o.v per plane
    // The member box a union has just found this ray to meet: the member's query starts by
    // testing the same box again, and rayBoxTest then only counts that repeat.
    mutable const BoundingBox* boxJustMet = nullptr;
};

void initRay(Ray& ray, const Vector3& origin, const Vector3& direction);

// One point where a ray crosses a primitive's surface.
struct Hit {
    Object* object = nullptr;  // always a primitive, never a CSG node
    double distance = 0;       // ray parameter, in lengths of the ray direction
    Vector3 point;             // scene coordinates
    int index1 = 0;            // object-specific: face, surface part
    int index2 = 0;            // object-specific: segment
    double value = 0;          // object-specific: curve parameter
    std::uint8_t inverted = 0; // negate the normal before shading
};

// One stretch of the ray inside a solid.
struct Intersection {
    Hit entry;
    Hit exit;
};

inline constexpr int STACK_CAPACITY = 100;

struct IntersectionStack {
    IntersectionStack* next = nullptr;  // free-list link
    Intersection* records = nullptr;    // STACK_CAPACITY records
    int capacity = STACK_CAPACITY;
    int count = 0;
};

IntersectionStack* acquireStack();
void releaseStack(IntersectionStack* stack);
// Writes at index count; a full stack keeps its count and counts an overflow, so at most
// capacity - 1 records are ever visible.
void pushIntersection(IntersectionStack* stack, const Intersection& record);
void freeAllStacks();
// Stacks currently on the free list (for tests of reuse).
int pooledStackCount();
