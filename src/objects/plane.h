// The plane: the half-space dot(normal, P) + offset < 0, unbounded.
#pragma once

#include "objects/object.h"

struct Plane : Object {
    Vector3 normal{0, 1, 0};  // local once the plane has a transformation
    double offset = 0;
};

extern const ObjectMethods PlaneMethods;

Plane* new_plane();
Object* make_plane(double nx, double ny, double nz, double offset);
