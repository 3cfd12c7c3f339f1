// The grid of samples on the pixel corners that both renderers trace, and the frame stamp
// that lets each sample be traced at most once per frame.
#pragma once

#include <vector>

#include "base/allocator.h"
#include "render/shading.h"

// Samples row by row: column c of row r is element c + r·width.
struct SampleGrid {
    int width = 400;   // one more than the window width
    int height = 400;  // one more than the window height
    std::vector<Sample, TableAllocator<Sample>> samples;

    Sample& at(int column, int row) { return samples[column + row * width]; }
};

extern SampleGrid sampleGrid;
// Frames drawn so far; a sample stamped with it was traced in the current frame.
extern int frameNumber;

// Replaces the grid by width × height untraced samples.
void createSampleGrid(int width, int height);
