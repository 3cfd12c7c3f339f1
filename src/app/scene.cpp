// Scene assembly at start-up and again whenever the scene files change.
#include "app/scene.h"

#include <algorithm>
#include <memory>

#include "app/input.h"
#include "app/options.h"
#include "base/error.h"
#include "math/transform.h"
#include "objects/csg.h"
#include "objects/object.h"
#include "objects/texture.h"
#include "objects/scene_store.h"
#include "objects/union_hierarchy.h"
#include "render/camera.h"
#include "render/lights.h"
#include "render/shading.h"
#include "scene/parser.h"
#include "scene/source_stack.h"
#include "scene/warnings.h"

namespace {

bool flatUnions = false;                // unions stay as written
std::vector<std::string> files;         // one file, or the three in the order they are read
std::vector<std::string> watched;       // those and every file they include, as far as read
std::unique_ptr<SceneStore> liveStore;  // owns every object and texture of sceneList
SceneView loadedView;                   // the camera and light statements of all the files

// What a failed reload throws out of the error routine, so that the program goes on.
struct LoadFailed {};

// The file an error about a file as a whole is about, while it is reported.
const std::string* fileInError = nullptr;

bool locateFileInError(ErrorLocation& where) {
    where.path = fileInError->c_str();
    where.line = 0;
    return true;
}

[[noreturn]] void reportNoObject(const std::string& path) {
    struct Placed {
        explicit Placed(const std::string& path) {
            fileInError = &path;
            errorLocation = locateFileInError;
        }
        ~Placed() { errorLocation = nullptr; }
        Placed(const Placed&) = delete;
        Placed& operator=(const Placed&) = delete;
    } placed(path);
    fatal_error(9000, "parser", "Expected an object statement in file %s", path.c_str());
}

// The files the file being read has included so far join the files watched.
void watchIncludedFiles() {
    for (const std::string& path : included_files())
        if (std::find(watched.begin(), watched.end(), path) == watched.end()) watched.push_back(path);
}

// Parses one file; its camera and light statements override those of the files before it.
Object* loadFile(const std::string& path) {
    Object* root = parse_scene_file(path.c_str());
    watchIncludedFiles();
    if (!root) reportNoObject(path);
    if (sceneView.hasCamera) {
        loadedView.hasCamera = true;
        loadedView.cameraLocation = sceneView.cameraLocation;
        loadedView.cameraLookAt = sceneView.cameraLookAt;
    }
    if (sceneView.hasLight) {
        loadedView.hasLight = true;
        loadedView.lightLocation = sceneView.lightLocation;
        loadedView.lightColour = sceneView.lightColour;
        loadedView.lights.insert(loadedView.lights.end(), sceneView.lights.begin(), sceneView.lights.end());
    }
    if (sceneView.hasBackground) {
        loadedView.hasBackground = true;
        loadedView.background = sceneView.background;
    }
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
    watched = files;
    loadedView = SceneView{};
    objectCount = primitiveCount = csgNodeCount = 0;
    sceneList = buildScene();
    if (!flatUnions) regroupUnions(sceneList);
}

void load(std::vector<std::string> paths) {
    files = std::move(paths);
    liveStore = std::make_unique<SceneStore>();
    buildInto(*liveStore);
    notice(100, "main", "Parsing done...");
}

[[noreturn]] void throwLoadFailed(int) { throw LoadFailed{}; }

// Upright at location, looking at target, as wide as the image plane is now (the aspect
// ratio of the window).
void placeCamera(const Vector3& location, const Vector3& target) {
    const double width = length(camera.right);
    camera = {location, {0, 0, 1}, {width, 0, 0}, {0, 1, 0}};
    lookAt(target.x, target.y, target.z);
}

// One light (or none: the start light) lights every object through its own light link, as
// it always has; several are handed to the shading as a list, each with its shadow caches.
void placeLights(const SceneView& view) {
    Light* light = sceneLight();
    light->location = view.hasLight ? view.lightLocation : LIGHT_LOCATION;
    light->colour = view.hasLight ? view.lightColour : Vector3{1, 1, 1};
    setSceneLights(view.lights.size() > 1 ? view.lights : std::vector<Light>{});
    backgroundColour = view.hasBackground ? view.background : Vector3{0, 0, 0};
}

bool sameCamera(const SceneView& a, const SceneView& b) {
    if (a.hasCamera != b.hasCamera) return false;
    return !a.hasCamera || (a.cameraLocation == b.cameraLocation && a.cameraLookAt == b.cameraLookAt);
}

// After a reload the light follows the files; the camera stays where the person has moved it
// unless the camera statement changed, and then it starts afresh from the statement (or from
// the start view when the statement is gone).
void applyReloadedView(const SceneView& before) {
    placeLights(loadedView);
    if (sameCamera(before, loadedView)) return;
    if (loadedView.hasCamera)
        placeCamera(loadedView.cameraLocation, loadedView.cameraLookAt);
    else
        placeCamera(CAMERA_START_LOCATION, CAMERA_START_LOOK_AT);
    rememberStartCamera();
}

}  // namespace

void loadScene(const std::string& directory) {
    std::vector<std::string> paths;
    for (const char* name : {"objects/cycle.pov", "objects/arena.pov", "objects/recognizer.pov"})
        paths.push_back(directory.empty() ? name : directory + "/" + name);
    load(std::move(paths));
}

void loadSceneFile(const std::string& path) { load({path}); }

void loadScene(const Options& options) {
    flatUnions = options.flatUnions;
    quietWarnings = options.quiet;
    if (options.sceneFile.empty())
        loadScene(options.directory);
    else
        loadSceneFile(options.sceneFile);
}

const std::vector<std::string>& sceneFiles() { return files; }

const std::vector<std::string>& watchedSceneFiles() { return watched; }

void applySceneView() {
    placeLights(loadedView);
    if (loadedView.hasCamera) placeCamera(loadedView.cameraLocation, loadedView.cameraLookAt);
}

bool reloadScene() {
    Object* const oldScene = sceneList;
    const SceneView oldView = loadedView;
    const Camera oldCamera = camera;
    const Light oldLight = *sceneLight();
    const std::vector<Light> oldLights = sceneLights();
    const Vector3 oldBackground = backgroundColour;
    const int oldCounts[3] = {objectCount, primitiveCount, csgNodeCount};
    void (*const oldHook)(int) = fatalHook;
    fatalHook = throwLoadFailed;
    auto fresh = std::make_unique<SceneStore>();
    try {
        buildInto(*fresh);
        applyReloadedView(oldView);
    } catch (const LoadFailed&) {
        watchIncludedFiles();  // a broken included file is watched until it is mended
        fatalHook = oldHook;
        reset_tokenizer();  // the error left the file it was reading open
        freeScene(*fresh);  // what the failed load had built
        currentStore = liveStore.get();
        sceneList = oldScene;
        loadedView = oldView;
        camera = oldCamera;
        *sceneLight() = oldLight;
        setSceneLights(oldLights);
        backgroundColour = oldBackground;
        objectCount = oldCounts[0], primitiveCount = oldCounts[1], csgNodeCount = oldCounts[2];
        return false;
    }
    fatalHook = oldHook;
    forgetShadowCaches();
    freeScene(*liveStore);
    liveStore = std::move(fresh);
    notice(100, "main", "Parsing done...");
    return true;
}
