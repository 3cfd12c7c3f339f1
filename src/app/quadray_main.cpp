// quadray: loads the scene, opens the window and renders until Escape or the window closes.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/input.h"
#include "app/install_paths.h"
#include "app/options.h"
#include "app/reload.h"
#include "app/report.h"
#include "app/scene.h"
#include "app/window.h"
#include "base/allocator.h"
#include "base/worker_pool.h"
#include "render/camera.h"
#include "render/refinement.h"

// The program name and freeglut's own options, as glutInit expects them.
static std::vector<char*> glutCommandLine(char* programName, std::vector<std::string>& glutArguments) {
    std::vector<char*> arguments{programName};
    for (std::string& argument : glutArguments) arguments.push_back(argument.data());
    arguments.push_back(nullptr);
    return arguments;
}

int main(int argc, char** argv) {
    // Frame and motion lines are meant to be watched as they happen, also through a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Options options;
    const std::string problem = parseOptions(Program::Window, argc, argv, options);
    if (!problem.empty()) {
        std::fprintf(stderr, "quadray: %s\n%s", problem.c_str(), usageText(Program::Window).c_str());
        return 2;
    }
    if (options.help) {
        std::printf("%s%s", usageText(Program::Window).c_str(), KEYS_HELP);
        return 0;
    }
    if (options.version) {
        std::printf("quadray %s\n", QUADRAY_VERSION);
        return 0;
    }
    traceDepth = options.depth;
    refineEnabled = options.refine;
    refineSamples = options.samples;
    animationSeconds = options.duration;
    if (options.sceneFile.empty() && options.directory.empty())
        options.directory = bundledSceneDirectory(options.quiet);
    loadScene(options);
    std::vector<char*> glutArguments = glutCommandLine(argv[0], options.glutArguments);
    int glutArgumentCount = static_cast<int>(glutArguments.size()) - 1;
    openWindow(&glutArgumentCount, glutArguments.data());
    keepFreedMemory();
    startWorkerPool(options.threads > 0 ? options.threads : availableCores());
    initRenderer(windowPresenter());
    applySceneView();
    if (options.reload) watchSceneFiles();
    std::atexit(printReport);
    runEventLoop();
}
