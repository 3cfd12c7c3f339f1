// One frame, quad or frameless, and the reaction to a new window size.
#include "render/frame.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <vector>

#include "base/statistics.h"
#include "base/worker_pool.h"
#include "render/camera.h"
#include "render/clock.h"
#include "render/frameless.h"
#include "render/presenter.h"
#include "render/quad_renderer.h"
#include "render/sample_grid.h"
#include "render/shading.h"
#include "render/supersample.h"

int fillPolygons = 1;
int borderMode = 0;
int objectCountView = 0;
int frameless = 0;
int qualityLevel = 1;
int raysThisFrame = 0;
double rayFrameRate = 0;

// floor(log2(n)) for n >= 1.
static int log2Floor(int n) {
    int bits = 0;
    for (; n > 1; n >>= 1) ++bits;
    return bits;
}

static void quadFrame(Presenter& presenter, std::uint32_t frameStart, Counter raysBefore) {
    if (!fillPolygons) presenter.clear();  // outlines do not cover the previous frame
    renderQuadFrame(presenter);
    raysThisFrame = static_cast<int>(stats.primaryRays - raysBefore);
    const std::uint32_t elapsed = readTicks() - frameStart;
    rayFrameRate = 1000.0 / elapsed;  // infinite for a frame under a millisecond
    presenter.swapBuffers();
}

void renderFrame(Presenter& presenter) {
    const std::uint32_t frameStart = readTicks();
    const Counter raysBefore = stats.primaryRays;
    // A display before the first window size still needs samples to trace.
    if (sampleGrid.samples.empty()) createSampleGrid(sampleGrid.width, sampleGrid.height);
    maxDepth = log2Floor(std::max(sampleGrid.width, sampleGrid.height)) - qualityLevel;
    if (frameless)
        framelessFrame(presenter, frameStart, raysBefore);
    else
        quadFrame(presenter, frameStart, raysBefore);
    ++frameNumber;
}

void traceFullFrame() {
    const Counter raysBefore = stats.primaryRays;
    // Rows are handed out one at a time, bottom first: one thread traces them in order.
    std::atomic<int> nextRow{0};
    auto traceRows = [&nextRow](int) {
        for (int row; (row = nextRow.fetch_add(1, std::memory_order_relaxed)) < sampleGrid.height;) {
            for (int column = 0; column < sampleGrid.width; ++column) traceSample(sampleGrid.at(column, row));
            sampleRowsTraced.fetch_add(1, std::memory_order_relaxed);
        }
    };
    runOnEveryThread(traceRows);
    raysThisFrame = static_cast<int>(stats.primaryRays - raysBefore);
    ++frameNumber;
}

bool tracesWholeGrid(const FullTrace& trace) {
    return trace.width <= GRID_TRACE_SIDE && trace.height <= GRID_TRACE_SIDE && trace.left == 0 &&
           trace.top == 0 && trace.right == trace.width && trace.bottom == trace.height;
}

long long fullTraceRows(const FullTrace& trace) {
    const long long rows = trace.bottom - trace.top;
    if (tracesWholeGrid(trace)) return trace.height + 1 + rows * (trace.samples - 1);
    return rows * trace.samples;
}

// About 65,000 pixels a band, whose sums stay in the caches and are used again band after band,
// but at least four rows for each thread, so that every thread has rows to take.
static int bandRows(int width) { return std::max(4 * poolThreads(), (1 << 16) / width); }

void traceFullPicture(const FullTrace& trace, const PictureRows& takeRows) {
    const Counter raysBefore = stats.primaryRays;
    const bool onGrid = tracesWholeGrid(trace);
    if (onGrid) traceFullFrame();
    const int width = trace.right - trace.left;
    PixelSums sums;
    std::vector<std::uint8_t> bytes;
    for (int top = trace.top; top < trace.bottom; top += bandRows(width)) {
        const int rows = std::min(bandRows(width), trace.bottom - top);
        startPixelSums(sums, trace.width, trace.height, trace.left, trace.height - top - rows, width, rows);
        if (onGrid) addGridColours(sums);
        addSamples(sums, trace.samples);
        bytes.resize(static_cast<std::size_t>(width) * rows * 3);
        for (int y = 0; y < rows; ++y)  // the band's top row first
            for (int x = 0; x < width; ++x)
                averageBytes(sums, x, rows - 1 - y, &bytes[(static_cast<std::size_t>(y) * width + x) * 3]);
        takeRows(bytes.data(), rows);
    }
    // Past two thousand million rays the count stops rather than wraps.
    raysThisFrame = static_cast<int>(std::min<Counter>(stats.primaryRays - raysBefore, INT_MAX));
    if (!onGrid) ++frameNumber;
}

void reshapeWindow(Presenter& presenter, int width, int height) {
    const int w = width > 0 ? width + 1 : 1;
    const int h = height > 0 ? height + 1 : 1;
    createSampleGrid(w, h);
    presenter.reshape(w - 1, h - 1);
    fitCameraToWindow(width, height);
}

void fitCameraToWindow(int width, int height) {
    const int w = width > 0 ? width + 1 : 1;
    const int h = height > 0 ? height + 1 : 1;
    camera.right = normalize(camera.right) * (static_cast<double>(w) / h);
}
