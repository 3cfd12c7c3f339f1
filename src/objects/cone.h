// Cone and cylinder: one family on a canonical unit shape along +z; prepare picks the table
// from the radii.
#pragma once

#include "objects/object.h"

inline constexpr double EPSILON = 1e-10;

// Surface parts kept in Hit::index1.
enum ConeSurface { SURFACE_BASE = 1, SURFACE_APEX = 2, SURFACE_SIDE = 3 };

struct Cone : Object {
    Vector3 apex_point;       // after a cone's prepare: the wider end
    Vector3 base_point;
    double apex_radius = 0;
    double base_radius = 0;
    double small_end = 0;     // canonical z of the base cap: 0 for a cylinder
};

extern const ObjectMethods ConeMethods;
extern const ObjectMethods CylinderMethods;

Cone* new_cone();
Object* make_cylinder(double x1, double y1, double z1, double x2, double y2, double z2, double radius);
Object* make_cone(double x1, double y1, double z1, double radius1, double x2, double y2, double z2,
                  double radius2);
