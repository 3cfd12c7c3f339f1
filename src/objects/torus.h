// The torus about the local y axis; always intersected in its local frame.
#pragma once

#include "objects/object.h"

struct Torus : Object {
    double major_radius = 0;  // R: circle through the tube's centre, in the plane y = 0
    double minor_radius = 0;  // r: the tube
};

extern const ObjectMethods TorusMethods;

Torus* new_torus();
Object* make_torus(double major_radius, double minor_radius);
