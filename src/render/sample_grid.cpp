// The sample grid and the frame counter.
#include "render/sample_grid.h"

SampleGrid sampleGrid;
int frameNumber = 0;

void createSampleGrid(int width, int height) {
    sampleGrid.width = width;
    sampleGrid.height = height;
    sampleGrid.samples = std::vector<Sample, TableAllocator<Sample>>(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            Sample& s = sampleGrid.at(column, row);
            s.column = column;
            s.row = row;
        }
}
