// The plane: a half-space whose spans run to infinity on one side. Without a matrix it moves
// by changing its own equation; once it has one, every change is composed onto it.
#include "objects/plane.h"

#include <cmath>

#include "base/statistics.h"

namespace {

Plane* as_plane(Object* object) { return static_cast<Plane*>(object); }

void set_unbounded(Object* object) { object->bounds = BoundingBox(); }

Hit plane_hit(Object* plane, double distance, const Ray& ray) {
    Hit hit;
    hit.object = plane;
    hit.distance = distance;
    hit.point = ray.origin + distance * ray.direction;  // not finite at an infinite end
    return hit;
}

int intersect_plane(Object* object, const Ray& ray, IntersectionStack* stack) {
    ++stats.planeTests;
    const Plane* plane = as_plane(object);
    double a, b;
    if (plane->transformation) {
        const Matrix4& N = plane->transformation->inverse;
        a = dot(plane->normal, transform_direction(ray.direction, N));
        b = dot(plane->normal, transform_point(ray.origin, N));
    } else {
        a = dot(plane->normal, ray.direction);
        b = dot(plane->normal, ray.origin);
    }
    // A parallel ray gets no span, even from inside.
    if (std::fabs(a) < SMALL_EPSILON) return 0;
    const double t = -(b + plane->offset) / a;
    const bool entering = a < 0;
    const double near = entering ? t : -NO_LIMIT;
    const double far = entering ? NO_LIMIT : t;
    if (!(far > MIN_HIT_DISTANCE && near < ray.maxDistance)) return 0;
    ++stats.planeHits;
    pushIntersection(stack, {plane_hit(object, near, ray), plane_hit(object, far, ray)});
    return 1;
}

Vector3* plane_normal(Vector3* out, const Hit& hit) {
    const Plane* plane = as_plane(hit.object);
    *out = plane->transformation ? transform_normal(plane->normal, plane->transformation->inverse)
                                 : plane->normal;
    return out;
}

Object* copy_plane(Object* object) {
    Plane* copy = new_plane();
    *copy = *as_plane(object);
    copy->transformation = copy_transformation(object->transformation);
    return copy;
}

void translate_plane(Object* object, const Vector3& v, const Transformation& t) {
    Plane* plane = as_plane(object);
    if (plane->transformation)
        compose(*plane->transformation, t);
    else
        plane->offset -= dot(plane->normal, v);
    set_unbounded(plane);
}

void rotate_plane(Object* object, const Vector3&, const Transformation& t) {
    Plane* plane = as_plane(object);
    if (plane->transformation)
        compose(*plane->transformation, t);
    else
        plane->normal = transform_direction(plane->normal, t.forward);
    set_unbounded(plane);
}

// Scaling points by s divides the normal by s; the equation is then brought back to a unit
// normal.
void scale_plane(Object* object, const Vector3& s, const Transformation& t) {
    Plane* plane = as_plane(object);
    if (plane->transformation) {
        compose(*plane->transformation, t);
    } else {
        const Vector3& n = plane->normal;
        const Vector3 scaled{n.x / s.x, n.y / s.y, n.z / s.z};
        const double k = 1.0 / length(scaled);
        plane->normal = scaled * k;
        plane->offset *= k;
    }
    set_unbounded(plane);
}

void transform_plane(Object* object, const Transformation& t) {
    Plane* plane = as_plane(object);
    if (!plane->transformation) plane->transformation = new_transformation();
    compose(*plane->transformation, t);
    set_unbounded(plane);
}

void destroy_plane(Object* object) {
    free_transformation(object->transformation);
    delete as_plane(object);
}

}  // namespace

constexpr ObjectMethods PlaneMethods = {
    .intersect = intersect_plane,
    .normal = plane_normal,
    .copy = copy_plane,
    .translate = translate_plane,
    .rotate = rotate_plane,
    .scale = scale_plane,
    .transform = transform_plane,
    .destroy = destroy_plane,
    .prepare = nullptr,
};

Plane* new_plane() {
    auto* plane = new Plane();
    init_object(plane, &PlaneMethods);
    return plane;
}

Object* make_plane(double nx, double ny, double nz, double offset) {
    Plane* plane = new_plane();
    finish_primitive(plane);
    plane->normal = {nx, ny, nz};
    plane->offset = offset;
    set_unbounded(plane);
    return plane;
}
