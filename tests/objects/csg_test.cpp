// CSG: span combination of each kind on scripted members, stack use, bounds of each kind,
// the union builder and its errors, forwarding of transforms, and random rays against
// boolean combinations of placed solids.
#include "objects/csg.h"

#include <algorithm>

#include "base/statistics.h"
#include "objects/box.h"
#include "objects/cone.h"
#include "objects/plane.h"
#include "objects/sphere.h"
#include "span_checks.h"

namespace {

// A member that reports fixed spans and remembers the stack it was asked to fill.
struct ScriptedSolid : Object {
    std::vector<std::pair<double, double>> spans;
    IntersectionStack* lastStack = nullptr;
    int calls = 0;
};

int scripted_spans(Object* object, const Ray&, IntersectionStack* stack) {
    auto* solid = static_cast<ScriptedSolid*>(object);
    solid->lastStack = stack;
    ++solid->calls;
    for (const auto& [entry, exit] : solid->spans) {
        Intersection span;
        span.entry.object = solid;
        span.entry.distance = entry;
        span.exit.object = solid;
        span.exit.distance = exit;
        pushIntersection(stack, span);
    }
    return static_cast<int>(solid->spans.size());
}

void destroy_scripted(Object* object) { delete static_cast<ScriptedSolid*>(object); }

const ObjectMethods ScriptedMethods = {scripted_spans, nullptr, nullptr, nullptr, nullptr,
                                       nullptr,        nullptr, destroy_scripted, nullptr};

std::vector<Intersection> spansAlongZ(Object* solid, int* result = nullptr) {
    return spansOf(solid, {0, 0, 0}, {0, 0, 1}, result);
}

// A CSG node's destroy releases nothing, so the fixture deletes the nodes it built itself.
class CsgTest : public SolidTest {
protected:
    void TearDown() override {
        SolidTest::TearDown();
        for (Object* n : nodes) delete n;
    }
    Object* keepNode(Object* n) {
        nodes.push_back(n);
        return n;
    }
    ScriptedSolid* scripted(std::vector<std::pair<double, double>> spans) {
        auto* solid = new ScriptedSolid();
        init_object(solid, &ScriptedMethods);
        solid->spans = std::move(spans);
        return keep<ScriptedSolid>(solid);
    }
    Object* box(double x1, double y1, double z1, double x2, double y2, double z2) {
        return keep(make_box(x1, y1, z1, x2, y2, z2));
    }
    Object* plane(double nx, double ny, double nz, double offset) { return keep(make_plane(nx, ny, nz, offset)); }
    Object* node(const ObjectMethods* kind, std::initializer_list<Object*> members) {
        Object* n = keepNode(new_csg(kind));
        for (Object* m : members) add_member(n, m);
        return n;
    }
    struct Member {
        Object* object;
        InsideField field;
    };
    Member randomMember(std::mt19937& rng);
    Member combine(const ObjectMethods* kind, std::vector<Member> members);

private:
    std::vector<Object*> nodes;
};

TEST_F(CsgTest, DifferenceSplitsASpanWithInvertedInnerEnds) {
    ScriptedSolid* a = scripted({{2, 10}});
    ScriptedSolid* b = scripted({{4, 6}});
    int result = 0;
    auto spans = spansAlongZ(node(&CsgDifference, {a, b}), &result);
    EXPECT_EQ(result, 2);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0].entry.distance, 2);
    EXPECT_EQ(spans[0].entry.inverted, 0);
    EXPECT_EQ(spans[0].exit.distance, 4);
    EXPECT_EQ(spans[0].exit.inverted, 1);
    EXPECT_EQ(spans[0].exit.object, b);
    EXPECT_EQ(spans[1].entry.distance, 6);
    EXPECT_EQ(spans[1].entry.inverted, 1);
    EXPECT_EQ(spans[1].exit.distance, 10);
    EXPECT_EQ(spans[1].exit.inverted, 0);
    EXPECT_EQ(stats.csgUnionTests, 1);
    EXPECT_EQ(stats.csgUnionHits, 1);
}

