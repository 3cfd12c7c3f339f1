// Camera placement and rotation, primary rays, and the renderer set-up.
#include "render/camera.h"

#include <cmath>

#include "base/error.h"
#include "objects/object.h"
#include "render/frame.h"
#include "render/frameless.h"
#include "render/presenter.h"
#include "render/shading.h"
#include "trace/ray.h"

Camera camera;

void lookAt(double x, double y, double z) {
    const double directionLength = length(camera.direction);
    const double upLength = length(camera.up);
    const double rightLength = length(camera.right);
    const double handedness = dot(cross(camera.up, camera.direction), camera.right);

    camera.direction = Vector3{x, y, z} - camera.location;
    if (dot(camera.direction, camera.direction) < SMALL_EPSILON)
        fatal_error(100, "main", "Camera location and look_at point must be different.");
    camera.direction = normalize(camera.direction);

    // The current up vector serves as the sky.
    camera.right = cross(camera.up, camera.direction);
    const Vector3& r = camera.right;
    if (std::fabs(r.x) < SMALL_EPSILON && std::fabs(r.y) < SMALL_EPSILON && std::fabs(r.z) < SMALL_EPSILON)
        fatal_error(100, "main", "DOMAIN Error in look_at");
    camera.right = normalize(camera.right);
    camera.up = cross(camera.direction, camera.right);

    camera.direction = camera.direction * directionLength;
    camera.right = camera.right * (handedness < 0 ? -rightLength : rightLength);
    camera.up = camera.up * upLength;
}

namespace {
struct Quaternion {
    double w, x, y, z;
};

Quaternion operator*(const Quaternion& a, const Quaternion& b) {
    return {a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z,
            a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w};
}
}  // namespace

void rotateAboutAxis(double angle, const Vector3& axis, Vector3& v) {
    const double s = std::sin(angle / 2);
    Quaternion q{std::cos(angle / 2), s * axis.x, s * axis.y, s * axis.z};
    const double norm = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
    q = {q.w / norm, q.x / norm, q.y / norm, q.z / norm};
    const Quaternion conjugate{q.w, -q.x, -q.y, -q.z};
    const Quaternion r = q * Quaternion{0, v.x, v.y, v.z} * conjugate;
    v = {r.x, r.y, r.z};
}

void primaryRay(Ray& ray, int column, int row, int width, int height) {
    primaryRayThrough(ray, column, row, width, height);
}

void primaryRayThrough(Ray& ray, double column, double row, int width, int height) {
    const double u = column / width - 0.5;
    const double v = row / height - 0.5;
    initRay(ray, camera.location, camera.direction + u * camera.right + v * camera.up);
}

void initRenderer(Presenter& presenter) {
    presenter.disableDepthTest();
    presenter.setDrawBuffer(frameless != 0);
    seedRandom();
    camera = {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    Light* light = sceneLight();
    light->colour = {1, 1, 1};
    light->location = LIGHT_LOCATION;
    camera.location = CAMERA_START_LOCATION;
    lookAt(CAMERA_START_LOOK_AT.x, CAMERA_START_LOOK_AT.y, CAMERA_START_LOOK_AT.z);
}
