// Object ids, the primitive and CSG counts, the default texture and light, and the
// nearest-hit queries.
#include "objects/object.h"

#include "base/statistics.h"
#include "objects/csg.h"
#include "objects/scene_store.h"
#include "objects/texture.h"
#include "objects/union_hierarchy.h"

int objectCount = 0;
int primitiveCount = 0;
int csgNodeCount = 0;

static Texture* theDefaultTexture = nullptr;
static Light* theLight = nullptr;

static void create_defaults() {
    if (theDefaultTexture) return;
    theDefaultTexture = new Texture();
    theLight = new Light();
}

Texture* defaultTexture() {
    create_defaults();
    return theDefaultTexture;
}

Light* sceneLight() {
    create_defaults();
    return theLight;
}

void init_object(Object* object, const ObjectMethods* methods) {
    object->methods = methods;
    object->id = objectCount++;
    recordObject(object);
}

void finish_primitive(Object* object) {
    ++primitiveCount;
    object->texture = defaultTexture();
    object->light = sceneLight();
}

int nearestHit(Object* object, const Ray& ray, Intersection& best) {
    if (!object) return 0;
    IntersectionStack* stack = acquireStack();
    if (!object->methods->intersect(object, ray, stack)) {
        releaseStack(stack);
        return 0;
    }
    // Popped from the top; of equal distances the record popped first stays. Only the
    // winner is copied.
    const Intersection* nearest = nullptr;
    double nearestDistance = NO_LIMIT;
    while (stack->count > 0) {
        const Intersection& record = stack->records[--stack->count];
        if (record.entry.distance < nearestDistance) {
            nearest = &record;
            nearestDistance = record.entry.distance;
        }
    }
    if (nearest) best = *nearest;
    releaseStack(stack);
    return 1;
}

int anyHit(Object* object, const Ray& ray) {
    IntersectionStack* stack = acquireStack();
    const int result = object->methods->intersect(object, ray, stack);
    stack->count = 0;
    releaseStack(stack);
    return result;
}

namespace {

// Walks unions as their slot 0 does, counting the same tests, with the spans of members that
// are neither unions nor trees pushed onto one stack as the union would push them. A tree is
// asked only for what the query wants, front to back, and the answer is the same as if it
// had pushed all its spans at its place in that order.
class UnionWalk {
public:
    UnionWalk(const Ray& ray, IntersectionStack* stack) : ray_(ray), stack_(stack) {}

    int visit(Object* object) {
        if (object->methods == &CsgUnion) return visitUnion(object);
        if (object->methods == &UnionTreeMethods) return visitTree(static_cast<UnionTree*>(object));
        return object->methods->intersect(object, ray_, stack_);
    }

protected:
    virtual int visitTree(UnionTree* tree) = 0;

    const Ray& ray_;
    IntersectionStack* stack_;
    bool done_ = false;  // the answer is known: the members not yet visited are left out

private:
    int visitUnion(Object* node) {
        if (!rayBoxTest(ray_, node->bounds)) return 0;
        ++stats.csgUnionTests;
        int sum = 0;
        switch (ray_.classification & 7) {
            case 0: sum = visitMembers<0>(node); break;
            case 1: sum = visitMembers<1>(node); break;
            case 2: sum = visitMembers<2>(node); break;
            case 3: sum = visitMembers<3>(node); break;
            case 4: sum = visitMembers<4>(node); break;
            case 5: sum = visitMembers<5>(node); break;
            case 6: sum = visitMembers<6>(node); break;
            default: sum = visitMembers<7>(node); break;
        }
        if (sum == 0) return 0;
        ++stats.csgUnionHits;
        return sum;
    }

    // Compiled once per ray class, so that the box tests of the loop need no dispatch.
    template <int CLASS>
    int visitMembers(Object* node) {
        int sum = 0;
        for (Object* member = node->children; member && !done_; member = member->next)
            if (memberBoxTest<CLASS>(ray_, member->bounds)) sum += visit(member);
        return sum;
    }
};

// The span nearest by visibleDistance; of equal ones the latest in the order in which the
// union would have pushed them, that is, the first popped.
class NearestWalk : public UnionWalk {
public:
    using UnionWalk::UnionWalk;

    // The nearest of everything visited, or null.
    const Intersection* nearest() {
        takeStacked();
        return distance_ < NO_LIMIT ? &nearest_ : nullptr;
    }

private:
    // The stacked spans not yet looked at. Visible records never change: a full stack writes
    // only its hidden last slot.
    void takeStacked() {
        for (; taken_ < stack_->count; ++taken_) {
            const double distance = visibleDistance(stack_->records[taken_]);
            if (distance < NO_LIMIT && distance <= distance_) {
                nearest_ = stack_->records[taken_];
                distance_ = distance;
                order_ = static_cast<long>(taken_ + 1) << 32;
            }
        }
    }

    // The tree's members take the places after the spans stacked so far, before the next.
    int visitTree(UnionTree* tree) override {
        takeStacked();
        const long base = (static_cast<long>(stack_->count) << 32) + treePlaces_;
        treePlaces_ += static_cast<long>(tree->members.size());
        return nearestInTree(tree, ray_, nearest_, distance_, order_, base);
    }

    Intersection nearest_;
    double distance_ = NO_LIMIT;
    long order_ = -1;
    int taken_ = 0;
    long treePlaces_ = 0;
};

class ShadowWalk : public UnionWalk {
public:
    ShadowWalk(const Ray& ray, IntersectionStack* stack, double distance)
        : UnionWalk(ray, stack), distance_(distance) {}

    bool blocked() const {
        if (done_) return true;
        for (int i = 0; i < stack_->count; ++i)
            if (spanBlocks(stack_->records[i], distance_)) return true;
        return false;
    }

private:
    // Only a tree's answer ends the walk early, so scenes without trees count as before.
    int visitTree(UnionTree* tree) override {
        done_ = treeBlocksLight(tree, ray_, distance_);
        return done_;
    }

    double distance_;
};

}  // namespace

int nearestVisibleHit(Object* object, const Ray& ray, Hit& visible) {
    IntersectionStack* stack = acquireStack();
    NearestWalk walk(ray, stack);
    walk.visit(object);
    const Intersection* nearest = walk.nearest();
    if (nearest && nearest->entry.distance > 0) {
        visible = nearest->entry;
    } else if (nearest) {
        visible = nearest->exit;
        visible.inverted ^= 1;  // the outward normal of a way out points away from the eye
    }
    stack->count = 0;
    releaseStack(stack);
    return nearest != nullptr;
}

int spanBefore(Object* object, const Ray& ray, double distance) {
    IntersectionStack* stack = acquireStack();
    ShadowWalk walk(ray, stack, distance);
    walk.visit(object);
    const bool found = walk.blocked();
    stack->count = 0;
    releaseStack(stack);
    return found;
}
