// Scene assembly at start-up and again whenever the scene files change.
#include "app/scene.h"

#include <memory>

#include "base/error.h"
#include "math/transform.h"
#include "objects/csg.h"
#include "objects/object.h"
#include "objects/scene_store.h"
#include "render/shading.h"
#include "scene/parser.h"
#include "scene/tokenizer.h"

namespace {

std::vector<std::string> files;         // one file, or the three in the order they are read
std::unique_ptr<SceneStore> liveStore;  // owns every object and texture of sceneList

// What a failed reload throws out of the error routine, so that the program goes on.
struct LoadFailed {};

Object* loadFile(const std::string& path) {
    Object* root = parse_scene_file(path.c_str());
    if (!root) fatal_error(9000, "parser", "Expected an object statement in file %s", path.c_str());
    return root;
}

// The recognizer is modelled at the origin and hovers far out on the horizon.
void placeRecognizer(Object* recognizer) {
    const Vector3 turn{0, 180, 0};
    const Vector3 offset{200, 35, -267};
    Transformation t;
    rotation_transformation(turn, t);
    recognizer->methods->rotate(recognizer, turn, t);
    translation_transformation(offset, t);
    recognizer->methods->translate(recognizer, offset, t);
}

Object* buildScene() {
    if (files.size() == 1) return loadFile(files[0]);
    Object* cycle = loadFile(files[0]);
    Object* arena = loadFile(files[1]);
    Object* recognizer = loadFile(files[2]);
    placeRecognizer(recognizer);
    return make_union({arena, cycle, recognizer, nullptr});
}

// Builds the scene into store, with ids and counts starting afresh.
void buildInto(SceneStore& store) {
    currentStore = &store;
    objectCount = primitiveCount = csgNodeCount = 0;
    sceneList = buildScene();
}

void load(std::vector<std::string> paths) {
    files = std::move(paths);
    liveStore = std::make_unique<SceneStore>();
    buildInto(*liveStore);
    notice(100, "main", "Parsing done...");
}

[[noreturn]] void throwLoadFailed(int) { throw LoadFailed{}; }

}  // namespace

void loadScene(const std::string& directory) {
    std::vector<std::string> paths;
    for (const char* name : {"objects/cycle.pov", "objects/arena.pov", "objects/recognizer.pov"})
        paths.push_back(directory.empty() ? name : directory + "/" + name);
    load(std::move(paths));
}

void loadSceneFile(const std::string& path) { load({path}); }

const std::vector<std::string>& sceneFiles() { return files; }

bool reloadScene() {
    Object* const oldScene = sceneList;
    const int oldCounts[3] = {objectCount, primitiveCount, csgNodeCount};
    void (*const oldHook)(int) = fatalHook;
    fatalHook = throwLoadFailed;
    auto fresh = std::make_unique<SceneStore>();
    try {
        buildInto(*fresh);
    } catch (const LoadFailed&) {
        fatalHook = oldHook;
        reset_tokenizer();  // the error left the file it was reading open
        freeScene(*fresh);  // what the failed load had built
        currentStore = liveStore.get();
        sceneList = oldScene;
        objectCount = oldCounts[0], primitiveCount = oldCounts[1], csgNodeCount = oldCounts[2];
        return false;
    }
    fatalHook = oldHook;
    freeScene(*liveStore);
    liveStore = std::move(fresh);
    notice(100, "main", "Parsing done...");
    return true;
}
