// The pinhole camera, the primary ray of a grid sample, and the renderer set-up at start.
#pragma once

#include "math/vector.h"

struct Ray;
struct Presenter;

// Four vectors in scene coordinates, used as they stand (not kept orthonormal).
struct Camera {
    Vector3 location;   // eye point, origin of every primary ray
    Vector3 direction;  // eye to the centre of the image plane; its length is the distance
    Vector3 right;      // full width of the image plane, left to right
    Vector3 up;         // full height of the image plane, bottom to top
};

extern Camera camera;

inline constexpr Vector3 CAMERA_START_LOCATION{-0.664095, 1.810505, 4.61224};
inline constexpr Vector3 CAMERA_START_LOOK_AT{-0.37989, 1.766912, 3.9586129999999997};
inline constexpr Vector3 LIGHT_LOCATION{200, 500, 200};

// Aims the camera at the point, keeping its location and the lengths of its vectors; an
// impossible aim stops the program (100).
void lookAt(double x, double y, double z);

// Rotates v in place by angle radians about the unit axis.
void rotateAboutAxis(double angle, const Vector3& axis, Vector3& v);

// The ray through the sample at column, row of a width × height grid; row 0 is the bottom.
void primaryRay(Ray& ray, int column, int row, int width, int height);
// The same for a point between the samples: column 2.25 lies a quarter of the way from
// column 2 to column 3. At whole numbers it is primaryRay's ray to the bit.
void primaryRayThrough(Ray& ray, double column, double row, int width, int height);

// Once at start-up: display state, random generator, camera and light.
void initRenderer(Presenter& presenter);
