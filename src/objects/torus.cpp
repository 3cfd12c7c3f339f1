// The torus: a quartic in the ray parameter, solved in the local frame where the torus lies
// round the y axis; every placement is composed onto its matrix.
#include "objects/torus.h"

#include <cmath>

#include "base/statistics.h"
#include "math/solvers.h"

namespace {

Torus* as_torus(Object* object) { return static_cast<Torus*>(object); }

// The local box holds the whole tube whatever the signs of the radii, since only their
// squares enter the surface.
void compute_torus_bounds(Torus* torus) {
    const double outer = std::fabs(torus->major_radius) + std::fabs(torus->minor_radius);
    const double tube = std::fabs(torus->minor_radius);
    BoundingBox& box = torus->bounds;
    box.lower = {-outer, -tube, -outer};
    box.extent = {2 * outer, 2 * tube, 2 * outer};
    box.upper = box.lower + box.extent;
    transformedBounds(&torus->transformation->forward, box);
}

bool acceptable(const Ray& ray, double entry, double exit) {
    return exit > MIN_HIT_DISTANCE && entry < ray.maxDistance;
}

// The real roots of the local quartic, as world distances in ascending order; an odd root
// (a tangent ray) is dropped so that roots pair up into spans.
int world_roots(const Torus* torus, const Ray& ray, double roots[4]) {
    const Matrix4& N = torus->transformation->inverse;
    const Vector3 o = transform_point(ray.origin, N);
    const Vector3 direction = transform_direction(ray.direction, N);
    const double k = 1.0 / length(direction);
    const Vector3 d = direction * k;

    const double R2 = torus->major_radius * torus->major_radius;
    const double r2 = torus->minor_radius * torus->minor_radius;
    const double K = dot(o, d);
    const double J = dot(o, o) - R2 - r2;
    const double c[5] = {J * J + 4 * R2 * (o.y * o.y - r2),
                         4 * J * K + 8 * R2 * o.y * d.y,
                         2 * J + 4 * K * K + 4 * R2 * d.y * d.y,
                         4 * K,
                         1};
    const int m = solve_quartic(c, roots) & ~1;
    for (int i = 0; i < m; ++i) roots[i] *= k;
    return sort_roots(roots, m);
}

// Keeps the root pairs that lie (partly) ahead of the origin and before the ray's end, at the
// front of roots; returns how many roots remain.
int accept_pairs(const Ray& ray, double roots[4], int m) {
    if (m == 4) {
        if (acceptable(ray, roots[2], roots[3])) {
            if (acceptable(ray, roots[0], roots[1])) return 4;
            roots[0] = roots[2];
            roots[1] = roots[3];
            return 2;
        }
        return acceptable(ray, roots[0], roots[1]) ? 2 : 0;
    }
    if (m == 2 && acceptable(ray, roots[0], roots[1])) return 2;
    return 0;
}

Hit torus_hit(Object* torus, double distance, const Ray& ray) {
    Hit hit;
    hit.object = torus;
    hit.distance = distance;
    hit.point = ray.origin + distance * ray.direction;
    return hit;
}

int intersect_torus(Object* object, const Ray& ray, IntersectionStack* stack) {
    if (!rayBoxTest(ray, object->bounds)) return 0;
    ++stats.torusTests;
    double roots[4];
    const int kept = accept_pairs(ray, roots, world_roots(as_torus(object), ray, roots));
    if (kept == 0) return 0;
    ++stats.torusHits;
    for (int i = 0; i < kept; i += 2)
        pushIntersection(stack, {torus_hit(object, roots[i], ray), torus_hit(object, roots[i + 1], ray)});
    return kept;
}

// The normal runs from the nearest point of the tube's centre circle to the hit.
Vector3* torus_normal(Vector3* out, const Hit& hit) {
    const Torus* torus = as_torus(hit.object);
    const Matrix4& N = torus->transformation->inverse;
    const Vector3 p = transform_point(hit.point, N);
    const double w = std::sqrt(p.x * p.x + p.z * p.z);
    Vector3 q;
    if (w > SMALL_EPSILON) {
        const double s = torus->major_radius / w;
        q = {p.x * s, 0, p.z * s};
    }
    *out = transform_normal(p - q, N);
    return out;
}

Object* copy_torus(Object* object) {
    Torus* copy = new_torus();
    free_transformation(copy->transformation);
    *copy = *as_torus(object);
    copy->transformation = copy_transformation(object->transformation);
    return copy;
}

void transform_torus(Object* object, const Transformation& t) {
    Torus* torus = as_torus(object);
    compose(*torus->transformation, t);
    compute_torus_bounds(torus);
}

// Translation, rotation and scaling are all compositions; their vectors are not needed.
void move_torus(Object* object, const Vector3&, const Transformation& t) { transform_torus(object, t); }

void destroy_torus(Object* object) {
    free_transformation(object->transformation);
    delete as_torus(object);
}

}  // namespace

constexpr ObjectMethods TorusMethods = {
    .intersect = intersect_torus,
    .normal = torus_normal,
    .copy = copy_torus,
    .translate = move_torus,
    .rotate = move_torus,
    .scale = move_torus,
    .transform = transform_torus,
    .destroy = destroy_torus,
    .prepare = nullptr,
};

Torus* new_torus() {
    auto* torus = new Torus();
    init_object(torus, &TorusMethods);
    torus->transformation = new_transformation();
    return torus;
}

Object* make_torus(double major_radius, double minor_radius) {
    Torus* torus = new_torus();
    finish_primitive(torus);
    torus->major_radius = major_radius;
    torus->minor_radius = minor_radius;
    compute_torus_bounds(torus);
    return torus;
}