TEST_F(CsgTest, DifferenceWithSeveralCuts) {
    auto spans = spansAlongZ(node(&CsgDifference, {scripted({{0, 10}}), scripted({{2, 3}, {5, 6}}),
                                                   scripted({{9, 12}})}));
    ASSERT_EQ(spans.size(), 3u);
    EXPECT_EQ(spans[0].entry.distance, 0);
    EXPECT_EQ(spans[0].exit.distance, 2);
    EXPECT_EQ(spans[1].entry.distance, 3);
    EXPECT_EQ(spans[1].exit.distance, 5);
    EXPECT_EQ(spans[2].entry.distance, 6);
    EXPECT_EQ(spans[2].exit.distance, 9);
}

TEST_F(CsgTest, DifferenceCoveredEntirelyIsNoHit) {
    int result = 1;
    EXPECT_TRUE(spansAlongZ(node(&CsgDifference, {scripted({{2, 10}}), scripted({{1, 12}})}), &result).empty());
    EXPECT_EQ(result, 0);
    EXPECT_EQ(stats.csgUnionTests, 1);
    EXPECT_EQ(stats.csgUnionHits, 0);
}

TEST_F(CsgTest, DifferenceStopsTakingMembersOnceNothingIsLeft) {
    ScriptedSolid* last = scripted({{0, 1}});
    EXPECT_TRUE(spansAlongZ(node(&CsgDifference, {scripted({}), scripted({{1, 2}}), last})).empty());
    EXPECT_EQ(last->calls, 0);
}

TEST_F(CsgTest, IntersectionKeepsTheFirstOverlapOfEachSpan) {
    auto spans = spansAlongZ(node(&CsgIntersection, {scripted({{0, 10}}), scripted({{1, 2}, {5, 6}})}));
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].entry.distance, 1);
    EXPECT_EQ(spans[0].exit.distance, 2);
}

TEST_F(CsgTest, IntersectionTakesTheInnerEnds) {
    ScriptedSolid* a = scripted({{0, 5}, {7, 9}});
    ScriptedSolid* b = scripted({{3, 8}});
    auto spans = spansAlongZ(node(&CsgIntersection, {a, b}));
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0].entry.distance, 3);
    EXPECT_EQ(spans[0].entry.object, b);
    EXPECT_EQ(spans[0].exit.distance, 5);
    EXPECT_EQ(spans[0].exit.object, a);
    EXPECT_EQ(spans[1].entry.distance, 7);
    EXPECT_EQ(spans[1].exit.distance, 8);
    EXPECT_EQ(spans[1].exit.object, b);
}

TEST_F(CsgTest, IntersectionWithAnEmptyMemberIsNoHit) {
    ScriptedSolid* third = scripted({{0, 10}});
    int result = 1;
    EXPECT_TRUE(
        spansAlongZ(node(&CsgIntersection, {scripted({{0, 10}}), scripted({}), third}), &result).empty());
    EXPECT_EQ(result, 0);
    EXPECT_EQ(third->calls, 0);
    // A span of the first member that no span of another meets is removed.
    EXPECT_TRUE(spansAlongZ(node(&CsgIntersection, {scripted({{0, 1}}), scripted({{2, 3}})})).empty());
}

TEST_F(CsgTest, SpansBehindTheOriginArePassedOnlyByUnions) {
    // Members are linked into one node only.
    EXPECT_TRUE(spansAlongZ(node(&CsgIntersection, {scripted({{-5, -1}}), scripted({{-6, 1e-6}})})).empty());
    EXPECT_TRUE(spansAlongZ(node(&CsgDifference, {scripted({{-5, 1e-6}}), scripted({{-3, -2}})})).empty());
    int result = 0;
    auto spans = spansAlongZ(node(&CsgUnion, {scripted({{-5, -1}}), scripted({{-6, 1e-6}})}), &result);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(spans.size(), 2u);
}

TEST_F(CsgTest, WorkStacksGoBackToThePoolWithTheFirstOnTop) {
    for (const ObjectMethods* kind : {&CsgIntersection, &CsgDifference}) {
        ScriptedSolid* first = scripted({{0, 10}});
        Object* n = node(kind, {first, scripted({{1, 2}})});
        IntersectionStack* warm = acquireStack();  // the pool holds at least this one
        releaseStack(warm);
        const int pooled = pooledStackCount();
        Ray ray;
        initRay(ray, {0, 0, 0}, {0, 0, 1});
        IntersectionStack* out = acquireStack();
        n->methods->intersect(n, ray, out);
        IntersectionStack* head = acquireStack();
        EXPECT_EQ(head, first->lastStack);
        releaseStack(head);
        releaseStack(out);
        EXPECT_EQ(pooledStackCount(), std::max(pooled, 3));
        // An early stop releases as well.
        first->spans.clear();
        spansAlongZ(n);
        EXPECT_EQ(pooledStackCount(), std::max(pooled, 3));
    }
}

