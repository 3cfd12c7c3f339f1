// Random samples within a time budget, drawn as points over what is already on screen.
#include "render/frameless.h"

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

#include "base/statistics.h"
#include "base/worker_pool.h"
#include "render/clock.h"
#include "render/frame.h"
#include "render/presenter.h"
#include "render/sample_grid.h"

namespace {
struct TausworthePart {
    std::uint32_t mask;
    int shiftA;  // applied to the masked state
    int shiftB;  // applied to the state before the xor
    int shiftC;  // applied to the xor
};

// The three parts of taus88; the masks are -2, -8 and -16 as signed words.
constexpr TausworthePart PARTS[3] = {
    {0xFFFFFFFEu, 12, 13, 19},
    {0xFFFFFFF8u, 4, 2, 25},
    {0xFFFFFFF0u, 17, 3, 11},
};
constexpr std::uint32_t SEEDS[3] = {390451501u, 613566701u, 858993401u};

std::uint32_t state[3] = {SEEDS[0], SEEDS[1], SEEDS[2]};

std::uint32_t step(std::uint32_t s, const TausworthePart& p) {
    return ((s & p.mask) << p.shiftA) ^ (((s << p.shiftB) ^ s) >> p.shiftC);
}

constexpr Vector3 WHITE{1, 1, 1};
}  // namespace

int framelessBatchLimit = 0;

void seedRandom() {
    for (int i = 0; i < 3; ++i) state[i] = SEEDS[i];
}

std::uint32_t nextRandom() {
    for (int i = 0; i < 3; ++i) state[i] = step(state[i], PARTS[i]);
    return state[0] ^ state[1] ^ state[2];
}

namespace {
// Batches traced together: picked in order, traced by every thread, drawn in order. Grown to
// the largest group of batches; kept between frames.
struct Batches {
    std::vector<Sample*> samples;
    std::vector<const Object*> objectBefore;  // each sample's object before the batches
    // In border mode, every (sample, position) pair sorted, to find where a sample comes first.
    std::vector<std::pair<const Sample*, int>> positions;
    std::atomic<int> next{0};  // the first sample no thread has taken yet
    int count = 0;             // samples picked
};
Batches picked;
}  // namespace

// A neighbour's object as a single thread drawing point n would see it: a neighbour that is
// traced only after point n still shows its object from before.
static const Object* objectSeenAt(const Sample& neighbour, int n) {
    const auto first = std::lower_bound(picked.positions.begin(), picked.positions.end(),
                                        std::pair<const Sample*, int>{&neighbour, -1});
    if (first == picked.positions.end() || first->first != &neighbour || first->second <= n)
        return neighbour.hit.object;
    return picked.objectBefore[static_cast<std::size_t>(first->second)];
}

// In border mode a sample whose object differs from its left or lower neighbour is white;
// on the left and bottom edges the sample stands in for the missing neighbour.
static Vector3 pointColour(int n) {
    const Sample& s = *picked.samples[n];
    if (!borderMode) return s.colour;
    const Sample& left = sampleGrid.at(s.column > 0 ? s.column - 1 : 0, s.row);
    const Sample& below = sampleGrid.at(s.column, s.row > 0 ? s.row - 1 : 0);
    if (objectSeenAt(left, n) != s.hit.object || objectSeenAt(below, n) != s.hit.object) return WHITE;
    return s.colour;
}

void drawRandomSamples(Presenter& presenter, int batches) {
    const std::uint32_t width = static_cast<std::uint32_t>(sampleGrid.width);
    const std::uint32_t total = width * static_cast<std::uint32_t>(sampleGrid.height);
    picked.count = batches * SAMPLE_BATCH;
    if (picked.samples.size() < static_cast<std::size_t>(picked.count)) {
        picked.samples.resize(static_cast<std::size_t>(picked.count));
        picked.objectBefore.resize(static_cast<std::size_t>(picked.count));
    }
    picked.positions.clear();
    for (int n = 0; n < picked.count; ++n) {
        const std::uint32_t i = nextRandom() % total;
        Sample& s = sampleGrid.at(static_cast<int>(i % width), static_cast<int>(i / width));
        picked.samples[n] = &s;
        picked.objectBefore[n] = s.hit.object;
        if (borderMode) picked.positions.emplace_back(&s, n);
    }
    std::sort(picked.positions.begin(), picked.positions.end());
    picked.next.store(0, std::memory_order_relaxed);
    auto traceSamples = [](int) {
        for (int n; (n = picked.next.fetch_add(1, std::memory_order_relaxed)) < picked.count;)
            traceSample(*picked.samples[n]);
    };
    runOnEveryThread(traceSamples);
    for (int first = 0; first < picked.count; first += SAMPLE_BATCH) {
        presenter.setPointSize(qualityLevel + 1);
        presenter.setPointSmoothing(qualityLevel > 0);
        presenter.beginPoints();
        for (int n = first; n < first + SAMPLE_BATCH; ++n) presenter.point(*picked.samples[n], pointColour(n));
        presenter.endPoints();
    }
}

double framelessRayRate(int level, int rays, double elapsedMs, int width, int height) {
    const double pointArea = static_cast<double>(level + 1) * (level + 1);
    return pointArea * rays * 1000.0 / elapsedMs / (static_cast<double>(width) * height);
}

void framelessFrame(Presenter& presenter, std::uint32_t frameStart, Counter raysBefore) {
    double elapsed = 0;
    // Several threads take BATCHES_PER_THREAD batches each between two looks at the clock: a
    // batch alone is traced in less time than handing it out takes.
    const int group = poolThreads() == 1 ? 1 : poolThreads() * BATCHES_PER_THREAD;
    for (int batch = 0;;) {
        elapsed = static_cast<double>(static_cast<std::uint32_t>(readTicks() - frameStart));
        if (framelessBatchLimit > 0 ? batch >= framelessBatchLimit : elapsed >= FRAME_BUDGET_MS) break;
        const int batches = framelessBatchLimit > 0 ? std::min(group, framelessBatchLimit - batch) : group;
        drawRandomSamples(presenter, batches);
        batch += batches;
    }
    raysThisFrame = static_cast<int>(stats.primaryRays - raysBefore);
    rayFrameRate = framelessRayRate(qualityLevel, raysThisFrame, elapsed, sampleGrid.width, sampleGrid.height);
    presenter.flush();
}
