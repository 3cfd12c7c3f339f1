// The sphere: world-space centre and radius until a non-uniform scale or a general
// transformation switches it, for good, to the transformed table.
#pragma once

#include "objects/object.h"

struct Sphere : Object {
    Vector3 center;             // local centre once transformed
    double radius = 1;          // may be negative: bounds use its magnitude
    double radius_squared = 1;  // kept equal to radius²
};

extern const ObjectMethods SphereMethods;
extern const ObjectMethods TransformedSphereMethods;

Sphere* new_sphere();
Object* make_sphere(double x, double y, double z, double radius);
