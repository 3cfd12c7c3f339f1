// Object ids, the primitive and CSG counts, the default texture and light, and the
// nearest-hit queries.
#include "objects/object.h"

#include "objects/scene_store.h"
#include "objects/texture.h"

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

// Where a span is seen from the ray's origin; NO_LIMIT for a span that lies wholly behind it.
static double visibleDistance(const Intersection& span) {
    if (span.entry.distance > 0) return span.entry.distance;
    if (span.exit.distance > 0) return span.exit.distance;
    return NO_LIMIT;
}

int nearestVisibleHit(Object* object, const Ray& ray, Hit& visible) {
    IntersectionStack* stack = acquireStack();
    const Intersection* nearest = nullptr;
    if (object->methods->intersect(object, ray, stack)) {
        // Popped from the top; of equal distances the record popped first stays, as in nearestHit.
        double nearestDistance = NO_LIMIT;
        while (stack->count > 0) {
            const Intersection& record = stack->records[--stack->count];
            const double distance = visibleDistance(record);
            if (distance < nearestDistance) {
                nearest = &record;
                nearestDistance = distance;
            }
        }
    }
    if (nearest && nearest->entry.distance > 0) {
        visible = nearest->entry;
    } else if (nearest) {
        visible = nearest->exit;
        visible.inverted ^= 1;  // the outward normal of a way out points away from the eye
    }
    releaseStack(stack);
    return nearest != nullptr;
}

int spanBefore(Object* object, const Ray& ray, double distance) {
    IntersectionStack* stack = acquireStack();
    int found = 0;
    if (object->methods->intersect(object, ray, stack)) {
        for (int i = 0; i < stack->count && !found; ++i) {
            const double entry = stack->records[i].entry.distance, exit = stack->records[i].exit.distance;
            found = entry < distance && !(entry <= 0 && exit >= distance);
        }
    }
    stack->count = 0;
    releaseStack(stack);
    return found;
}
