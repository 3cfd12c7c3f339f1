// The box: a slab test in the box's local frame that also tells through which faces the ray
// enters and leaves, so that the normal is a constant per face.
#include "objects/box.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/error.h"
#include "base/statistics.h"

namespace {

// Below this a direction component counts as parallel to the slab.
inline constexpr double EPS_PARALLEL = 1e-10;
// Stands for an unlimited slab end.
inline constexpr double HUGE_DISTANCE = 2e10;
// Slab ends closer than this count as the same distance; the tie rules pick the face.
inline constexpr double EPS_TIE = 1e-6;

Box* as_box(Object* object) { return static_cast<Box*>(object); }

double component(const Vector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

// The part of the ray inside every slab clipped so far, with the faces of its ends.
struct Span {
    double entry = -HUGE_DISTANCE;
    double exit = HUGE_DISTANCE;
    int entryFace = FACE_NONE;
    int exitFace = FACE_NONE;
};

// The faces of one axis in the order the ray meets them.
struct SlabFaces {
    double nearCoordinate, farCoordinate;
    int nearFace, farFace;
};

SlabFaces slab_faces(const Box* box, int axis, double v) {
    const double low = component(box->corner_min, axis), high = component(box->corner_max, axis);
    const int lowFace = FACE_MIN_X + 2 * axis, highFace = FACE_MAX_X + 2 * axis;
    return v > 0 ? SlabFaces{low, high, lowFace, highFace} : SlabFaces{high, low, highFace, lowFace};
}

bool inside_slab(const Box* box, int axis, double p) {
    return component(box->corner_min, axis) <= p && p <= component(box->corner_max, axis);
}

// The x slab opens the span; ends beyond HUGE_DISTANCE stay open with no face.
bool clip_x(const Box* box, const Vector3& P, const Vector3& V, Span& span) {
    if (std::fabs(V.x) <= EPS_PARALLEL) return inside_slab(box, 0, P.x);
    const SlabFaces faces = slab_faces(box, 0, V.x);
    const double tFar = (faces.farCoordinate - P.x) / V.x;
    if (tFar < -HUGE_DISTANCE) return false;
    if (tFar <= HUGE_DISTANCE) {
        span.exit = tFar;
        span.exitFace = faces.farFace;
    }
    const double tNear = (faces.nearCoordinate - P.x) / V.x;
    if (tNear >= -HUGE_DISTANCE) {
        if (span.exit < tNear) return false;
        span.entry = tNear;
        span.entryFace = faces.nearFace;
    }
    return true;
}

// When the y or z slab ends (almost) where the span already ends, whether the face of this
// axis replaces the face held: the axis the ray runs more steeply along wins.
bool tie_takes_face(int axis, int heldFace, const Vector3& V) {
    if (axis == 1) return std::fabs(V.y) > std::fabs(V.x);
    if (heldFace == FACE_MIN_X || heldFace == FACE_MAX_X) return std::fabs(V.z) > std::fabs(V.x);
    if (heldFace == FACE_MIN_Y || heldFace == FACE_MAX_Y) return std::fabs(V.z) > std::fabs(V.y);
    return false;
}

bool clip_axis(const Box* box, int axis, const Vector3& P, const Vector3& V, Span& span) {
    const double p = component(P, axis), v = component(V, axis);
    if (std::fabs(v) <= EPS_PARALLEL) return inside_slab(box, axis, p);
    const SlabFaces faces = slab_faces(box, axis, v);

    const double tFar = (faces.farCoordinate - p) / v;
    if (tFar < span.entry) return false;
    if (tFar <= span.exit - EPS_TIE) {
        span.exit = tFar;
        span.exitFace = faces.farFace;
    } else if (tFar <= span.exit + EPS_TIE && tie_takes_face(axis, span.exitFace, V)) {
        span.exitFace = faces.farFace;
    }

    const double tNear = (faces.nearCoordinate - p) / v;
    if (tNear >= span.entry + EPS_TIE) {
        if (span.exit < tNear) return false;
        span.entry = tNear;
        span.entryFace = faces.nearFace;
    } else if (tNear >= span.entry - EPS_TIE && tie_takes_face(axis, span.entryFace, V)) {
        span.entryFace = faces.nearFace;
    }
    return true;
}

Hit box_hit(Object* box, double distance, int face, const Ray& ray) {
    Hit hit;
    hit.object = box;
    hit.distance = distance;
    hit.point = ray.origin + distance * ray.direction;
    hit.index1 = face;
    return hit;
}

int intersect_box(Object* object, const Ray& ray, IntersectionStack* stack) {
    ++stats.boxTests;
    const Box* box = as_box(object);
    Vector3 P = ray.origin, V = ray.direction;
    if (box->transformation) {
        P = transform_point(ray.origin, box->transformation->inverse);
        V = transform_direction(ray.direction, box->transformation->inverse);
    }
    Span span;
    if (!clip_x(box, P, V, span) || !clip_axis(box, 1, P, V, span) || !clip_axis(box, 2, P, V, span))
        return 0;
    if (!(span.exit > MIN_HIT_DISTANCE && span.entry < ray.maxDistance)) return 0;
    pushIntersection(stack, {box_hit(object, span.entry, span.entryFace, ray),
                             box_hit(object, span.exit, span.exitFace, ray)});
    ++stats.boxHits;
    return 1;
}

Vector3 face_normal(int face) {
    switch (face) {
        case FACE_MIN_X: return {-1, 0, 0};
        case FACE_MAX_X: return {1, 0, 0};
        case FACE_MIN_Y: return {0, -1, 0};
        case FACE_MAX_Y: return {0, 1, 0};
        case FACE_MIN_Z: return {0, 0, -1};
        case FACE_MAX_Z: return {0, 0, 1};
        default: fatal_error(1000, "box", "Unknown box side in Box_Normal().");
    }
}

Vector3* Box_Normal(Vector3* out, const Hit& hit) {
    const Vector3 local = face_normal(hit.index1);
    const Transformation* t = hit.object->transformation;
    *out = t ? transform_normal(local, t->inverse) : local;
    return out;
}

void compute_box_bounds(Box* box) {
    const Vector3& a = box->corner_min;
    const Vector3& b = box->corner_max;
    BoundingBox& bounds = box->bounds;
    bounds.lower = {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
    bounds.extent = {std::fabs(a.x - b.x), std::fabs(a.y - b.y), std::fabs(a.z - b.z)};
    bounds.upper = bounds.lower + bounds.extent;
    if (box->transformation) transformedBounds(&box->transformation->forward, bounds);
}

Object* copy_box(Object* object) {
    Box* copy = new_box();
    *copy = *as_box(object);
    copy->transformation = copy_transformation(object->transformation);
    return copy;
}

// Once a box has a matrix it keeps it, and its corners never change again.
void transform_box(Object* object, const Transformation& t) {
    Box* box = as_box(object);
    if (!box->transformation) box->transformation = new_transformation();
    compose(*box->transformation, t);
    compute_box_bounds(box);
}

void translate_box(Object* object, const Vector3& v, const Transformation& t) {
    Box* box = as_box(object);
    if (box->transformation) {
        transform_box(box, t);
        return;
    }
    box->corner_min += v;
    box->corner_max += v;
    compute_box_bounds(box);
}

void rotate_box(Object* object, const Vector3&, const Transformation& t) { transform_box(object, t); }

void scale_box(Object* object, const Vector3& s, const Transformation& t) {
    Box* box = as_box(object);
    if (box->transformation) {
        transform_box(box, t);
        return;
    }
    Vector3& lo = box->corner_min;
    Vector3& hi = box->corner_max;
    lo = multiply(lo, s);
    hi = multiply(hi, s);
    // A negative factor turns the axis round.
    if (hi.x < lo.x) std::swap(lo.x, hi.x);
    if (hi.y < lo.y) std::swap(lo.y, hi.y);
    if (hi.z < lo.z) std::swap(lo.z, hi.z);
    compute_box_bounds(box);
}

void destroy_box(Object* object) {
    free_transformation(object->transformation);
    delete as_box(object);
}

}  // namespace

constexpr ObjectMethods BoxMethods = {
    .intersect = intersect_box,
    .normal = Box_Normal,
    .copy = copy_box,
    .translate = translate_box,
    .rotate = rotate_box,
    .scale = scale_box,
    .transform = transform_box,
    .destroy = destroy_box,
    .prepare = nullptr,
};

Box* new_box() {
    auto* box = new Box();
    init_object(box, &BoxMethods);
    box->bounds.lower = {-1, -1, -1};
    box->bounds.upper = {1, 1, 1};
    box->bounds.extent = {2, 2, 2};
    return box;
}

Object* make_box(double x1, double y1, double z1, double x2, double y2, double z2) {
    Box* box = new_box();
    finish_primitive(box);
    box->corner_min = {std::min(x1, x2), std::min(y1, y2), std::min(z1, z2)};
    box->corner_max = {std::max(x1, x2), std::max(y1, y2), std::max(z1, z2)};
    compute_box_bounds(box);
    return box;
}
