// libFuzzer target for the scene loader: each input becomes objects/cycle.pov beside two
// trivial scene files, is loaded as at start-up, and a few rays are traced through the result,
// lights, mirrors and glass included.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/scene.h"
#include "base/error.h"
#include "base/statistics.h"
#include "objects/object.h"
#include "objects/scene_store.h"
#include "render/camera.h"
#include "render/lights.h"
#include "render/shading.h"
#include "scene/source_stack.h"
#include "scene/warnings.h"
#include "trace/ray.h"

namespace {

// Thrown by the fatal-error hook so that one input's error ends only that input.
struct FatalError {};

// Where the three scene files of every input live.
std::string sceneDirectory;

void throw_fatal(int) { throw FatalError{}; }

void write_file(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
}

void write_text(const std::string& path, const std::string& text) {
    write_file(path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

void remove_scene_directory() {
    for (const char* name : {"cycle.pov", "arena.pov", "recognizer.pov", "shared.inc"})
        std::remove((sceneDirectory + "/objects/" + name).c_str());
    rmdir((sceneDirectory + "/objects").c_str());
    rmdir(sceneDirectory.c_str());
}

void make_scene_directory() {
    char pattern[] = "/tmp/quadray-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        std::abort();
    }
    sceneDirectory = pattern;
    mkdir((sceneDirectory + "/objects").c_str(), 0700);
    write_text(sceneDirectory + "/objects/arena.pov", "plane { <0, 1, 0>, 0 }\n");
    write_text(sceneDirectory + "/objects/recognizer.pov", "sphere { <0, 0, 0>, 1 }\n");
    // Something for an input's #include to read: a texture, a vector and a macro.
    write_text(sceneDirectory + "/objects/shared.inc",
               "#declare Red = texture { pigment { color rgb <1, 0, 0> } }\n#declare Up = <0, 1, 0>;\n"
               "#macro Ball(X) sphere { <X, 0, 0>, 0.5 texture { Red } } #end\n");
    std::atexit(remove_scene_directory);
}

// The start-up view of the window program, without a window.
void aim_camera() {
    camera = {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    camera.location = CAMERA_START_LOCATION;
    lookAt(CAMERA_START_LOOK_AT.x, CAMERA_START_LOOK_AT.y, CAMERA_START_LOOK_AT.z);
    sceneLight()->location = LIGHT_LOCATION;
}

// Traced and shaded as a sample would be: every light, the mirrored and the refracted rays.
void trace_ray(const Ray& ray) {
    Hit hit;
    tracePrimaryRay(ray, hit);
}

// A coarse image of the loaded scene from the start-up view, and rays in 26 directions from
// two points near the origin, where most scene statements place their solids: every object's
// intersection and normal code runs on whatever geometry the input produced.
inline constexpr int TRACE_COLUMNS = 12;
inline constexpr int TRACE_ROWS = 9;

void trace_scene() {
    Ray ray;
    for (int row = 0; row < TRACE_ROWS; ++row) {
        for (int column = 0; column < TRACE_COLUMNS; ++column) {
            primaryRay(ray, column, row, TRACE_COLUMNS, TRACE_ROWS);
            trace_ray(ray);
        }
    }
    for (const Vector3& origin : {Vector3{0, 0, 0}, Vector3{0.3, 0.2, 0.1}}) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dz = -1; dz <= 1; ++dz) {
                    if (dx == 0 && dy == 0 && dz == 0) continue;
                    initRay(ray, origin, Vector3{double(dx), double(dy), double(dz)});
                    trace_ray(ray);
                }
    }
}

// Everything an input may have changed goes back to the state of a fresh process, and the
// scene it built, whole or as far as an error let it, is freed as a reload frees it.
void reset_program_state() {
    forgetShadowCaches();  // they name objects of the scene about to be freed
    setSceneLights({});  // one input's lights and background never light the next one
    backgroundColour = {0, 0, 0};
    freeScene(*currentStore);
    reset_tokenizer();
    sceneList = nullptr;
    objectCount = 0;
    primitiveCount = 0;
    csgNodeCount = 0;
    stats = Statistics{};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    make_scene_directory();
    fatalHook = throw_fatal;
    quietWarnings = true;
    // Every input must finish well within the fuzzer's time and memory limits.
    loadLimits = {100000, 2000000, 20000};
    aim_camera();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    write_file(sceneDirectory + "/objects/cycle.pov", data, size);
    try {
        loadScene(sceneDirectory);
        trace_scene();
    } catch (const FatalError&) {
        // The error line is printed; the input was rejected as it should be.
    }
    reset_program_state();
    return 0;
}