TEST_F(CsgTest, UnionSumsMembersAndSkipsThoseWhoseBoxIsMissed) {
    ScriptedSolid* a = scripted({{1, 2}, {3, 4}});
    ScriptedSolid* b = scripted({{5, 6}});
    ScriptedSolid* away = scripted({{7, 8}});
    away->bounds = boxFromCorners({10, 10, 10}, {11, 11, 11});
    int result = 0;
    auto spans = spansAlongZ(node(&CsgMerge, {a, b, away}), &result);
    EXPECT_EQ(result, 3);
    EXPECT_EQ(spans.size(), 3u);
    EXPECT_EQ(away->calls, 0);
    EXPECT_EQ(stats.csgUnionHits, 1);
    EXPECT_EQ(spansAlongZ(keepNode(new_csg(&CsgUnion)), &result).size(), 0u);
    EXPECT_EQ(result, 0);
}

// A member's query starts by testing the box the union has just tested: the repeat is
// counted as a test and a hit of its own, whether or not it is evaluated again.
TEST_F(CsgTest, MemberBoxesCountOnceForTheUnionAndOnceForTheMember) {
    Object* front = keep(make_sphere(0, 0, 3, 1));
    Object* back = keep(make_sphere(0, 0, 8, 1));
    Object* aside = keep(make_sphere(5, 0, 3, 1));
    Object* n = node(&CsgUnion, {front, aside, back});
    compute_csg_bounds(n);
    stats = Statistics();
    EXPECT_EQ(spansAlongZ(n).size(), 2u);
    EXPECT_EQ(stats.regionTests, 1 + 3 + 2);  // the node, its members, the spheres met
    EXPECT_EQ(stats.regionHits, 1 + 2 + 2);
    EXPECT_EQ(stats.sphereTests, 2);
}

TEST_F(CsgTest, NodeBoxMissedMeansNoTest) {
    Object* n = node(&CsgUnion, {scripted({{1, 2}})});
    n->bounds = boxFromCorners({10, 10, 10}, {11, 11, 11});
    EXPECT_TRUE(spansAlongZ(n).empty());
    EXPECT_EQ(stats.csgUnionTests, 0);
}

TEST_F(CsgTest, NodeSlotsBesidesSpans) {
    Object* n = node(&CsgUnion, {scripted({}), scripted({})});
    EXPECT_EQ(n->methods->copy(n), nullptr);
    n->methods->destroy(n);
    EXPECT_NE(n->children, nullptr);
    Hit hit;
    hit.object = n;
    Vector3 normal;
    EXPECT_EQ(*n->methods->normal(&normal, hit), (Vector3{0, 0, 1}));
    EXPECT_EQ(n->transformation, nullptr);
    EXPECT_EQ(n->texture, nullptr);
    EXPECT_EQ(CsgUnion.intersect, CsgMerge.intersect);
    EXPECT_NE(&CsgUnion, &CsgMerge);
}

void expectBox(const BoundingBox& box, const Vector3& lower, const Vector3& upper) {
    EXPECT_EQ(box.lower, lower);
    EXPECT_EQ(box.upper, upper);
    EXPECT_EQ(box.extent, upper - lower);
}

TEST_F(CsgTest, UnionBoundsSurroundTheMembers) {
    Object* n = node(&CsgUnion, {box(0, 0, 0, 1, 1, 1), box(-2, 0.5, 0, -1, 3, 0.5)});
    compute_csg_bounds(n);
    expectBox(n->bounds, {-2, 0, 0}, {1, 3, 1});
    // A box only shrinks: recomputing with a larger member leaves it.
    add_member(n, box(-5, -5, -5, 5, 5, 5));
    compute_csg_bounds(n);
    expectBox(n->bounds, {-2, 0, 0}, {1, 3, 1});
}

TEST_F(CsgTest, HugeBoundsBecomeUnbounded) {
    Object* n = node(&CsgUnion, {box(0, 0, 0, 1, 1, 1), box(0, 0, 0, 2e6, 1, 1)});
    compute_csg_bounds(n);
    expectBox(n->bounds, {-1e10, -1e10, -1e10}, {1e10, 1e10, 1e10});
}

