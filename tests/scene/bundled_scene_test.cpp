// The scene shipped in objects/: it loads, it exercises every primitive, both prism sweeps
// and every kind of CSG node, its groups have boxes the tracer can cull with, and its models
// stand where the first view expects them.
#include <gtest/gtest.h>

#include <set>

#include "app/scene.h"
#include "objects/box.h"
#include "objects/cone.h"
#include "objects/csg.h"
#include "objects/object.h"
#include "objects/plane.h"
#include "objects/prism.h"
#include "objects/sphere.h"
#include "objects/torus.h"
#include "render/shading.h"
#include "scene/source_stack.h"

namespace {

// What a walk over a scene tree found.
struct Census {
    std::set<const ObjectMethods*> tables;
    std::set<int> sweeps;
    int primitives = 0;
    int unboundedGroups = 0;  // CSG nodes without a plane inside whose box is still infinite
};

bool isCsg(const Object* object) {
    return object->methods == &CsgUnion || object->methods == &CsgMerge ||
           object->methods == &CsgIntersection || object->methods == &CsgDifference;
}

bool isUnbounded(const BoundingBox& box) {
    return box.extent.x > 1e6 || box.extent.y > 1e6 || box.extent.z > 1e6;
}

// Walks object and its siblings; true when a plane was met among them or below them.
bool survey(const Object* object, Census& census) {
    bool anyPlane = false;
    for (; object; object = object->next) {
        census.tables.insert(object->methods);
        bool plane = object->methods == &PlaneMethods;
        if (object->methods == &PrismMethods) census.sweeps.insert(static_cast<const Prism*>(object)->sweep);
        if (isCsg(object)) {
            plane = survey(object->children, census);
            if (!plane && isUnbounded(object->bounds)) ++census.unboundedGroups;
        } else {
            ++census.primitives;
        }
        anyPlane = anyPlane || plane;
    }
    return anyPlane;
}

int memberCount(const Object* node) {
    int count = 0;
    for (const Object* member = node->children; member; member = member->next) ++count;
    return count;
}

bool contains(const BoundingBox& box, const Vector3& p) {
    return box.lower.x <= p.x && p.x <= box.upper.x && box.lower.y <= p.y && p.y <= box.upper.y &&
           box.lower.z <= p.z && p.z <= box.upper.z;
}

class BundledScene : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        reset_tokenizer();
        const int before = primitiveCount;
        loadScene();
        built = primitiveCount - before;
        census = Census{};
        survey(sceneList, census);
    }
    static Census census;
    static int built;  // primitives the three files made
};

Census BundledScene::census;
int BundledScene::built = 0;

TEST_F(BundledScene, JoinsArenaCycleAndRecognizerInOneUnion) {
    ASSERT_NE(sceneList, nullptr);
    EXPECT_EQ(sceneList->next, nullptr);
    EXPECT_EQ(sceneList->methods, &CsgUnion);
    EXPECT_EQ(memberCount(sceneList), 3);
}

TEST_F(BundledScene, UsesEveryPrimitiveAndBothSweeps) {
    const auto& t = census.tables;
    EXPECT_TRUE(t.count(&SphereMethods) || t.count(&TransformedSphereMethods)) << "sphere";
    EXPECT_TRUE(t.count(&BoxMethods)) << "box";
    EXPECT_TRUE(t.count(&CylinderMethods)) << "cylinder";
    EXPECT_TRUE(t.count(&ConeMethods)) << "cone";
    EXPECT_TRUE(t.count(&PlaneMethods)) << "plane";
    EXPECT_TRUE(t.count(&TorusMethods)) << "torus";
    EXPECT_TRUE(t.count(&PrismMethods)) << "prism";
    EXPECT_TRUE(census.sweeps.count(LINEAR_SWEEP)) << "linear_sweep";
    EXPECT_TRUE(census.sweeps.count(CONIC_SWEEP)) << "conic_sweep";
}

TEST_F(BundledScene, UsesEveryKindOfCsg) {
    const auto& t = census.tables;
    EXPECT_TRUE(t.count(&CsgUnion)) << "union";
    EXPECT_TRUE(t.count(&CsgMerge)) << "merge";
    EXPECT_TRUE(t.count(&CsgIntersection)) << "intersection";
    EXPECT_TRUE(t.count(&CsgDifference)) << "difference";
}

// Real time depends on culling: only groups holding the floor plane may be unbounded, and
// the primitive count stays moderate.
TEST_F(BundledScene, StaysCheapToTrace) {
    EXPECT_EQ(census.unboundedGroups, 0);
    EXPECT_GT(census.primitives, 50);
    EXPECT_LT(census.primitives, 400);
    EXPECT_EQ(census.primitives, built);
}

TEST_F(BundledScene, PlacesTheModelsForTheFirstView) {
    ASSERT_EQ(memberCount(sceneList), 3);
    const Object* cycle = sceneList->children->next;
    const Object* recognizer = cycle->next;

    // the cycle stands on the floor near the origin, a few units long
    EXPECT_NEAR(cycle->bounds.lower.y, 0, 0.05);
    EXPECT_LT(cycle->bounds.upper.y, 2);
    EXPECT_GT(cycle->bounds.extent.x, 2);
    EXPECT_LT(cycle->bounds.extent.x, 6);
    EXPECT_TRUE(contains(cycle->bounds, {0.5, 0.5, 0}));

    // the recognizer hovers over the floor around its place on the horizon, tens of units big
    EXPECT_TRUE(contains(recognizer->bounds, {200, 35, -267}));
    EXPECT_GT(recognizer->bounds.lower.y, 0);
    EXPECT_GT(recognizer->bounds.extent.x, 20);
    EXPECT_LT(recognizer->bounds.extent.x, 200);
}

}  // namespace
