// quadray-render: the window program's start-up and renderers without a window, drawing
// into an offscreen context, for tests, reference pictures and measurements.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/offscreen_gl.h"
#include "app/png_image.h"
#include "app/options.h"
#include "app/report.h"
#include "app/scene.h"
#include "base/allocator.h"
#include "base/worker_pool.h"
#include "render/camera.h"
#include "render/frame.h"
#include "render/frameless.h"
#include "render/null_presenter.h"
#include "render/presenter_gl.h"
#include "render/quad_renderer.h"
#include "render/sample_grid.h"

namespace {

using Clock = std::chrono::steady_clock;

RgbImage gridImage(int width, int height) {
    RgbImage image = makeImage(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) setPixel(image, x, y, sampleGrid.at(x, y).colour);
    return image;
}

struct Timing {
    std::vector<double> frameMs;
    long long rays = 0;
};

// Runs the frames the options ask for and times each one.
Timing renderFrames(const Options& options, Presenter& presenter) {
    Timing timing;
    const Counter raysBefore = stats.primaryRays;
    const int frames = options.mode == RenderMode::Full ? 1 : options.frames;
    for (int i = 0; i < frames; ++i) {
        const auto start = Clock::now();
        if (options.mode == RenderMode::Full)
            traceFullFrame();
        else
            renderFrame(presenter);
        timing.frameMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    timing.rays = stats.primaryRays - raysBefore;
    return timing;
}

void printTiming(Timing timing) {
    double totalMs = 0;
    for (double ms : timing.frameMs) totalMs += ms;
    std::vector<double>& ms = timing.frameMs;
    std::sort(ms.begin(), ms.end());
    const std::size_t n = ms.size();
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    const double raysPerSecond = totalMs > 0 ? timing.rays * 1000.0 / totalMs : 0;
    std::fprintf(stderr, "%zu frames, %.3f ms per frame (median), %.0f primary rays per second\n", n, median,
                 raysPerSecond);
}

// Whether the picture can be written, asked before any time is spent loading and tracing:
// an existing file must be writable, a new one needs a writable directory.
bool canWrite(const std::string& path) {
    if (access(path.c_str(), F_OK) == 0) return access(path.c_str(), W_OK) == 0;
    const auto slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    return access(directory.c_str(), W_OK) == 0;
}

void writePicture(const std::string& path, const RgbImage& image) {
    if (writePng(path, image)) return;
    std::fprintf(stderr, "quadray-render: cannot write %s\n", path.c_str());
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const std::string problem = parseOptions(Program::Render, argc, argv, options);
    if (!problem.empty()) {
        std::fprintf(stderr, "quadray-render: %s\n%s", problem.c_str(), usageText(Program::Render).c_str());
        return 2;
    }
    if (options.help) {
        std::printf("%s", usageText(Program::Render).c_str());
        return 0;
    }
    if (options.version) {
        std::printf("quadray-render %s\n", QUADRAY_VERSION);
        return 0;
    }
    if (!options.outFile.empty() && !canWrite(options.outFile)) {
        std::fprintf(stderr, "quadray-render: cannot write %s\n", options.outFile.c_str());
        return 1;
    }
    traceDepth = options.depth;
    loadScene(options);

    // Only a picture of the window's renderers needs OpenGL: the reference picture is read
    // from the samples, and a run without a picture only traces and counts.
    const bool drawsWithOpenGL = options.mode != RenderMode::Full && !options.outFile.empty();
    GlPresenter glPresenter;
    NullPresenter noDrawing;
    Presenter& presenter = drawsWithOpenGL ? static_cast<Presenter&>(glPresenter) : noDrawing;
    if (drawsWithOpenGL) createOffscreenContext(options.width, options.height);

    qualityLevel = options.qualityLevel;
    borderMode = options.border;
    frameless = options.mode == RenderMode::Frameless;
    if (frameless) framelessBatchLimit = options.batches;
    keepFreedMemory();
    // One thread unless asked: the shadow-cache figures of the report depend on which thread
    // shades which sample, and reference runs must count the same every time.
    startWorkerPool(options.threads > 0 ? options.threads : 1);
    initRenderer(presenter);
    applySceneView();
    reshapeWindow(presenter, options.width, options.height);
    camera.location += options.cameraMove * camera.direction;  // as a right drag does

    const Timing timing = renderFrames(options, presenter);

    if (!options.outFile.empty()) {
        writePicture(options.outFile,
                     drawsWithOpenGL ? readOffscreenImage() : gridImage(options.width, options.height));
    }
    if (options.report) {
        printReport();
        std::printf("quadsDrawn %i frameNumber %i raysThisFrame %i\n", quadsDrawn, frameNumber, raysThisFrame);
        std::fflush(stdout);
    }
    printTiming(timing);
    return 0;
}
