// The scene's objects and textures, kept so that they can be freed together.
#include "objects/scene_store.h"

#include "objects/csg.h"
#include "objects/object.h"

static SceneStore programStore;
SceneStore* currentStore = &programStore;

void recordObject(Object* object) { currentStore->objects.push_back(object); }

Texture* newTexture() { return &currentStore->textures.emplace_back(); }

int32_t recordPath(const std::string& path) {
    SceneStore& store = *currentStore;
    const auto [entry, added] = store.pathIndex.emplace(path, static_cast<int32_t>(store.paths.size()));
    if (added) store.paths.push_back(path);
    return entry->second;
}

int32_t recordLink(int32_t path, int32_t line, int32_t outer) {
    SceneStore& store = *currentStore;
    const auto [entry, added] =
        store.linkIndex.emplace(std::make_tuple(path, line, outer), static_cast<int32_t>(store.links.size()));
    if (added) store.links.push_back({path, line, outer});
    return entry->second;
}

void recordOrigin(Object* object, const Origin& origin) {
    object->origin = static_cast<int>(currentStore->origins.size());
    currentStore->origins.push_back(origin);
}

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
    store = SceneStore{};
}
