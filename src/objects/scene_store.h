// Ownership of a scene: every object and texture is recorded as it is made, so a scene that
// is replaced, or what a failed load had built so far, can be freed as a whole.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <tuple>
#include <unordered_set>
#include <vector>

#include "objects/texture.h"

struct Object;

// One step of the way to a statement: a declared name used, a macro called or a loop run at
// path:line, inside the step outer (-1: none).
struct OriginLink {
    int32_t path = 0;
    int32_t line = 0;
    int32_t outer = -1;
};

// The statement that made an object: its keyword at path:line, reached through the link via.
struct Origin {
    const char* word = "";
    int32_t path = 0;
    int32_t line = 0;
    int32_t via = -1;
};

// Hash and equality of the values of two texture records, bit for bit.
struct TextureValuesHash {
    size_t operator()(const Texture* texture) const;
};
struct SameTextureValues {
    bool operator()(const Texture* a, const Texture* b) const;
};

struct SceneStore {
    std::vector<Object*> objects;  // every object made while this store was current
    std::deque<Texture> textures;  // stable addresses: objects point into it
    // Each set of texture values once: a scene of a million objects written with a few
    // textures holds a few records.
    std::unordered_set<Texture*, TextureValuesHash, SameTextureValues> distinctTextures;
    // Where the objects were made. Paths and links are kept once each: a loop of a million
    // rounds adds a million origins but no more links.
    std::vector<std::string> paths;
    std::vector<OriginLink> links;
    std::vector<Origin> origins;
    std::map<std::string, int32_t> pathIndex;
    std::map<std::tuple<int32_t, int32_t, int32_t>, int32_t> linkIndex;
};

// The store that new objects and textures go to.
extern SceneStore* currentStore;

// Called for every object made; the store owns it from then on.
void recordObject(Object* object);
// A new texture with the default values, owned by the current store.
Texture* newTexture();
// The record of the current store with the values of texture, a complete texture that nothing
// writes to any more: texture itself when it is the first with its values; otherwise texture
// is dropped when it was the last one made.
Texture* shareTexture(Texture* texture);
// The index of the path in the current store, kept once.
int32_t recordPath(const std::string& path);
// The index of the link in the current store, kept once.
int32_t recordLink(int32_t path, int32_t line, int32_t outer);
// Notes in object where it was made.
void recordOrigin(Object* object, const Origin& origin);
// Frees every object and texture of the store and empties it.
void freeScene(SceneStore& store);
