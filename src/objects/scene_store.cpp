// The scene's objects and textures, kept so that they can be freed together.
#include "objects/scene_store.h"

#include "objects/csg.h"
#include "objects/object.h"

static SceneStore programStore;
SceneStore* currentStore = &programStore;

void recordObject(Object* object) { currentStore->objects.push_back(object); }

Texture* newTexture() { return &currentStore->textures.emplace_back(); }

static bool isCsgNode(const Object* object) {
    const ObjectMethods* m = object->methods;
    return m == &CsgUnion || m == &CsgMerge || m == &CsgIntersection || m == &CsgDifference;
}

// Every object of the store is freed once, by itself; a CSG node's own destroy slot does
// nothing, so the node is deleted here.
void freeScene(SceneStore& store) {
    for (Object* object : store.objects) {
        if (isCsgNode(object)) {
            free_transformation(object->transformation);
            delete object;
        } else {
            object->methods->destroy(object);
        }
    }
    store.objects.clear();
    store.textures.clear();
}
