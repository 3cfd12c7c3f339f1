// The axis-aligned box: a slab test that reports the faces it enters and leaves through.
#pragma once

#include "objects/object.h"

// Face codes kept in Hit::index1.
enum BoxFace { FACE_NONE = 0, FACE_MIN_X = 1, FACE_MAX_X, FACE_MIN_Y, FACE_MAX_Y, FACE_MIN_Z, FACE_MAX_Z };

struct Box : Object {
    Vector3 corner_min{-1, -1, -1};  // local frame
    Vector3 corner_max{1, 1, 1};
};

extern const ObjectMethods BoxMethods;

Box* new_box();
Object* make_box(double x1, double y1, double z1, double x2, double y2, double z2);
