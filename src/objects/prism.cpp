// The prism: outline set-up into a shared segment table, the even-odd cap test, and the
// linear and conic sweep intersections.
#include "objects/prism.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/error.h"
#include "base/statistics.h"

namespace {

// Segments this flat in z are left out of the cap's crossing count.
inline constexpr double CAP_SLOPE_EPSILON = 1e-9;

Prism* as_prism(Object* object) { return static_cast<Prism*>(object); }

int segment_count(const Prism* prism) { return prism->segments ? prism->outline_count : 0; }

// Room for both caps and one crossing per segment.
void allocate_work_list(Prism* prism, int outline_count) {
    prism->hits.assign(static_cast<std::size_t>(std::max(outline_count, 0)) + 2, PrismHit());
}

// Index order within sweep_box and outline_box.
enum { X_MIN, Z_MIN, X_MAX, Z_MAX };

Segment straight_segment(const OutlinePoint& a, const OutlinePoint& b) {
    Segment s;
    s.x_min = std::min(a.x, b.x);
    s.z_min = std::min(a.z, b.z);
    s.x_max = std::max(a.x, b.x);
    s.z_max = std::max(a.z, b.z);
    s.plain_z_min = s.z_min;
    s.plain_x_max = s.x_max;
    s.plain_z_max = s.z_max;
    s.k1x = b.x - a.x;
    s.k1z = b.z - a.z;
    s.k0x = a.x;
    s.k0z = a.z;
    return s;
}

bool same_point(const OutlinePoint& a, const OutlinePoint& b) {
    return std::fabs(a.x - b.x) < SMALL_EPSILON && std::fabs(a.z - b.z) < SMALL_EPSILON;
}

// Widens lo..hi to the products of the limits with both heights (the conic sweep's box).
void scale_by_heights(double& lo, double& hi, double h1, double h2) {
    const double p[4] = {lo * h1, lo * h2, hi * h1, hi * h2};
    lo = *std::min_element(p, p + 4);
    hi = *std::max_element(p, p + 4);
}

// A ray starting beyond a box side and moving away from it cannot meet what the box holds.
// The ray's origin is compared only with the sides its direction runs away from: a guard is
// the origin coordinate where that side is to be checked, and an infinity that passes every
// comparison where it is not. The guards are set once per ray.
struct BoxGuards {
    double high_x, low_x, high_z, low_z;  // compared with x_max, x_min, z_max, z_min
};

BoxGuards box_guards(const Vector3& P, const Vector3& D) {
    return {D.x >= 0 ? P.x : -NO_LIMIT, D.x <= 0 ? P.x : NO_LIMIT, D.z >= 0 ? P.z : -NO_LIMIT,
            D.z <= 0 ? P.z : NO_LIMIT};
}

// Without branches, so that only the outcome is left to predict in the loop over segments.
bool leaves_box(const BoxGuards& g, double x_min, double z_min, double x_max, double z_max) {
    return (g.high_x > x_max) | (g.low_x < x_min) | (g.high_z > z_max) | (g.low_z < z_min);
}

double cubic(double k3, double k2, double k1, double k0, double u) { return ((k3 * u + k2) * u + k1) * u + k0; }

// Even-odd count of the outline crossings on the +x side of (x, z), in the unscaled outline.
bool inside_outline(const Prism* prism, double x, double z) {
    const double* box = prism->outline_box;
    if (x < box[X_MIN] || x > box[X_MAX] || z < box[Z_MIN] || z > box[Z_MAX]) return false;
    int crossings = 0;
    for (int i = 0; i < segment_count(prism); ++i) {
        const Segment& s = prism->segments->segments[i];
        if (z < s.plain_z_min || z > s.plain_z_max || x > s.plain_x_max) continue;
        if (std::fabs(s.k1z) < CAP_SLOPE_EPSILON) continue;
        const double u = (z - s.k0z) / s.k1z;
        if (u < 0 || u > 1) continue;
        if (s.k1x * u + s.k0x >= x) ++crossings;
    }
    return crossings & 1;
}

struct LocalRay {
    Vector3 P;
    Vector3 D;           // unit length
    double scale = 1;    // local distance t is the ray distance t * scale
};

// The crossings of the ray being traced. Threads trace the same prism at once, so each has
// its own list, grown to the size set-up gave the prism's.
thread_local std::vector<PrismHit> threadHits;

// Appends to the thread's work list, sized for both caps and every segment.
class HitList {
public:
    explicit HitList(Prism* prism) : hits_(threadHits) {
        if (hits_.size() < prism->hits.size()) hits_.resize(prism->hits.size());
    }
    void add(double distance, double u, int segment, int part) {
        hits_[count_++] = {distance, u, segment, part};
    }
    int count() const { return count_; }

private:
    std::vector<PrismHit>& hits_;
    int count_ = 0;
};

void collect_caps(const Prism* prism, const Ray& ray, const LocalRay& r, HitList& list) {
    const std::pair<double, int> caps[2] = {{prism->height2, PRISM_CAP2}, {prism->height1, PRISM_CAP1}};
    for (const auto& [height, part] : caps) {
        const double t = (height - r.P.y) / r.D.y;
        if (!(MIN_HIT_DISTANCE < t && t < ray.maxDistance)) continue;
        double x = r.P.x + t * r.D.x;
        double z = r.P.z + t * r.D.z;
        if (prism->sweep == CONIC_SWEEP) {
            // The conic cap is the outline scaled by its height; at height 0 it is a point.
            if (std::fabs(height) <= SMALL_EPSILON) continue;
            x /= height;
            z /= height;
        }
        if (inside_outline(prism, x, z)) list.add(t * r.scale, 0, 0, part);
    }
}

bool within_heights(const Prism* prism, const LocalRay& r, double t) {
    const double y = r.P.y + t * r.D.y;
    return prism->height1 <= y && y <= prism->height2;
}

// Crossing of the ray with the vertical wall over a segment.
void linear_side(const Prism* prism, const Segment& s, int index, const LocalRay& r, HitList& list) {
    const Vector3& P = r.P;
    const Vector3& D = r.D;
    const double den = D.z * s.k1x - D.x * s.k1z;
    if (std::fabs(den) <= SMALL_EPSILON) return;
    const double u = -((s.k0x - P.x) * D.z - (s.k0z - P.z) * D.x) / den;
    if (u < 0 || u > 1) return;
    const double t = std::fabs(D.x) > SMALL_EPSILON ? (cubic(s.k3x, s.k2x, s.k1x, s.k0x, u) - P.x) / D.x
                                                    : (cubic(s.k3z, s.k2z, s.k1z, s.k0z, u) - P.z) / D.z;
    if (within_heights(prism, r, t)) list.add(t * r.scale, u, index, PRISM_SIDE);
}

// Crossing with the surface swept by the lines from the origin through the segment at
// height 1: first the segment point in the plane of the ray and the origin, then the
// distance along the ray.
void conic_side(const Prism* prism, const Segment& s, int index, const LocalRay& r, HitList& list) {
    const Vector3& P = r.P;
    const Vector3& D = r.D;
    const double A = D.y * P.z - D.z * P.y;
    const double B = D.x * P.y - D.y * P.x;
    const double den = A * s.k1x + B * s.k1z;
    if (std::fabs(den) <= SMALL_EPSILON) return;
    const double u = -(s.k0z * B + s.k0x * A + (D.z * P.x - P.z * D.x)) / den;
    if (u < 0 || u > 1) return;
    const double X = cubic(s.k3x, s.k2x, s.k1x, s.k0x, u);
    double w = D.x - X * D.y;
    double num = P.y * X - P.x;
    if (std::fabs(w) <= SMALL_EPSILON) {
        const double Z = cubic(s.k3z, s.k2z, s.k1z, s.k0z, u);
        w = D.z - Z * D.y;
        num = P.y * Z - P.z;
        if (std::fabs(w) <= SMALL_EPSILON) return;
    }
    const double t = num / w;
    if (within_heights(prism, r, t)) list.add(t * r.scale, u, index, PRISM_SIDE);
}

// The bounds counters of a linear sweep are added once for the whole outline.
void collect_sides(const Prism* prism, const LocalRay& r, HitList& list) {
    const bool linear = prism->sweep == LINEAR_SWEEP;
    const int count = segment_count(prism);
    const Segment* segments = count ? prism->segments->segments.data() : nullptr;
    const BoxGuards guards = box_guards(r.P, r.D);
    int met = 0;
    for (int i = 0; i < count; ++i) {
        const Segment& s = segments[i];
        if (leaves_box(guards, s.x_min, s.z_min, s.x_max, s.z_max)) continue;
        ++met;
        if (linear)
            linear_side(prism, s, i, r, list);
        else
            conic_side(prism, s, i, r, list);
    }
    if (linear) {
        stats.prismBoundsTests += count;
        stats.prismBoundsHits += met;
    }
}

// Ascending distance; of equal distances the first one found moves forward first.
void selection_sort(std::vector<PrismHit>& hits, int count) {
    for (int i = 0; i < count; ++i) {
        int smallest = i;
        for (int j = i + 1; j < count; ++j)
            if (hits[j].distance < hits[smallest].distance) smallest = j;
        std::swap(hits[i], hits[smallest]);
    }
}

// Fills the prism's work list with the sorted crossings; returns how many make whole spans.
int intersect_prism(Prism* prism, const Ray& ray) {
    ++stats.prismTests;
    const Matrix4& inverse = prism->transformation->inverse;
    LocalRay r;
    r.P = transform_point(ray.origin, inverse);
    const Vector3 d = transform_direction(ray.direction, inverse);
    r.scale = 1.0 / length(d);
    r.D = d * r.scale;

    ++stats.prismBoundsTests;
    const double* box = prism->sweep_box;
    if (leaves_box(box_guards(r.P, r.D), box[X_MIN], box[Z_MIN], box[X_MAX], box[Z_MAX])) return 0;
    ++stats.prismBoundsHits;

    if (prism->sweep != LINEAR_SWEEP && prism->sweep != CONIC_SWEEP)
        fatal_error(1400, "prism", "Unknown sweep type in intersect_prism().");

    HitList list(prism);
    if (std::fabs(r.D.y) < SMALL_EPSILON) {
        if (r.P.y < prism->height1 || r.P.y > prism->height2) return 0;
    } else {
        collect_caps(prism, ray, r, list);
    }
    if (std::fabs(r.D.x) > SMALL_EPSILON || std::fabs(r.D.z) > SMALL_EPSILON) collect_sides(prism, r, list);

    selection_sort(threadHits, list.count());
    const int usable = list.count() & ~1;
    if (usable) ++stats.prismHits;
    return usable;
}

Hit make_hit(Prism* prism, const Ray& ray, const PrismHit& h) {
    Hit hit;
    hit.object = prism;
    hit.distance = h.distance;
    hit.point = ray.origin + h.distance * ray.direction;
    hit.index1 = h.part;
    hit.index2 = h.segment;
    hit.value = h.u;
    return hit;
}

int prism_spans(Object* object, const Ray& ray, IntersectionStack* stack) {
    if (!rayBoxTest(ray, object->bounds)) return 0;
    Prism* prism = as_prism(object);
    const int count = intersect_prism(prism, ray);
    for (int i = 0; i + 1 < count; i += 2)
        pushIntersection(stack, {make_hit(prism, ray, threadHits[i]), make_hit(prism, ray, threadHits[i + 1])});
    return count;
}

// Caps face outward, the lower one down and the upper one up; sides report the outward wall
// normal of an outline that turns from +x towards +z.
Vector3* Prism_Normal(Vector3* out, const Hit& hit) {
    const Prism* prism = static_cast<const Prism*>(hit.object);
    const Matrix4& inverse = prism->transformation->inverse;
    Vector3 n{0, hit.index1 == PRISM_CAP1 ? -1.0 : 1.0, 0};
    if (hit.index1 == PRISM_SIDE) {
        const Segment& s = prism->segments->segments[hit.index2];
        const double u = hit.value;
        const double dx = (3 * s.k3x * u + 2 * s.k2x) * u + s.k1x;
        const double dz = (3 * s.k3z * u + 2 * s.k2z) * u + s.k1z;
        if (prism->sweep == LINEAR_SWEEP) {
            n = {dz, 0, -dx};
        } else if (prism->sweep == CONIC_SWEEP) {
            const Vector3 Q = transform_point(hit.point, inverse);
            if (std::fabs(Q.y) > SMALL_EPSILON) n = {dz, -(Q.x * dz - Q.z * dx) / Q.y, -dx};
        } else {
            fatal_error(1400, "prism", "Unknown sweep type in Prism_Normal().");
        }
    }
    *out = transform_normal(n, inverse);
    return out;
}

// The copy shares the segment table; each prism keeps a work list of its own.
Object* copy_prism(Object* object) {
    Prism* source = as_prism(object);
    Prism* copy = new_prism();
    free_transformation(copy->transformation);
    *copy = *source;
    copy->transformation = copy_transformation(source->transformation);
    if (copy->segments) ++copy->segments->references;
    return copy;
}

void transform_prism(Object* object, const Transformation& t) {
    Prism* prism = as_prism(object);
    compose(*prism->transformation, t);
    compute_prism_bounds(prism);
}

void move_prism(Object* object, const Vector3&, const Transformation& t) { transform_prism(object, t); }

void destroy_prism(Object* object) {
    Prism* prism = as_prism(object);
    free_transformation(prism->transformation);
    if (prism->segments && --prism->segments->references == 0) delete prism->segments;
    delete prism;
}

}  // namespace