TEST_F(CsgTest, DifferenceBoundsAreThoseOfTheFirstMember) {
    Object* n = node(&CsgDifference, {box(0, 0, 0, 1, 2, 3), box(-5, -5, -5, 5, 5, 5)});
    compute_csg_bounds(n);
    expectBox(n->bounds, {0, 0, 0}, {1, 2, 3});
}

TEST_F(CsgTest, IntersectionBoundsOverlapIncludingPlanes) {
    Object* n = node(&CsgIntersection, {box(-1, -1, -1, 1, 1, 1), box(0, -3, -3, 3, 3, 0.5)});
    compute_csg_bounds(n);
    expectBox(n->bounds, {0, -1, -1}, {1, 1, 0.5});

    // The half-space y < 0.25, and x > -0.5 for a normal along -x.
    Object* planes = node(&CsgIntersection, {box(-1, -1, -1, 1, 1, 1), plane(0, 1, 0, -0.25),
                                             plane(-1, 0, 0, -0.5)});
    compute_csg_bounds(planes);
    expectBox(planes->bounds, {-0.5, -1, -1}, {1, 0.25, 1});
}

TEST_F(CsgTest, IntersectionBoundsOfTransformedPlanes) {
    // x < -0.5 turned a quarter about z becomes y < -0.5.
    Object* turned = plane(1, 0, 0, 0.5);
    Transformation t;
    rotation_transformation({0, 0, 90}, t);
    turned->methods->transform(turned, t);
    Object* n = node(&CsgIntersection, {box(-1, -1, -1, 1, 1, 1), turned});
    compute_csg_bounds(n);
    EXPECT_NEAR(n->bounds.upper.y, -0.5, 1e-12);
    EXPECT_EQ(n->bounds.lower.y, -1);
    EXPECT_EQ(n->bounds.upper.x, 1);

    // y < 0 moved up by 2 becomes y < 2.
    Object* moved = plane(0, 1, 0, 0);
    translation_transformation({0, 2, 0}, t);
    moved->methods->transform(moved, t);
    Object* m = node(&CsgIntersection, {box(-3, -3, -3, 3, 3, 3), moved});
    compute_csg_bounds(m);
    EXPECT_EQ(m->bounds.upper.y, 2);
}

TEST_F(CsgTest, MembersAreKeptInOrder) {
    Object* a = box(0, 0, 0, 1, 1, 1);
    Object* b = box(0, 0, 0, 1, 1, 1);
    Object* c = box(0, 0, 0, 1, 1, 1);
    const int nodes = csgNodeCount, ids = objectCount;
    Object* n = keepNode(make_union({a, b, c}));
    EXPECT_EQ(csgNodeCount, nodes + 1);
    EXPECT_EQ(n->id, ids);
    EXPECT_EQ(n->methods, &CsgUnion);
    EXPECT_EQ(n->children, a);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(b->next, c);
    EXPECT_EQ(c->next, nullptr);
    EXPECT_EQ(n->texture, defaultTexture());
    EXPECT_EQ(n->light, sceneLight());
    expectBox(n->bounds, {0, 0, 0}, {1, 1, 1});
}

TEST_F(CsgTest, TransformsAreForwardedToMembers) {
    Object* a = box(0, 0, 0, 1, 1, 1);
    Object* b = box(2, 0, 0, 3, 1, 1);
    Object* n = keepNode(make_union({a, b}));
    Transformation t;
    translation_transformation({0, 10, 0}, t);
    n->methods->translate(n, {0, 10, 0}, t);
    expectBox(a->bounds, {0, 10, 0}, {1, 11, 1});
    expectBox(b->bounds, {2, 10, 0}, {3, 11, 1});
    expectBox(n->bounds, {0, 10, 0}, {3, 11, 1});
    EXPECT_EQ(n->transformation, nullptr);
    ASSERT_EQ(spansOf(n, {0.5, 10.5, -5}, {0, 0, 1}).size(), 1u);
    scaling_transformation({2, 1, 1}, t);
    n->methods->transform(n, t);
    expectBox(n->bounds, {0, 10, 0}, {6, 11, 1});
}

