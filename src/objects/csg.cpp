// CSG nodes: the member spans combined per kind, bounds derived from the members, and
// transformations forwarded to them.
#include "objects/csg.h"

#include <algorithm>
#include <cmath>

#include "base/error.h"
#include "base/statistics.h"
#include "objects/plane.h"

namespace {

bool removed(const Intersection& span) { return span.entry.distance >= NO_HIT; }

void remove(Intersection& span) {
    span.entry.distance = NO_HIT;
    span.exit.distance = NO_HIT;
}

// Disjoint: b ends before a starts or starts after a ends. Removed spans meet nothing.
bool misses(const Intersection& a, const Intersection& b) {
    return b.exit.distance < a.entry.distance || b.entry.distance > a.exit.distance || removed(a);
}

// The spans of the members whose boxes the ray meets. Compiled once per ray class, so that
// the box tests of the loop need no dispatch.
template <int CLASS>
int met_member_spans(Object* node, const Ray& ray, IntersectionStack* stack) {
    int sum = 0;
    for (Object* member = node->children; member; member = member->next)
        if (memberBoxTest<CLASS>(ray, member->bounds)) sum += member->methods->intersect(member, ray, stack);
    return sum;
}

using MemberSpans = int (*)(Object* node, const Ray& ray, IntersectionStack* stack);
constexpr MemberSpans metMemberSpans[8] = {met_member_spans<0>, met_member_spans<1>, met_member_spans<2>,
                                           met_member_spans<3>, met_member_spans<4>, met_member_spans<5>,
                                           met_member_spans<6>, met_member_spans<7>};

int union_spans(Object* node, const Ray& ray, IntersectionStack* stack) {
    if (!rayBoxTest(ray, node->bounds)) return 0;
    ++stats.csgUnionTests;
    const int sum = metMemberSpans[ray.classification & 7](node, ray, stack);
    if (sum == 0) return 0;
    ++stats.csgUnionHits;
    return sum;
}

void member_spans(Object* member, const Ray& ray, IntersectionStack* stack) {
    stack->count = 0;
    member->methods->intersect(member, ray, stack);
}

// Narrows every span of A to the first spans of B that overlap it in turn; a span that no
// span of B meets is removed.
void intersect_with(IntersectionStack* A, const IntersectionStack* B) {
    for (int i = 0; i < A->count; ++i) {
        Intersection& a = A->records[i];
        bool overlapped = false;
        for (int j = 0; j < B->count; ++j) {
            const Intersection& c = B->records[j];
            if (misses(a, c)) continue;
            overlapped = true;
            if (c.entry.distance > a.entry.distance) a.entry = c.entry;
            if (c.exit.distance < a.exit.distance) a.exit = c.exit;
        }
        if (!overlapped) remove(a);
    }
}

// Cuts span s out of every span of A, splitting a span in two when s lies strictly inside
// it. The second part is appended to A and visited in turn.
void subtract_span(IntersectionStack* A, const Intersection& s) {
    for (int i = 0; i < A->count; ++i) {
        Intersection& a = A->records[i];
        if (misses(a, s)) continue;
        if (s.entry.distance <= a.entry.distance && s.exit.distance >= a.exit.distance) {
            remove(a);
        } else if (a.entry.distance < s.entry.distance && a.exit.distance > s.exit.distance) {
            pushIntersection(A, {s.exit, a.exit});
            a.exit = s.entry;
        } else {
            if (a.entry.distance < s.entry.distance && a.exit.distance > s.entry.distance) a.exit = s.entry;
            if (a.entry.distance < s.exit.distance && a.exit.distance > s.exit.distance) a.entry = s.exit;
        }
    }
}

// Copies the spans of A that lie at least partly in front of the origin onto the caller's
// stack, then returns both work stacks to the pool (B first, so A heads the free list).
int output_spans(IntersectionStack* A, IntersectionStack* B, const Ray& ray, IntersectionStack* stack) {
    int pushed = 0;
    for (int i = 0; i < A->count; ++i) {
        const Intersection& span = A->records[i];
        if (span.exit.distance > MIN_HIT_DISTANCE && span.entry.distance < ray.maxDistance) {
            pushIntersection(stack, span);
            ++pushed;
        }
    }
    releaseStack(B);
    releaseStack(A);
    if (pushed) ++stats.csgUnionHits;
    return pushed;
}

int intersection_spans(Object* node, const Ray& ray, IntersectionStack* stack) {
    if (!rayBoxTest(ray, node->bounds)) return 0;
    ++stats.csgUnionTests;
    IntersectionStack* A = acquireStack();
    Object* first = node->children;
    if (first) member_spans(first, ray, A);
    IntersectionStack* B = acquireStack();
    for (Object* member = first ? first->next : nullptr; member && A->count > 0; member = member->next) {
        member_spans(member, ray, B);
        if (B->count == 0) {
            A->count = 0;
            break;
        }
        intersect_with(A, B);
    }
    return output_spans(A, B, ray, stack);
}

int difference_spans(Object* node, const Ray& ray, IntersectionStack* stack) {
    if (!rayBoxTest(ray, node->bounds)) return 0;
    ++stats.csgUnionTests;
    IntersectionStack* A = acquireStack();
    Object* first = node->children;
    if (first) member_spans(first, ray, A);
    IntersectionStack* B = acquireStack();
    for (Object* member = first ? first->next : nullptr; member && A->count != 0; member = member->next) {
        member_spans(member, ray, B);
        // Surfaces taken over from a subtracted member face into it.
        for (int j = 0; j < B->count; ++j) {
            B->records[j].entry.inverted = 1;
            B->records[j].exit.inverted = 1;
        }
        for (int j = 0; j < B->count; ++j) subtract_span(A, B->records[j]);
    }
    return output_spans(A, B, ray, stack);
}

Vector3* csg_normal(Vector3* out, const Hit& hit) {
    const Transformation* t = hit.object->transformation;
    *out = t ? transform_normal({0, 0, 1}, t->inverse) : Vector3{0, 0, 1};
    return out;
}

Object* copy_csg(Object*) { return nullptr; }

void destroy_csg(Object*) {}

void translate_csg(Object* node, const Vector3& v, const Transformation& t) {
    for (Object* member = node->children; member; member = member->next) member->methods->translate(member, v, t);
    transformedBounds(&t.forward, node->bounds);
}

void rotate_csg(Object* node, const Vector3& v, const Transformation& t) {
    for (Object* member = node->children; member; member = member->next) member->methods->rotate(member, v, t);
    transformedBounds(&t.forward, node->bounds);
}

void scale_csg(Object* node, const Vector3& v, const Transformation& t) {
    for (Object* member = node->children; member; member = member->next) member->methods->scale(member, v, t);
    transformedBounds(&t.forward, node->bounds);
}

void transform_csg(Object* node, const Transformation& t) {
    for (Object* member = node->children; member; member = member->next) member->methods->transform(member, t);
    transformedBounds(&t.forward, node->bounds);
}

constexpr ObjectMethods csg_table(int (*intersect)(Object*, const Ray&, IntersectionStack*)) {
    return {
        .intersect = intersect,
        .normal = csg_normal,
        .copy = copy_csg,
        .translate = translate_csg,
        .rotate = rotate_csg,
        .scale = scale_csg,
        .transform = transform_csg,
        .destroy = destroy_csg,
        .prepare = nullptr,
    };
}

struct Corners {
    Vector3 lower;
    Vector3 upper;
};

// The half-space of a plane as a box: bounded on one side along an axis when the plane's
// world normal lies along that axis, unbounded otherwise. With a transformation the world
// plane is dot(Nᵀn, P) + d + dot(n, row 3 of N) < 0, N being the inverse matrix.
Corners plane_bounds(const Plane* plane) {
    Vector3 normal = plane->normal;
    double offset = plane->offset;
    if (const Transformation* t = plane->transformation) {
        const auto& m = t->inverse.m;
        const Vector3& n = plane->normal;
        normal = {m[0][0] * n.x + m[0][1] * n.y + m[0][2] * n.z, m[1][0] * n.x + m[1][1] * n.y + m[1][2] * n.z,
                  m[2][0] * n.x + m[2][1] * n.y + m[2][2] * n.z};
        offset += m[3][0] * n.x + m[3][1] * n.y + m[3][2] * n.z;
        const double scale = 1.0 / length(normal);
        normal = normal * scale;
        offset *= scale;
    }
    const double e = -offset;
    Corners box{{UNBOUNDED_MIN, UNBOUNDED_MIN, UNBOUNDED_MIN}, {UNBOUNDED_MAX, UNBOUNDED_MAX, UNBOUNDED_MAX}};
    const double n[3] = {normal.x, normal.y, normal.z};
    double* lower[3] = {&box.lower.x, &box.lower.y, &box.lower.z};
    double* upper[3] = {&box.upper.x, &box.upper.y, &box.upper.z};
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(1 - std::fabs(n[i])) < SMALL_EPSILON) {
            if (n[i] > 0)
                *upper[i] = e;
            else
                *lower[i] = -e;
        }
    }
    return box;
}

