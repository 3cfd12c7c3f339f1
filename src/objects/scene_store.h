// Ownership of a scene: every object and texture is recorded as it is made, so a scene that
// is replaced, or what a failed load had built so far, can be freed as a whole.
#pragma once

#include <deque>
#include <vector>

#include "objects/texture.h"

struct Object;

struct SceneStore {
    std::vector<Object*> objects;  // every object made while this store was current
    std::deque<Texture> textures;  // stable addresses: objects point into it
};

// The store that new objects and textures go to.
extern SceneStore* currentStore;

// Called for every object made; the store owns it from then on.
void recordObject(Object* object);
// A new texture with the default values, owned by the current store.
Texture* newTexture();
// Frees every object and texture of the store and empties it.
void freeScene(SceneStore& store);
