// The sphere: intersection in world space while it is plain, in its local frame once a
// non-uniform scale or a general transformation has given it a matrix.
#include "objects/sphere.h"

#include <cmath>

#include "base/statistics.h"

namespace {

Sphere* as_sphere(Object* object) { return static_cast<Sphere*>(object); }

void compute_sphere_bounds(Sphere* sphere) {
    const double r = std::fabs(sphere->radius);
    BoundingBox& box = sphere->bounds;
    box.lower = sphere->center - Vector3{r, r, r};
    box.extent = {2 * r, 2 * r, 2 * r};
    box.upper = box.lower + box.extent;
    if (sphere->transformation) transformedBounds(&sphere->transformation->forward, box);
}

// Distances of the line origin + t·d (d of unit length) through the sphere, or false when
// the sphere lies behind the origin or the line misses it. Counts the line hits.
bool unit_line_span(const Sphere* sphere, const Vector3& origin, const Vector3& d, double& t1, double& t2) {
    const Vector3 L = sphere->center - origin;
    const double b = dot(L, d);
    const double q = dot(L, L);
    if (sphere->radius_squared <= q && b < SMALL_EPSILON) return false;
    const double disc = b * b + (sphere->radius_squared - q);
    if (!(disc > SMALL_EPSILON)) return false;
    ++stats.sphereHits;
    const double s = std::sqrt(disc);
    t1 = b - s;
    t2 = b + s;
    return true;
}

bool accepted(const Ray& ray, double t1, double t2) { return t2 > MIN_HIT_DISTANCE && t1 < ray.maxDistance; }

Hit sphere_hit(Object* sphere, double distance, const Vector3& point) {
    Hit hit;
    hit.object = sphere;
    hit.distance = distance;
    hit.point = point;
    return hit;
}

int intersect_sphere(Object* object, const Ray& ray, IntersectionStack* stack) {
    if (!rayBoxTest(ray, object->bounds)) return 0;
    ++stats.sphereTests;
    const double k = 1.0 / length(ray.direction);
    const Vector3 d = ray.direction * k;
    double t1, t2;
    if (!unit_line_span(as_sphere(object), ray.origin, d, t1, t2)) return 0;
    t1 *= k;
    t2 *= k;
    if (!accepted(ray, t1, t2)) return 0;
    pushIntersection(stack, {sphere_hit(object, t1, ray.origin + t1 * ray.direction),
                             sphere_hit(object, t2, ray.origin + t2 * ray.direction)});
    return 1;
}

int intersect_transformed_sphere(Object* object, const Ray& ray, IntersectionStack* stack) {
    if (!rayBoxTest(ray, object->bounds)) return 0;
    const Transformation& t = *object->transformation;
    const Vector3 origin = transform_point(ray.origin, t.inverse);
    const Vector3 direction = transform_direction(ray.direction, t.inverse);
    ++stats.sphereTests;
    const double k = 1.0 / length(direction);
    const Vector3 d = direction * k;
    double local1, local2;
    if (!unit_line_span(as_sphere(object), origin, d, local1, local2)) return 0;
    const double t1 = local1 * k, t2 = local2 * k;
    if (!accepted(ray, t1, t2)) return 0;
    pushIntersection(stack, {sphere_hit(object, t1, transform_point(origin + local1 * d, t.forward)),
                             sphere_hit(object, t2, transform_point(origin + local2 * d, t.forward))});
    return 1;
}

// Unit length on the surface; a negative radius turns it toward the centre.
Vector3* sphere_normal(Vector3* out, const Hit& hit) {
    const Sphere* sphere = as_sphere(hit.object);
    *out = (hit.point - sphere->center) * (1.0 / sphere->radius);
    return out;
}

Vector3* transformed_sphere_normal(Vector3* out, const Hit& hit) {
    const Sphere* sphere = as_sphere(hit.object);
    const Matrix4& N = sphere->transformation->inverse;
    *out = transform_normal(transform_point(hit.point, N) - sphere->center, N);
    return out;
}

Object* copy_sphere(Object* object) {
    Sphere* copy = new_sphere();
    *copy = *as_sphere(object);
    copy->transformation = copy_transformation(object->transformation);
    return copy;
}

// Switches for good to the matrix-based table; centre and radius become local values.
void become_transformed(Sphere* sphere) {
    sphere->methods = &TransformedSphereMethods;
    sphere->transformation = new_transformation();
}

void compose_sphere(Sphere* sphere, const Transformation& t) {
    compose(*sphere->transformation, t);
    compute_sphere_bounds(sphere);
}

void translate_sphere(Object* object, const Vector3& v, const Transformation& t) {
    Sphere* sphere = as_sphere(object);
    if (sphere->transformation) {
        compose_sphere(sphere, t);
    } else {
        sphere->center += v;
        compute_sphere_bounds(sphere);
    }
}

void rotate_sphere(Object* object, const Vector3&, const Transformation& t) {
    Sphere* sphere = as_sphere(object);
    if (sphere->transformation) {
        compose_sphere(sphere, t);
    } else {
        sphere->center = transform_point(sphere->center, t.forward);
        compute_sphere_bounds(sphere);
    }
}

void scale_sphere(Object* object, const Vector3& s, const Transformation& t) {
    Sphere* sphere = as_sphere(object);
    if (!sphere->transformation) {
        if (s.x == s.y && s.y == s.z) {
            sphere->center = sphere->center * s.x;
            sphere->radius *= std::fabs(s.x);
            sphere->radius_squared = sphere->radius * sphere->radius;
            compute_sphere_bounds(sphere);
            return;
        }
        become_transformed(sphere);
    }
    compose_sphere(sphere, t);
}

void transform_sphere(Object* object, const Transformation& t) {
    Sphere* sphere = as_sphere(object);
    if (!sphere->transformation) become_transformed(sphere);
    compose_sphere(sphere, t);
}

void destroy_sphere(Object* object) {
    free_transformation(object->transformation);
    delete as_sphere(object);
}

}  // namespace

constexpr ObjectMethods SphereMethods = {
    .intersect = intersect_sphere,
    .normal = sphere_normal,
    .copy = copy_sphere,
    .translate = translate_sphere,
    .rotate = rotate_sphere,
    .scale = scale_sphere,
    .transform = transform_sphere,
    .destroy = destroy_sphere,
    .prepare = nullptr,
};

constexpr ObjectMethods TransformedSphereMethods = {
    .intersect = intersect_transformed_sphere,
    .normal = transformed_sphere_normal,
    .copy = copy_sphere,
    .translate = translate_sphere,
    .rotate = rotate_sphere,
    .scale = scale_sphere,
    .transform = transform_sphere,
    .destroy = destroy_sphere,
    .prepare = nullptr,
};

Sphere* new_sphere() {
    auto* sphere = new Sphere();
    init_object(sphere, &SphereMethods);
    return sphere;
}

Object* make_sphere(double x, double y, double z, double radius) {
    Sphere* sphere = new_sphere();
    finish_primitive(sphere);
    sphere->center = {x, y, z};
    sphere->radius = radius;
    sphere->radius_squared = radius * radius;
    compute_sphere_bounds(sphere);
    return sphere;
}