Corners member_box(const Object* member) {
    if (member->methods == &PlaneMethods) return plane_bounds(static_cast<const Plane*>(member));
    return {member->bounds.lower, member->bounds.upper};
}

Vector3 component_max(const Vector3& a, const Vector3& b) {
    return {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
}

Vector3 component_min(const Vector3& a, const Vector3& b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
}

bool inverted_axis(const Corners& box) {
    return box.lower.x > box.upper.x || box.lower.y > box.upper.y || box.lower.z > box.upper.z;
}

double volume(const Vector3& extent) { return extent.x * extent.y * extent.z; }

}  // namespace

const ObjectMethods CsgUnion = csg_table(union_spans);
const ObjectMethods CsgMerge = csg_table(union_spans);
const ObjectMethods CsgIntersection = csg_table(intersection_spans);
const ObjectMethods CsgDifference = csg_table(difference_spans);

Object* new_csg(const ObjectMethods* kind) {
    auto* node = new Object();
    init_object(node, kind);
    return node;
}

void add_member(Object* node, Object* member) {
    Object* last = node->children;
    while (last && last->next) last = last->next;
    add_member_after(node, last, member);
}

Object* add_member_after(Object* node, Object* last, Object* member) {
    if (last)
        last->next = member;
    else
        node->children = member;
    return member;
}

