// Ray set-up, the stack pool with its overflow rule, and the nearest-hit query.
#include "trace/ray.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/statistics.h"
#include "objects/object.h"

namespace {

Intersection spanAt(double distance, int tag) {
    Intersection record;
    record.entry.distance = distance;
    record.entry.index1 = tag;
    record.exit.distance = distance + 1;
    return record;
}

// A test object whose slot 0 pushes the entry distances it is given.
struct ScriptedObject : Object {
    std::vector<double> distances;
};

int intersectScripted(Object* object, const Ray&, IntersectionStack* stack) {
    const auto* scripted = static_cast<ScriptedObject*>(object);
    int tag = 0;
    for (double d : scripted->distances) pushIntersection(stack, spanAt(d, tag++));
    return static_cast<int>(scripted->distances.size());
}

constexpr ObjectMethods ScriptedMethods = {
    .intersect = intersectScripted,
    .normal = nullptr,
    .copy = nullptr,
    .translate = nullptr,
    .rotate = nullptr,
    .scale = nullptr,
    .transform = nullptr,
    .destroy = nullptr,
    .prepare = nullptr,
};

ScriptedObject scripted(std::vector<double> distances) {
    ScriptedObject object;
    object.methods = &ScriptedMethods;
    object.distances = std::move(distances);
    return object;
}

class Pool : public testing::Test {
  protected:
    void SetUp() override {
        freeAllStacks();
        stats = Statistics();
    }
    void TearDown() override { freeAllStacks(); }
};

}  // namespace

TEST(InitRay, ZeroComponentIsNegativeForFlagsButNonNegativeForClass) {
    Ray ray;
    initRay(ray, {1, 2, 3}, {0, -1, 0});
    EXPECT_EQ(ray.negative[0], 1);
    EXPECT_EQ(ray.negative[1], 1);
    EXPECT_EQ(ray.negative[2], 1);
    EXPECT_EQ(ray.positive[0], 0);
    EXPECT_EQ(ray.positive[1], 0);
    EXPECT_EQ(ray.positive[2], 0);
    EXPECT_EQ(ray.classification, 5);
    EXPECT_TRUE(std::isinf(ray.inverseDirection.x));
    EXPECT_EQ(ray.inverseDirection.y, -1);
    EXPECT_EQ(ray.maxDistance, 10000000);
}

TEST(InitRay, KeepsDirectionAndPrecomputesSlopes) {
    Ray ray;
    const Vector3 o{1, 2, 3}, d{4, -5, 0.5};
    initRay(ray, o, d);
    EXPECT_EQ(ray.origin, o);
    EXPECT_EQ(ray.direction, d);  // not normalised
    EXPECT_EQ(ray.inverseDirection.z, 2);
    EXPECT_EQ(ray.positive[0], 1);
    EXPECT_EQ(ray.negative[1], 1);
    EXPECT_EQ(ray.classification, 4 + 1);
    EXPECT_EQ(ray.slopeXY, o.x * d.y - d.x * o.y);
    EXPECT_EQ(ray.slopeXZ, o.x * d.z - d.x * o.z);
    EXPECT_EQ(ray.slopeYZ, o.y * d.z - d.y * o.z);
    initRay(ray, o, {-1, -1, -1});
    EXPECT_EQ(ray.classification, 0);
    initRay(ray, o, {1, 1, 1});
    EXPECT_EQ(ray.classification, 7);
}

TEST_F(Pool, FullStackKeepsCountAndOverwritesTheLastSlot) {
    IntersectionStack* stack = acquireStack();
    EXPECT_EQ(stack->capacity, 100);
    for (int i = 0; i < 150; ++i) pushIntersection(stack, spanAt(i, i));
    EXPECT_EQ(stack->count, 99);
    EXPECT_EQ(stats.stackOverflows, 51);
    EXPECT_EQ(stack->records[99].entry.index1, 149);
    for (int expected = 98; stack->count > 0; --expected)
        EXPECT_EQ(stack->records[--stack->count].entry.index1, expected);
    releaseStack(stack);
}

TEST_F(Pool, ReleasedStacksAreReusedWithoutAllocation) {
    IntersectionStack* a = acquireStack();
    IntersectionStack* b = acquireStack();
    EXPECT_NE(a, b);
    pushIntersection(a, spanAt(1, 0));
    releaseStack(a);
    releaseStack(b);
    EXPECT_EQ(pooledStackCount(), 2);
    IntersectionStack* first = acquireStack();
    IntersectionStack* second = acquireStack();
    EXPECT_EQ(first, b);  // last released, first reused
    EXPECT_EQ(second, a);
    EXPECT_EQ(second->count, 0);
    EXPECT_EQ(pooledStackCount(), 0);
    releaseStack(first);
    releaseStack(second);
    freeAllStacks();
    EXPECT_EQ(pooledStackCount(), 0);
}

TEST_F(Pool, NearestHitTakesTheSmallestEntryLastPushedOnTies) {
    ScriptedObject object = scripted({5, 3, 3});
    Ray ray;
    initRay(ray, {0, 0, 0}, {0, 0, 1});
    Intersection best;
    EXPECT_EQ(nearestHit(&object, ray, best), 1);
    EXPECT_EQ(best.entry.distance, 3);
    EXPECT_EQ(best.entry.index1, 2);
    EXPECT_EQ(best.exit.distance, 4);  // the whole record is copied
    EXPECT_EQ(pooledStackCount(), 1);  // the stack went back

    ScriptedObject ordered = scripted({-2, 7, 1});
    EXPECT_EQ(nearestHit(&ordered, ray, best), 1);
    EXPECT_EQ(best.entry.distance, -2);  // no lower bound is applied here
}

TEST_F(Pool, MissesReleaseTheStack) {
    ScriptedObject empty = scripted({});
    Ray ray;
    initRay(ray, {0, 0, 0}, {0, 0, 1});
    Intersection best = spanAt(42, 9);
    EXPECT_EQ(nearestHit(&empty, ray, best), 0);
    EXPECT_EQ(best.entry.distance, 42);
    EXPECT_EQ(nearestHit(nullptr, ray, best), 0);
    EXPECT_EQ(pooledStackCount(), 1);

    ScriptedObject some = scripted({4, 2});
    EXPECT_EQ(anyHit(&some, ray), 2);
    EXPECT_EQ(anyHit(&empty, ray), 0);
    EXPECT_EQ(pooledStackCount(), 1);
}
