// The scene's objects and textures, kept so that they can be freed together.
#include "objects/scene_store.h"

#include <array>
#include <cstring>

#include "objects/csg.h"
#include "objects/object.h"

static SceneStore programStore;
SceneStore* currentStore = &programStore;

void recordObject(Object* object) { currentStore->objects.push_back(object); }

Texture* newTexture() { return &currentStore->textures.emplace_back(); }

namespace {

// Every value of a texture record as bits: equal bits, the same picture (0 and -0, or two
// NaNs, are told apart).
using TextureBits = std::array<uint64_t, 21>;
// A field added to Texture must be added here too.
static_assert(sizeof(Texture) == sizeof(TextureBits) - sizeof(uint64_t) + 2 * sizeof(int32_t));

TextureBits bitsOf(const Texture& t) {
    const double values[] = {t.diffuse, t.diffuseExponent, t.specular, t.specularExponent, t.phong,
                             t.phong_size, t.noise, t.metalness, t.colour.x, t.colour.y,
                             t.colour.z, t.ambient.x, t.ambient.y, t.ambient.z, t.reflection,
                             t.transmit, t.ior, t.checkerColour.x, t.checkerColour.y, t.checkerColour.z};
    TextureBits bits{};
    static_assert(sizeof values == sizeof(uint64_t) * (std::tuple_size_v<TextureBits> - 1));
    std::memcpy(bits.data(), values, sizeof values);
    bits.back() = static_cast<uint64_t>(t.pattern);
    return bits;
}

}  // namespace

size_t TextureValuesHash::operator()(const Texture* texture) const {
    uint64_t hash = 1469598103934665603ULL;
    for (const uint64_t word : bitsOf(*texture)) hash = (hash ^ word) * 1099511628211ULL;
    return static_cast<size_t>(hash ^ (hash >> 32));
}

bool SameTextureValues::operator()(const Texture* a, const Texture* b) const { return bitsOf(*a) == bitsOf(*b); }

Texture* shareTexture(Texture* texture) {
    SceneStore& store = *currentStore;
    const auto [kept, added] = store.distinctTextures.insert(texture);
    if (added) return texture;
    if (&store.textures.back() == texture) store.textures.pop_back();
    return *kept;
}

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