const ObjectMethods PrismMethods = {
    .intersect = prism_spans,
    .normal = Prism_Normal,
    .copy = copy_prism,
    .translate = move_prism,
    .rotate = move_prism,
    .scale = move_prism,
    .transform = transform_prism,
    .destroy = destroy_prism,
    .prepare = nullptr,
};

Prism* new_prism() {
    auto* prism = new Prism();
    init_object(prism, &PrismMethods);
    prism->transformation = new_transformation();
    return prism;
}

void set_up_segments(Prism* prism, const std::vector<OutlinePoint>& points) {
    if (prism->segments) fatal_error(1400, "prism", "Prism segments are already defined.");
    // Never trust the count beyond the points actually given.
    const int n = std::clamp(prism->outline_count, 0, static_cast<int>(points.size()));
    prism->segments = new SegmentTable();
    prism->segments->segments.reserve(n);
    allocate_work_list(prism, n);

    double box[4] = {2e10, 2e10, -2e10, -2e10};
    std::vector<Segment>& segments = prism->segments->segments;
    int start = 0;
    for (int i = 1; i < n; ++i) {
        const Segment s = straight_segment(points[i - 1], points[i]);
        segments.push_back(s);
        box[X_MIN] = std::min(box[X_MIN], s.x_min);
        box[Z_MIN] = std::min(box[Z_MIN], s.z_min);
        box[X_MAX] = std::max(box[X_MAX], s.x_max);
        box[Z_MAX] = std::max(box[Z_MAX], s.z_max);
        if (same_point(points[i], points[start])) {
            // Closed: no segment joins this sub-outline to the first point of the next.
            start = i + 1;
            ++i;
        }
    }
    prism->outline_count = static_cast<int>(segments.size());
    std::copy(box, box + 4, prism->sweep_box);
    std::copy(box, box + 4, prism->outline_box);

    if (prism->sweep == CONIC_SWEEP) {
        const double h1 = prism->height1, h2 = prism->height2;
        for (Segment& s : segments) {
            scale_by_heights(s.x_min, s.x_max, h1, h2);
            scale_by_heights(s.z_min, s.z_max, h1, h2);
        }
        scale_by_heights(prism->sweep_box[X_MIN], prism->sweep_box[X_MAX], h1, h2);
        scale_by_heights(prism->sweep_box[Z_MIN], prism->sweep_box[Z_MAX], h1, h2);
    }
}

void compute_prism_bounds(Prism* prism) {
    const double* box = prism->sweep_box;
    BoundingBox bounds = boxFromCorners({box[X_MIN], prism->height1, box[Z_MIN]},
                                        {box[X_MAX], prism->height2, box[Z_MAX]});
    transformedBounds(&prism->transformation->forward, bounds);
    prism->bounds = bounds;
}
