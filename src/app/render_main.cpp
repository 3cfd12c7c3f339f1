// quadray-render: the window program's start-up and renderers without a window, drawing
// into an offscreen context, for tests, reference pictures and measurements.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/offscreen_gl.h"
#include "app/png_image.h"
#include "app/render_options.h"
#include "app/scene.h"
#include "app/statistics.h"
#include "render/camera.h"
#include "render/clock.h"
#include "render/frame.h"
#include "render/frameless.h"
#include "render/presenter_gl.h"
#include "render/quad_renderer.h"
#include "render/recording_presenter.h"
#include "render/sample_grid.h"

namespace {

using Clock = std::chrono::steady_clock;

// Frameless frames run a fixed number of batches instead of a time budget, so that runs can
// be repeated: the renderers' clock stands still while it is read for the frame start and
// before each of those batches, and jumps past the budget at the next reading.
struct BatchClock {
    std::uint32_t frameStart = 0;
    int readsThisFrame = 0;
    int batches = DEFAULT_BATCHES;
};

BatchClock batchClock;
const auto BUDGET_TICKS = static_cast<std::uint32_t>(std::ceil(FRAME_BUDGET_MS));

std::uint32_t batchClockTicks() {
    ++batchClock.readsThisFrame;
    return batchClock.readsThisFrame <= batchClock.batches + 1 ? batchClock.frameStart
                                                              : batchClock.frameStart + BUDGET_TICKS;
}

void startBatchClockFrame() {
    batchClock.frameStart += BUDGET_TICKS;
    batchClock.readsThisFrame = 0;
}

// The per-pixel reference: every sample traced once, row by row from the bottom.
void traceWholeGrid() {
    const int raysBefore = stats.primaryRays;
    for (int row = 0; row < sampleGrid.height; ++row)
        for (int column = 0; column < sampleGrid.width; ++column) traceSample(sampleGrid.at(column, row));
    raysThisFrame = stats.primaryRays - raysBefore;
    ++frameNumber;
}

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
Timing renderFrames(const RenderOptions& options, Presenter& presenter) {
    Timing timing;
    const int raysBefore = stats.primaryRays;
    const int frames = options.mode == RenderMode::Full ? 1 : options.frames;
    for (int i = 0; i < frames; ++i) {
        if (options.mode == RenderMode::Frameless) startBatchClockFrame();
        const auto start = Clock::now();
        if (options.mode == RenderMode::Full)
            traceWholeGrid();
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

void writePicture(const std::string& path, const RgbImage& image) {
    if (writePng(path, image)) return;
    std::fprintf(stderr, "quadray-render: cannot write %s\n", path.c_str());
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    if (!parseRenderOptions(argc, argv, options)) {
        std::fprintf(stderr, "%s\n", RENDER_USAGE);
        return 2;
    }
    loadScene(options.directory);

    // The reference picture is read from the samples: only the window's renderers draw, and
    // without them the set-up's few display calls are recorded and dropped.
    const bool drawsWithOpenGL = options.mode != RenderMode::Full;
    GlPresenter glPresenter;
    RecordingPresenter droppedDrawing;
    Presenter& presenter = drawsWithOpenGL ? static_cast<Presenter&>(glPresenter) : droppedDrawing;
    if (drawsWithOpenGL) createOffscreenContext(options.width, options.height);

    qualityLevel = options.qualityLevel;
    borderMode = options.border;
    frameless = options.mode == RenderMode::Frameless;
    if (frameless) {
        batchClock.batches = options.batches;
        readTicks = batchClockTicks;
    }
    initRenderer(presenter);
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
