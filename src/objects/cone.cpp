// Cone and cylinder: rays are carried into the canonical frame of the unit shape on +z,
// boundary crossings are collected there and turned back into world ray distances.
#include "objects/cone.h"

#include <cmath>
#include <utility>

#include "base/error.h"
#include "base/statistics.h"

namespace {

// A boundary crossing: world ray distance and the surface part crossed.
struct Candidate {
    double distance = 0;
    int part = 0;
};

// At most two side roots and two caps.
struct CandidateList {
    Candidate items[4];
    int count = 0;
    void add(double distance, int part) { items[count++] = {distance, part}; }
};

// The ray in the canonical frame: D has unit length, and a local distance t is the ray
// distance t * scale.
struct LocalRay {
    Vector3 O;
    Vector3 D;
    double scale = 1;
};

Cone* as_cone(Object* object) { return static_cast<Cone*>(object); }

LocalRay to_canonical(const Cone* cone, const Ray& ray) {
    const Matrix4& inverse = cone->transformation->inverse;
    LocalRay local;
    local.O = transform_point(ray.origin, inverse);
    const Vector3 d = transform_direction(ray.direction, inverse);
    local.scale = 1.0 / length(d);
    local.D = d * local.scale;
    return local;
}

void compute_cone_bounds(Cone* cone) {
    BoundingBox box;
    box.lower = {-1, -1, cone->small_end};
    box.upper = {1, 1, 1};
    box.extent = {2, 2, 1 - cone->small_end};
    transformedBounds(&cone->transformation->forward, box);
    cone->bounds = box;
}

// Cap candidates are kept when the crossing lies within radius² of the axis.
bool within_cap(const LocalRay& r, double t, double radius_squared) {
    const double x = r.O.x + t * r.D.x;
    const double y = r.O.y + t * r.D.y;
    return x * x + y * y <= radius_squared;
}

bool in_front(double t, const Ray& ray) { return EPSILON < t && t < ray.maxDistance; }

bool within_height(const LocalRay& r, double t, double low) {
    const double z = r.O.z + t * r.D.z;
    return low <= z && z <= 1;
}

void collect_cylinder(const Cone* cylinder, const LocalRay& r, CandidateList& list) {
    const Vector3& O = r.O;
    const Vector3& D = r.D;
    const double w = D.x * D.x + D.y * D.y;
    if (w > EPSILON) {
        const double b = O.x * D.x + O.y * D.y;
        const double disc = b * b - (O.x * O.x + O.y * O.y - 1) * w;
        if (disc >= 0) {
            const double root = std::sqrt(disc);
            for (const double t : {(root - b) / w, (-root - b) / w})
                if (within_height(r, t, 0)) list.add(t * r.scale, SURFACE_SIDE);
        }
    }
    if (std::fabs(D.z) > EPSILON) {
        const double apex = (1 - O.z) / D.z;
        if (within_cap(r, apex, 1)) list.add(apex * r.scale, SURFACE_APEX);
        const double base = (cylinder->small_end - O.z) / D.z;
        if (within_cap(r, base, 1)) list.add(base * r.scale, SURFACE_BASE);
    }
}

void collect_cone(const Cone* cone, const Ray& ray, const LocalRay& r, CandidateList& list) {
    const Vector3& O = r.O;
    const Vector3& D = r.D;
    const double low = cone->small_end;
    const auto add_side = [&](double t) {
        if (in_front(t, ray) && within_height(r, t, low)) list.add(t * r.scale, SURFACE_SIDE);
    };
    const double w = D.x * D.x + D.y * D.y - D.z * D.z;
    const double b = O.x * D.x + O.y * D.y - O.z * D.z;
    const double k = O.x * O.x + O.y * O.y - O.z * O.z;
    if (std::fabs(w) < EPSILON) {
        // Parallel to a generator line: the quadratic degenerates to a linear equation.
        if (std::fabs(b) > EPSILON) add_side(-k / (2 * b));
    } else {
        const double disc = b * b - w * k;
        if (disc >= 0) {
            const double root = std::sqrt(disc);
            add_side((-b - root) / w);
            add_side((root - b) / w);
        }
    }
    if (std::fabs(D.z) > EPSILON) {
        const double apex = (1 - O.z) / D.z;
        if (within_cap(r, apex, 1) && in_front(apex, ray)) list.add(apex * r.scale, SURFACE_APEX);
        const double base = (low - O.z) / D.z;
        if (within_cap(r, base, low * low) && in_front(base, ray)) list.add(base * r.scale, SURFACE_BASE);
    }
}

// Orders the first two candidates and decides whether they make a span; returns the
// candidate count with its lowest bit cleared, or 0.
int finish(CandidateList& list, const Ray& ray) {
    if (list.count >= 2) {
        Candidate& first = list.items[0];
        Candidate& second = list.items[1];
        if (second.distance < first.distance) std::swap(first, second);
        if (!(second.distance > EPSILON) || !(first.distance < ray.maxDistance)) return 0;
        ++stats.coneHits;
    }
    return list.count & ~1;
}

Hit make_hit(Cone* cone, const Ray& ray, const Candidate& c) {
    Hit hit;
    hit.object = cone;
    hit.distance = c.distance;
    hit.point = ray.origin + c.distance * ray.direction;
    hit.index1 = c.part;
    return hit;
}

void push_span(Cone* cone, const Ray& ray, const CandidateList& list, IntersectionStack* stack) {
    pushIntersection(stack, {make_hit(cone, ray, list.items[0]), make_hit(cone, ray, list.items[1])});
}

int intersect_cylinder(Object* object, const Ray& ray, IntersectionStack* stack) {
    if (!rayBoxTest(ray, object->bounds)) return 0;
    ++stats.coneTests;
    Cone* cylinder = as_cone(object);
    CandidateList list;
    collect_cylinder(cylinder, to_canonical(cylinder, ray), list);
    const int found = finish(list, ray);
    if (found) push_span(cylinder, ray, list, stack);
    return found;
}

int intersect_cone(Object* object, const Ray& ray, IntersectionStack* stack) {
    if (!rayBoxTest(ray, object->bounds)) return 0;
    ++stats.coneTests;
    Cone* cone = as_cone(object);
    CandidateList list;
    collect_cone(cone, ray, to_canonical(cone, ray), list);
    if (!finish(list, ray)) return 0;
    push_span(cone, ray, list, stack);
    return 1;
}

// The canonical normal by surface part; side_z is the factor of P.z on the side.
Vector3* family_normal(Vector3* out, const Hit& hit, double side_z) {
    const Cone* cone = static_cast<const Cone*>(hit.object);
    const Matrix4& inverse = cone->transformation->inverse;
    Vector3 local;
    switch (hit.index1) {
        case SURFACE_BASE: local = {0, 0, -1}; break;
        case SURFACE_APEX: local = {0, 0, 1}; break;
        default: {
            const Vector3 P = transform_point(hit.point, inverse);
            local = {P.x, P.y, side_z * P.z};
        }
    }
    *out = transform_normal(local, inverse);
    return out;
}

Vector3* cone_normal(Vector3* out, const Hit& hit) { return family_normal(out, hit, -1); }
Vector3* cylinder_normal(Vector3* out, const Hit& hit) { return family_normal(out, hit, 0); }

Object* copy_cone(Object* object) {
    const Cone* source = as_cone(object);
    Cone* copy = new_cone();
    free_transformation(copy->transformation);
    *copy = *source;
    copy->transformation = copy_transformation(source->transformation);
    return copy;
}

// The stored end points and radii keep their building values; only the frame moves.
void transform_cone(Object* object, const Transformation& t) {
    Cone* cone = as_cone(object);
    compose(*cone->transformation, t);
    compute_cone_bounds(cone);
}

void move_cone(Object* object, const Vector3&, const Transformation& t) { transform_cone(object, t); }

void destroy_cone(Object* object) {
    Cone* cone = as_cone(object);
    free_transformation(cone->transformation);
    delete cone;
}

void prepare_cone(Object* object);

void prepare_cylinder(Object* object) {
    Cone* cylinder = as_cone(object);
    if (std::fabs(cylinder->apex_radius - cylinder->base_radius) > EPSILON) {
        prepare_cone(object);
        return;
    }
    cylinder->methods = &CylinderMethods;
    const Vector3 d = cylinder->apex_point - cylinder->base_point;
    const double L = length(d);
    if (L < EPSILON) fatal_error(1100, "cone", "Degenerate cylinder, base point = apex point.");
    basis_transformation(cylinder->apex_radius, L, d * (1.0 / L), cylinder->base_point,
                         *cylinder->transformation);
    cylinder->small_end = 0;
    compute_cone_bounds(cylinder);
}

void prepare_cone(Object* object) {
    Cone* cone = as_cone(object);
    if (std::fabs(cone->apex_radius - cone->base_radius) < EPSILON) {
        prepare_cylinder(object);
        return;
    }
    cone->methods = &ConeMethods;
    if (cone->apex_radius < cone->base_radius) {
        std::swap(cone->apex_point, cone->base_point);
        std::swap(cone->apex_radius, cone->base_radius);
    }
    const Vector3 d = cone->apex_point - cone->base_point;
    const double L = length(d);
    if (L < EPSILON) fatal_error(1100, "cone", "Degenerated cone, base point = apex point.");
    const Vector3 axis = d * (1.0 / L);
    // Distance from the small cap back to the tip of the full cone.
    const double o = L * cone->base_radius / (cone->apex_radius - cone->base_radius);
    const Vector3 tip = cone->base_point - axis * o;
    cone->small_end = o / (L + o);
    basis_transformation(cone->apex_radius, L + o, axis, tip, *cone->transformation);
    compute_cone_bounds(cone);
}

}  // namespace

