// Several rays per pixel: where each ray of a pixel goes, and the running sums that average
// them into a picture's bytes. quadray-render's anti-aliased full traces and the window's
// refinement of a still view share both, so a window refined to N samples per pixel shows the
// picture of `quadray-render --mode full --samples N` at the same view and size.
//
// Pixel (x, y) of a width × height picture (y counted from the bottom) is the square between
// samples (x, y) and (x + 1, y + 1) of the (width + 1) × (height + 1) sample grid; its sample 0
// is the grid sample at its corner, the one ray per pixel a full trace shoots. Samples 1 to 15
// fill the other cells of a 4 × 4 grid over the pixel, each at a point within its cell that
// depends only on x, y and the sample's number; from sample 16 on the cells repeat in the same
// order at new points. So the sum of a pixel's first N samples is the same whatever thread,
// tile, band or pass traced them, as long as they are added in the order of their numbers.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "math/vector.h"

// Where a sample lies in its pixel: fractions of a pixel right of and above the corner
// sample, each in [0, 1).
struct PixelOffset {
    double x = 0;
    double y = 0;
};

PixelOffset sampleOffset(int column, int row, int sample);

// A colour component as a byte: clamped to [0, 1], then rounded; NaN counts as 0. The one
// conversion of every picture written or shown.
std::uint8_t colourByte(double component);

// A colour as it is added to a pixel's sum: each component clamped to [0, 1], NaN as 0, so
// that one very bright ray cannot outweigh the others.
Vector3 clampedColour(const Vector3& colour);

// Summed samples of a rectangle of a picture, all pixels holding the same number of samples.
struct PixelSums {
    int pictureWidth = 0;   // the whole picture, in pixels; its sample grid is one larger
    int pictureHeight = 0;
    int left = 0;           // first column of the rectangle
    int bottom = 0;         // first row of the rectangle, counted from the bottom
    int width = 0;
    int height = 0;
    int samples = 0;        // samples added to every pixel so far
    std::vector<Vector3> sums;  // clamped colours, row by row from the bottom of the rectangle
};

// Empties sums and sets them up for the rectangle of width × height pixels whose bottom left
// pixel is (left, bottom) in a pictureWidth × pictureHeight picture.
void startPixelSums(PixelSums& sums, int pictureWidth, int pictureHeight, int left, int bottom, int width,
                    int height);

// Adds the colours of the sample grid, just traced with grid size picture size + 1, as every
// pixel's sample 0.
void addGridColours(PixelSums& sums);

// Traces samples sums.samples up to (not including) lastSample of every pixel, on every thread
// of the pool, and adds them, each pixel's in the order of their numbers.
void addSamples(PixelSums& sums, int lastSample);

// Rows of pixels traced so far, each counted once per sample (a row of the full trace's grid
// counts one), for the progress of long runs; any thread may read it at any time.
extern std::atomic<long long> sampleRowsTraced;

// The average of the pixel at x, y of the rectangle (counted from its bottom left) as bytes,
// red first.
void averageBytes(const PixelSums& sums, int x, int y, std::uint8_t* rgb);
