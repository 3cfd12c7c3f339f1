// quadray-render: the window program's start-up and renderers without a window, drawing
// into an offscreen context, for tests, reference pictures and measurements.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/offscreen_gl.h"
#include "app/png_image.h"
#include "app/progress.h"
#include "app/install_paths.h"
#include "app/options.h"
#include "app/pick.h"
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
#include "render/supersample.h"

namespace {

using Clock = std::chrono::steady_clock;

// The full trace the options ask for: the whole picture or its region.
FullTrace fullTraceOf(const Options& options) {
    FullTrace trace;
    trace.width = options.width;
    trace.height = options.height;
    trace.right = options.width;
    trace.bottom = options.height;
    if (options.region) {
        trace.left = options.regionX0;
        trace.top = options.regionY0;
        trace.right = options.regionX1;
        trace.bottom = options.regionY1;
    }
    trace.samples = options.samples;
    return trace;
}

// Writes a full trace's rows into the PNG file as they come, so that the picture is never
// whole in memory; an empty path takes them and writes nothing.
struct PictureFile {
    std::string path;
    int width = 0;
    int height = 0;
    PngStream* png = nullptr;  // opened with the first rows

    void take(const std::uint8_t* rows, int count) {
        if (path.empty()) return;
        if (!png) png = openPng(path, width, height);
        writePngRows(png, rows, count);
    }
};

struct Timing {
    std::vector<double> frameMs;
    long long rays = 0;
};

int framesToRender(const Options& options) { return options.mode == RenderMode::Full ? 1 : options.frames; }

// Runs the frames the options ask for and times each one.
Timing renderFrames(const Options& options, Presenter& presenter, PictureFile& picture,
                    std::atomic<int>& framesDone) {
    Timing timing;
    const Counter raysBefore = stats.primaryRays;
    for (int i = 0; i < framesToRender(options); ++i) {
        const auto start = Clock::now();
        if (options.mode == RenderMode::Full)
            traceFullPicture(fullTraceOf(options), [&picture](const std::uint8_t* rows, int count) {
                picture.take(rows, count);
            });
        else
            renderFrame(presenter);
        timing.frameMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        ++framesDone;
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

void cannotWrite(const std::string& path) {
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
    if (options.sceneFile.empty() && options.directory.empty())
        options.directory = bundledSceneDirectory(options.quiet);
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
    // Every core unless asked: pictures and ray counts are the same for any number of threads;
    // only the shadow-cache figures depend on which thread shades which sample.
    startWorkerPool(options.threads > 0 ? options.threads : availableCores());
    initRenderer(presenter);
    applySceneView();
    const FullTrace trace = fullTraceOf(options);
    if (options.mode == RenderMode::Full && !tracesWholeGrid(trace))
        fitCameraToWindow(options.width, options.height);  // a grid this large would not fit in memory
    else
        reshapeWindow(presenter, options.width, options.height);
    camera.location += options.cameraMove * camera.direction;  // as a right drag does
    if (options.pick) {
        for (const std::string& line : pickLines(options.pickX + trace.left, options.pickY + trace.top,
                                                 options.width, options.height))
            std::printf("%s\n", line.c_str());
        return 0;
    }

    PictureFile picture{options.mode == RenderMode::Full ? options.outFile : "", trace.right - trace.left,
                        trace.bottom - trace.top};
    // The progress line reads only atomics: the frames done, or the rows of a full trace.
    std::atomic<int> framesDone{0};
    const long long rowsBefore = sampleRowsTraced;
    const double frames = framesToRender(options), rows = static_cast<double>(fullTraceRows(trace));
    const bool full = options.mode == RenderMode::Full;
    startProgress(isatty(STDERR_FILENO) && !options.quiet, [&framesDone, rowsBefore, frames, rows, full] {
        return full ? (sampleRowsTraced - rowsBefore) / rows : framesDone / frames;
    });
    const Timing timing = renderFrames(options, presenter, picture, framesDone);
    stopProgress();

    if (drawsWithOpenGL && !writePng(options.outFile, readOffscreenImage())) cannotWrite(options.outFile);
    if (picture.png && !closePng(picture.png)) cannotWrite(options.outFile);
    if (options.report) {
        printReport();
        std::printf("quadsDrawn %i frameNumber %i raysThisFrame %i\n", quadsDrawn, frameNumber, raysThisFrame);
        std::fflush(stdout);
    }
    printTiming(timing);
    return 0;
}
