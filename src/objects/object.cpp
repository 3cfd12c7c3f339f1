// Object ids, the primitive and CSG counts, and the default texture and light.
#include "objects/object.h"

#include "trace/shading.h"

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
}

void finish_primitive(Object* object) {
    ++primitiveCount;
    object->texture = defaultTexture();
    object->light = sceneLight();
}
