// The fixed pattern of samples within a pixel, and tracing and averaging them on every thread.
#include "render/supersample.h"

#include <cmath>

#include "base/statistics.h"
#include "base/worker_pool.h"
#include "render/camera.h"
#include "render/sample_grid.h"
#include "render/shading.h"
#include "trace/ray.h"

std::atomic<long long> sampleRowsTraced{0};

namespace {

inline constexpr int CELLS_PER_SIDE = 4;

struct Cell {
    int x, y;
};

// The 4 × 4 cells in the order samples fill them: every 2 × 2 quarter of the pixel gets one
// of the first four, one of the next four, and so on, so that a pixel refined only part of
// the way is still evenly covered. Cell (0, 0) comes first: sample 0 is its corner.
inline constexpr Cell CELL_ORDER[CELLS_PER_SIDE * CELLS_PER_SIDE] = {
    {0, 0}, {2, 2}, {2, 0}, {0, 2}, {1, 1}, {3, 3}, {3, 1}, {1, 3},
    {1, 0}, {3, 2}, {3, 0}, {1, 2}, {0, 1}, {2, 3}, {2, 1}, {0, 3},
};

// splitmix64's mixing: every input bit reaches every output bit, the same on every machine.
std::uint64_t mix(std::uint64_t z) {
    z += 0x9e3779b97f4a7c15u;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
}

// A fraction in [0, 1) with 50 bits, few enough that cell + fraction is exact below 4.
double fraction(std::uint64_t bits) { return static_cast<double>(bits >> 14) * 0x1.0p-50; }

double clampedComponent(double c) { return c > 0 ? (c < 1 ? c : 1) : 0; }  // NaN fails c > 0

}  // namespace

PixelOffset sampleOffset(int column, int row, int sample) {
    if (sample == 0) return {};
    const Cell cell = CELL_ORDER[sample % (CELLS_PER_SIDE * CELLS_PER_SIDE)];
    const std::uint64_t pixel = static_cast<std::uint64_t>(static_cast<std::uint32_t>(column)) << 32 |
                                static_cast<std::uint32_t>(row);
    const std::uint64_t bits = mix(mix(pixel) ^ static_cast<std::uint64_t>(sample));
    return {(cell.x + fraction(bits)) / CELLS_PER_SIDE, (cell.y + fraction(mix(bits))) / CELLS_PER_SIDE};
}

std::uint8_t colourByte(double component) {
    if (!(component > 0)) return 0;  // also NaN
    if (component >= 1) return 255;
    return static_cast<std::uint8_t>(std::floor(component * 255 + 0.5));
}

Vector3 clampedColour(const Vector3& colour) {
    return {clampedComponent(colour.x), clampedComponent(colour.y), clampedComponent(colour.z)};
}

void startPixelSums(PixelSums& sums, int pictureWidth, int pictureHeight, int left, int bottom, int width,
                    int height) {
    sums.pictureWidth = pictureWidth;
    sums.pictureHeight = pictureHeight;
    sums.left = left;
    sums.bottom = bottom;
    sums.width = width;
    sums.height = height;
    sums.samples = 0;
    sums.sums.assign(static_cast<std::size_t>(width) * height, Vector3{0, 0, 0});
}

void addGridColours(PixelSums& sums) {
    for (int y = 0; y < sums.height; ++y)
        for (int x = 0; x < sums.width; ++x)
            sums.sums[static_cast<std::size_t>(y) * sums.width + x] +=
                clampedColour(sampleGrid.at(sums.left + x, sums.bottom + y).colour);
    ++sums.samples;
}

static void addRowSamples(PixelSums& sums, int y, int firstSample, int lastSample) {
    const int row = sums.bottom + y;
    Vector3* sum = &sums.sums[static_cast<std::size_t>(y) * sums.width];
    for (int x = 0; x < sums.width; ++x, ++sum) {
        const int column = sums.left + x;
        for (int sample = firstSample; sample < lastSample; ++sample) {
            const PixelOffset offset = sampleOffset(column, row, sample);
            Ray ray;
            primaryRayThrough(ray, column + offset.x, row + offset.y, sums.pictureWidth + 1, sums.pictureHeight + 1);
            ++stats.primaryRaysBuilt;
            Hit hit;
            *sum += clampedColour(tracePrimaryRay(ray, hit));
        }
    }
    sampleRowsTraced.fetch_add(lastSample - firstSample, std::memory_order_relaxed);
}

void addSamples(PixelSums& sums, int lastSample) {
    const int firstSample = sums.samples;
    if (lastSample <= firstSample) return;
    std::atomic<int> nextRow{0};
    auto traceRows = [&](int) {
        for (int y; (y = nextRow.fetch_add(1, std::memory_order_relaxed)) < sums.height;)
            addRowSamples(sums, y, firstSample, lastSample);
    };
    runOnEveryThread(traceRows);
    sums.samples = lastSample;
}

void averageBytes(const PixelSums& sums, int x, int y, std::uint8_t* rgb) {
    const Vector3& sum = sums.sums[static_cast<std::size_t>(y) * sums.width + x];
    const double samples = sums.samples;
    rgb[0] = colourByte(sum.x / samples);
    rgb[1] = colourByte(sum.y / samples);
    rgb[2] = colourByte(sum.z / samples);
}