void compute_csg_bounds(Object* node) {
    Object* first = node->children;
    Corners box;
    if (node->methods == &CsgDifference) {
        if (!first) return;
        box = {first->bounds.lower, first->bounds.upper};
    } else if (node->methods == &CsgIntersection) {
        box = {{-2e10, -2e10, -2e10}, {2e10, 2e10, 2e10}};
        for (Object* member = first; member; member = member->next) {
            const Corners m = member_box(member);
            box = {component_max(box.lower, m.lower), component_min(box.upper, m.upper)};
        }
        if (first && inverted_axis(box))
            fatal_error(1200, "csg", "in CSG.intersection: Degenerate CSG bounding box (not used!)");
    } else {
        if (!first) return;
        box = {{2e10, 2e10, 2e10}, {-2e10, -2e10, -2e10}};
        for (Object* member = first; member; member = member->next)
            box = {component_min(box.lower, member->bounds.lower), component_max(box.upper, member->bounds.upper)};
    }
    if (inverted_axis(box)) return;

    const Vector3 extent = box.upper - box.lower;
    // A node's box only ever shrinks.
    if (volume(node->bounds.extent) <= volume(extent)) return;
    node->bounds.lower = box.lower;
    node->bounds.upper = box.upper;
    node->bounds.extent = extent;
    if (extent.x > 1e6 || extent.y > 1e6 || extent.z > 1e6) node->bounds = BoundingBox();
}

Object* make_union(std::initializer_list<Object*> members) {
    Object* node = new_csg(&CsgUnion);
    ++csgNodeCount;
    int added = 0;
    for (Object* member : members) {
        if (!member) break;
        add_member(node, member);
        ++added;
    }
    if (added < 2) fatal_error(1300, "primitives", "Should have at least 2 objects in csg.");
    compute_csg_bounds(node);
    node->texture = defaultTexture();
    node->light = sceneLight();
    return node;
}
