// Still-view refinement: the view record, and passes of one more sample per pixel traced row
// by row on the worker pool.
#include "render/refinement.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "base/statistics.h"
#include "base/worker_pool.h"
#include "render/clock.h"
#include "render/frame.h"
#include "render/sample_grid.h"
#include "render/shading.h"
#include "trace/ray.h"

int refineEnabled = 1;
int refineSamples = DEFAULT_REFINE_SAMPLES;

static unsigned sceneGeneration = 0;

static bool sameVector(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

bool ViewState::operator==(const ViewState& o) const {
    return sameVector(camera.location, o.camera.location) && sameVector(camera.direction, o.camera.direction) &&
           sameVector(camera.right, o.camera.right) && sameVector(camera.up, o.camera.up) &&
           gridWidth == o.gridWidth && gridHeight == o.gridHeight && frameless == o.frameless &&
           qualityLevel == o.qualityLevel && fillPolygons == o.fillPolygons && borderMode == o.borderMode &&
           objectCountView == o.objectCountView && refineEnabled == o.refineEnabled &&
           sceneGeneration == o.sceneGeneration;
}

ViewState currentView() {
    return {camera,     sampleGrid.width, sampleGrid.height, frameless,     qualityLevel,
            fillPolygons, borderMode,     objectCountView,   refineEnabled, sceneGeneration};
}

void noteNewScene() { ++sceneGeneration; }

bool refinementApplies() { return !frameless && fillPolygons && !borderMode && !objectCountView; }

// Stand-in for the shared pixel pattern: sample 0 is the pixel's corner ray, the others sit in
// a 4 × 4 grid of cells inside the pixel.
static void pixelSampleRay(Ray& ray, int column, int row, int sample, int width, int height) {
    double dx = 0, dy = 0;
    if (sample > 0) {
        const int cell = sample % 16;
        dx = (cell % 4 + 0.5) / 4;
        dy = (cell / 4 + 0.5) / 4;
    }
    const double u = (column + dx) / (width + 1) - 0.5;
    const double v = (row + dy) / (height + 1) - 0.5;
    initRay(ray, camera.location, camera.direction + u * camera.right + v * camera.up);
}

static std::uint8_t byteOf(double component) {
    if (!(component > 0)) return 0;
    if (component >= 1) return 255;
    return static_cast<std::uint8_t>(std::floor(component * 255 + 0.5));
}

static Vector3 clamped(const Vector3& c) {
    auto unit = [](double v) { return v > 0 ? std::min(v, 1.0) : 0.0; };
    return {unit(c.x), unit(c.y), unit(c.z)};
}

// Adds sample number `pass` to every pixel of the row.
static void refineRow(Refinement& r, int row) {
    for (int column = 0; column < r.width; ++column) {
        const std::size_t i = static_cast<std::size_t>(row) * r.width + column;
        Ray ray;
        Hit hit;
        pixelSampleRay(ray, column, row, r.passesDone, r.width, r.height);
        ++stats.primaryRaysBuilt;
        const Vector3 colour = clamped(tracePrimaryRay(ray, hit));
        r.sums[i] = r.passesDone == 0 ? colour : r.sums[i] + colour;
        const double count = r.passesDone + 1;
        r.pending[3 * i] = byteOf(r.sums[i].x / count);
        r.pending[3 * i + 1] = byteOf(r.sums[i].y / count);
        r.pending[3 * i + 2] = byteOf(r.sums[i].z / count);
    }
}

void startRefinement(Refinement& r, int width, int height, int samples) {
    const std::size_t pixels = static_cast<std::size_t>(std::max(width, 0)) * std::max(height, 0);
    r.width = std::max(width, 0);
    r.height = std::max(height, 0);
    r.samples = samples;
    r.passesDone = 0;
    r.nextRow = 0;
    r.sums.resize(pixels);
    r.picture.resize(3 * pixels);
    r.pending.resize(3 * pixels);
    r.raysSoFar = r.passRays = 0;
    r.msSoFar = r.passMs = 0;
}

bool refinementDone(const Refinement& r) { return r.passesDone >= r.samples; }

bool refineFor(Refinement& r, std::uint32_t budgetMs) {
    if (refinementDone(r)) return false;
    const std::uint32_t start = readTicks();
    const Counter raysBefore = stats.primaryRays;
    // Rows are taken in order, and every row taken is finished, so the rows below the counter
    // are done when the job ends.
    std::atomic<int> nextRow{r.nextRow};
    auto traceRows = [&](int) {
        while (readTicks() - start < budgetMs) {
            const int row = nextRow.fetch_add(1, std::memory_order_relaxed);
            if (row >= r.height) return;
            refineRow(r, row);
        }
    };
    runOnEveryThread(traceRows);
    r.nextRow = std::min(nextRow.load(), r.height);
    r.raysSoFar += stats.primaryRays - raysBefore;
    r.msSoFar += readTicks() - start;
    if (r.nextRow < r.height) return false;
    r.passRays = r.raysSoFar;
    r.passMs = r.msSoFar;
    r.raysSoFar = 0;
    r.msSoFar = 0;
    r.picture.swap(r.pending);
    ++r.passesDone;
    r.nextRow = 0;
    return true;
}

void refineCompletely(Refinement& r) {
    while (!refinementDone(r)) refineFor(r, UINT32_MAX);
}
