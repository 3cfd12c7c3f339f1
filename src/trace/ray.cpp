// Ray set-up and the stack pool, one per thread.
#include "trace/ray.h"

#include "base/statistics.h"

// A plain pointer, so that reaching the calling thread's pool costs no initialisation check.
static thread_local IntersectionStack* freeStacks = nullptr;

// Frees the thread's stacks when the thread ends; set up by the thread's first allocation.
struct StackPoolOwner {
    ~StackPoolOwner() { freeAllStacks(); }
};
static thread_local StackPoolOwner stackPoolOwner;

void initRay(Ray& ray, const Vector3& o, const Vector3& d) {
    ray.origin = o;
    ray.direction = d;
    ray.inverseDirection = {1.0 / d.x, 1.0 / d.y, 1.0 / d.z};
    const double c[3] = {d.x, d.y, d.z};
    for (int i = 0; i < 3; ++i) {
        ray.positive[i] = c[i] > 0 ? 1 : 0;
        ray.negative[i] = 1 - ray.positive[i];
    }
    ray.maxDistance = MAX_RAY_DISTANCE;
    ray.classification = (d.x >= 0 ? 4 : 0) + (d.y >= 0 ? 2 : 0) + (d.z >= 0 ? 1 : 0);
    ray.slopeXY = o.x * d.y - d.x * o.y;
    ray.slopeXZ = o.x * d.z - d.x * o.z;
    ray.slopeYZ = o.y * d.z - d.y * o.z;
    ray.boxJustMet = nullptr;
}

IntersectionStack* acquireStack() {
    if (!freeStacks) {
        static_cast<void>(&stackPoolOwner);
        auto* stack = new IntersectionStack();
        stack->records = new Intersection[STACK_CAPACITY];
        freeStacks = stack;
    }
    IntersectionStack* stack = freeStacks;
    freeStacks = stack->next;
    stack->next = nullptr;
    stack->count = 0;
    return stack;
}

void releaseStack(IntersectionStack* stack) {
    stack->next = freeStacks;
    freeStacks = stack;
}

void pushIntersection(IntersectionStack* stack, const Intersection& record) {
    stack->records[stack->count] = record;
    if (stack->count + 1 < stack->capacity)
        ++stack->count;
    else
        ++stats.stackOverflows;
}

void freeAllStacks() {
    while (freeStacks) {
        IntersectionStack* next = freeStacks->next;
        delete[] freeStacks->records;
        delete freeStacks;
        freeStacks = next;
    }
}

int pooledStackCount() {
    int n = 0;
    for (IntersectionStack* s = freeStacks; s; s = s->next) ++n;
    return n;
}
