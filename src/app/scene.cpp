// Scene assembly at start-up.
#include "app/scene.h"

#include "base/error.h"
#include "math/transform.h"
#include "objects/csg.h"
#include "objects/object.h"
#include "render/shading.h"
#include "scene/parser.h"

static std::string inDirectory(const std::string& directory, const char* name) {
    return directory.empty() ? name : directory + "/" + name;
}

static Object* loadFile(const std::string& path) {
    Object* root = parse_scene_file(path.c_str());
    if (!root) fatal_error(9000, "parser", "Expected an object statement in file %s", path.c_str());
    return root;
}

// The recognizer is modelled at the origin and hovers far out on the horizon.
static void placeRecognizer(Object* recognizer) {
    const Vector3 turn{0, 180, 0};
    const Vector3 offset{200, 35, -267};
    Transformation t;
    rotation_transformation(turn, t);
    recognizer->methods->rotate(recognizer, turn, t);
    translation_transformation(offset, t);
    recognizer->methods->translate(recognizer, offset, t);
}

void loadScene(const std::string& directory) {
    Object* cycle = loadFile(inDirectory(directory, "objects/cycle.pov"));
    Object* arena = loadFile(inDirectory(directory, "objects/arena.pov"));
    Object* recognizer = loadFile(inDirectory(directory, "objects/recognizer.pov"));
    placeRecognizer(recognizer);
    sceneList = make_union({arena, cycle, recognizer, nullptr});
    notice(100, "main", "Parsing done...");
}

void loadSceneFile(const std::string& path) {
    sceneList = loadFile(path);
    notice(100, "main", "Parsing done...");
}