const ObjectMethods ConeMethods = {
    .intersect = intersect_cone,
    .normal = cone_normal,
    .copy = copy_cone,
    .translate = move_cone,
    .rotate = move_cone,
    .scale = move_cone,
    .transform = transform_cone,
    .destroy = destroy_cone,
    .prepare = prepare_cone,
};

const ObjectMethods CylinderMethods = {
    .intersect = intersect_cylinder,
    .normal = cylinder_normal,
    .copy = copy_cone,
    .translate = move_cone,
    .rotate = move_cone,
    .scale = move_cone,
    .transform = transform_cone,
    .destroy = destroy_cone,
    .prepare = prepare_cylinder,
};

Cone* new_cone() {
    auto* cone = new Cone();
    init_object(cone, &ConeMethods);
    cone->transformation = new_transformation();
    return cone;
}

// Both builders store the ends and let prepare pick the kind from the radii.
static Object* build(const ObjectMethods* kind, const Vector3& base, double base_radius, const Vector3& apex,
                     double apex_radius) {
    Cone* cone = new_cone();
    cone->methods = kind;
    cone->base_point = base;
    cone->base_radius = base_radius;
    cone->apex_point = apex;
    cone->apex_radius = apex_radius;
    cone->methods->prepare(cone);
    finish_primitive(cone);
    return cone;
}

Object* make_cylinder(double x1, double y1, double z1, double x2, double y2, double z2, double radius) {
    return build(&CylinderMethods, {x1, y1, z1}, radius, {x2, y2, z2}, radius);
}

Object* make_cone(double x1, double y1, double z1, double radius1, double x2, double y2, double z2,
                  double radius2) {
    return build(&ConeMethods, {x1, y1, z1}, radius1, {x2, y2, z2}, radius2);
}
