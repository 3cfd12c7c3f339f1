// Still-view refinement: the view record, and passes of one more sample per pixel traced row
// by row on the worker pool.
#include "render/refinement.h"

#include <algorithm>
#include <atomic>

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

// Exact: a camera moved by the smallest step is a new view.
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

// Adds the pass's sample to every pixel of row y.
static void addRowSample(PixelSums& sums, int y) {
    const int sample = sums.samples;
    Vector3* sum = sums.sums.data() + static_cast<std::size_t>(y) * sums.width;  // none when width is 0
    for (int x = 0; x < sums.width; ++x, ++sum) {
        const PixelOffset offset = sampleOffset(x, y, sample);
        Ray ray;
        primaryRayThrough(ray, x + offset.x, y + offset.y, sums.pictureWidth + 1, sums.pictureHeight + 1);
        ++stats.primaryRaysBuilt;
        Hit hit;
        *sum += clampedColour(tracePrimaryRay(ray, hit));
    }
}

static void averagePicture(Refinement& r) {
    const PixelSums& sums = r.sums;
    for (int y = 0; y < sums.height; ++y)
        for (int x = 0; x < sums.width; ++x)
            averageBytes(sums, x, y, &r.picture[3 * (static_cast<std::size_t>(y) * sums.width + x)]);
}

void startRefinement(Refinement& r, int width, int height, int samples) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    startPixelSums(r.sums, width, height, 0, 0, width, height);
    r.samples = samples;
    r.nextRow = 0;
    r.picture.resize(3 * static_cast<std::size_t>(width) * height);
    r.raysSoFar = r.passRays = 0;
    r.msSoFar = r.passMs = 0;
}

bool refinementDone(const Refinement& r) { return r.sums.samples >= r.samples; }

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
            if (row >= r.sums.height) return;
            addRowSample(r.sums, row);
        }
    };
    runOnEveryThread(traceRows);
    r.nextRow = std::min(nextRow.load(), r.sums.height);
    r.raysSoFar += stats.primaryRays - raysBefore;
    r.msSoFar += readTicks() - start;
    if (r.nextRow < r.sums.height) return false;
    r.passRays = r.raysSoFar;
    r.passMs = r.msSoFar;
    r.raysSoFar = 0;
    r.msSoFar = 0;
    ++r.sums.samples;
    averagePicture(r);
    r.nextRow = 0;
    return true;
}

void refineCompletely(Refinement& r) {
    while (!refinementDone(r)) refineFor(r, UINT32_MAX);
}