TEST(CsgDeathTest, Errors) {
    Object* a = make_box(0, 0, 0, 1, 1, 1);
    Object* b = make_box(0, 0, 0, 1, 1, 1);
    EXPECT_ERROR_EXIT(make_union({a}), "ERROR (1300): primitives - Should have at least 2 objects in csg.\n");
    EXPECT_ERROR_EXIT(make_union({a, nullptr, b}),
                      "ERROR (1300): primitives - Should have at least 2 objects in csg.\n");
    Object* apart = new_csg(&CsgIntersection);
    add_member(apart, a);
    add_member(apart, make_box(2, 0, 0, 3, 1, 1));
    EXPECT_ERROR_EXIT(compute_csg_bounds(apart),
                      "ERROR (1200): csg - in CSG.intersection: Degenerate CSG bounding box (not used!)\n");
    for (Object* member = apart->children; member;) {
        Object* next = member->next;
        member->methods->destroy(member);
        member = next;
    }
    b->methods->destroy(b);
    delete apart;
}

// Members placed at random but all around the origin, so that intersections are never empty.
CsgTest::Member CsgTest::randomMember(std::mt19937& rng) {
    const Transformation placement = nearPlacement(rng);
    Object* object = nullptr;
    std::function<double(const Vector3&)> local;
    switch (rng() % 3) {
        case 0: {
            const Vector3 c = randomVector(rng, -0.2, 0.2);
            const double r = uniform(rng, 0.8, 1.4);
            object = make_sphere(c.x, c.y, c.z, r);
            local = [=](const Vector3& q) { return length(q - c) - r; };
            break;
        }
        case 1: {
            const Vector3 half = randomVector(rng, 0.5, 1.2);
            object = make_box(-half.x, -half.y, -half.z, half.x, half.y, half.z);
            local = [=](const Vector3& q) {
                return std::max({std::fabs(q.x) - half.x, std::fabs(q.y) - half.y, std::fabs(q.z) - half.z});
            };
            break;
        }
        default: {
            const double r = uniform(rng, 0.5, 1), h = uniform(rng, 0.6, 1.2);
            object = make_cylinder(0, -h, 0, 0, h, 0, r);
            local = [=](const Vector3& q) { return std::max(std::fabs(q.y) - h, std::hypot(q.x, q.z) - r); };
        }
    }
    keep(object);
    object->methods->transform(object, placement);
    return {object, placed(placement, local)};
}

CsgTest::Member CsgTest::combine(const ObjectMethods* kind, std::vector<Member> members) {
    Object* n = keepNode(new_csg(kind));
    std::vector<InsideField> fields;
    for (const Member& m : members) {
        add_member(n, m.object);
        fields.push_back(m.field);
    }
    compute_csg_bounds(n);
    InsideField field = [kind, fields](const Vector3& p) {
        double f = fields[0](p);
        for (std::size_t i = 1; i < fields.size(); ++i) {
            const double g = fields[i](p);
            if (kind == &CsgIntersection)
                f = std::max(f, g);
            else if (kind == &CsgDifference)
                f = std::max(f, -g);
            else
                f = std::min(f, g);
        }
        return f;
    };
    return {n, field};
}

TEST_F(CsgTest, RandomRaysAgainstBooleanCombinations) {
    std::mt19937 rng(99);
    SpanCheckOptions options;
    options.rays = 200;
    options.tolerance = 1e-7;
    options.spansMayOverlap = true;  // unions pass their members' spans on as they are
    int spans = 0;
    for (int trial = 0; trial < 30; ++trial) {
        auto m = [&] { return randomMember(rng); };
        Member tree;
        switch (trial % 6) {
            case 0: tree = combine(&CsgUnion, {m(), m(), m()}); break;
            case 1: tree = combine(&CsgMerge, {m(), m()}); break;
            case 2: tree = combine(&CsgIntersection, {m(), m(), m()}); break;
            case 3: tree = combine(&CsgDifference, {m(), m(), m()}); break;
            case 4: tree = combine(&CsgDifference, {combine(&CsgIntersection, {m(), m()}), m()}); break;
            default:
                tree = combine(&CsgUnion, {combine(&CsgDifference, {m(), m()}), combine(&CsgIntersection, {m(), m()})});
        }
        spans += checkSpansFromOutside(tree.object, tree.field, rng, options);
        if (HasFailure()) {
            ADD_FAILURE() << "trial " << trial;
            return;
        }
    }
    EXPECT_GT(spans, 30 * 200 / 10) << "too few rays met the solids to tell anything";
}

}  // namespace
