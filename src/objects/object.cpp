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
