// Window size changes: the grid, the projection and the camera's aspect; full traces with
// several samples per pixel, whole and in parts (pass by pass, as the window refines, in the
// quad renderer's test).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "objects/sphere.h"
#include "render/supersample.h"
#include "render_fixture.h"

namespace {

using Reshape = RenderTest;

TEST_F(Reshape, WindowOf640By480) {
    camera.right = {3, 0, 4};
    reshapeWindow(screen, 640, 480);
    EXPECT_EQ(sampleGrid.width, 641);
    EXPECT_EQ(sampleGrid.height, 481);
    ASSERT_EQ(sampleGrid.samples.size(), 641u * 481u);
    ASSERT_EQ(screen.calls.size(), 1u);
    EXPECT_EQ(screen.calls[0].kind, DrawCall::Reshape);
    EXPECT_EQ(screen.calls[0].width, 640);
    EXPECT_EQ(screen.calls[0].height, 480);
    EXPECT_NEAR(length(camera.right), 641.0 / 481, 1e-14);
    EXPECT_NEAR(camera.right.x / camera.right.z, 0.75, 1e-14);

    const Sample& s = sampleGrid.at(7, 300);
    EXPECT_EQ(s.column, 7);
    EXPECT_EQ(s.row, 300);
    EXPECT_EQ(s.stamp, -1);
    EXPECT_EQ(s.hit.object, nullptr);
}

TEST_F(Reshape, EmptyWindowGivesOneSample) {
    reshapeWindow(screen, 0, 0);
    EXPECT_EQ(sampleGrid.width, 1);
    EXPECT_EQ(sampleGrid.height, 1);
    EXPECT_EQ(screen.calls[0].width, 0);
    EXPECT_EQ(screen.calls[0].height, 0);
    reshapeWindow(screen, -5, 3);
    EXPECT_EQ(sampleGrid.width, 1);
    EXPECT_EQ(sampleGrid.height, 4);
    EXPECT_NEAR(length(camera.right), 0.25, 1e-15);
    // Frames on a degenerate grid draw degenerate leaves only.
    renderFrame(screen);
    EXPECT_EQ(quadsDrawn, 1);
}

TEST_F(Reshape, NewGridIsTracedAgainInTheSameFrame) {
    reshapeWindow(screen, 64, 48);
    renderFrame(screen);
    const int first = stats.primaryRays;
    frameNumber = 0;  // same frame number as the first frame
    reshapeWindow(screen, 64, 48);
    renderFrame(screen);
    EXPECT_EQ(stats.primaryRays, 2 * first);
}

TEST_F(Reshape, FrameBeforeAnyReshapeUsesTheStartGrid) {
    sampleGrid = SampleGrid{};
    renderFrame(screen);
    EXPECT_EQ(sampleGrid.width, 400);
    EXPECT_EQ(sampleGrid.samples.size(), 400u * 400u);
    EXPECT_GT(quadsDrawn, 0);
}

TEST(SamplePattern, FirstSampleIsTheGridSampleAndEachSixteenCoverEveryCell) {
    for (const auto& [column, row] : {std::pair{0, 0}, {5, 7}, {4095, 17}, {16383, 16383}}) {
        const PixelOffset first = sampleOffset(column, row, 0);
        EXPECT_EQ(first.x, 0.0);
        EXPECT_EQ(first.y, 0.0);
        std::set<std::pair<int, int>> cells, quarters;
        for (int sample = 0; sample < 256; ++sample) {
            const PixelOffset o = sampleOffset(column, row, sample);
            ASSERT_TRUE(o.x >= 0 && o.x < 1 && o.y >= 0 && o.y < 1) << sample;
            const std::pair<int, int> cell{static_cast<int>(o.x * 4), static_cast<int>(o.y * 4)};
            if (sample < 16) cells.insert(cell);
            if (sample < 4) quarters.insert({cell.first / 2, cell.second / 2});
            const PixelOffset again = sampleOffset(column, row, sample);
            EXPECT_TRUE(o.x == again.x && o.y == again.y);
            if (sample >= 16) {
                const PixelOffset earlier = sampleOffset(column, row, sample - 16);
                EXPECT_EQ(cell, std::make_pair(static_cast<int>(earlier.x * 4), static_cast<int>(earlier.y * 4)));
                EXPECT_NE(o.x, earlier.x);
            }
        }
        EXPECT_EQ(cells.size(), 16u);
        EXPECT_EQ(quarters.size(), 4u);
    }
    EXPECT_NE(sampleOffset(0, 0, 1).x, sampleOffset(1, 0, 1).x);
    EXPECT_NE(sampleOffset(0, 0, 1).y, sampleOffset(0, 1, 1).y);
}

TEST(SamplePattern, ColoursAreClampedBeforeTheyAreAdded) {
    const Vector3 c = clampedColour({2.5, -0.5, std::numeric_limits<double>::quiet_NaN()});
    EXPECT_EQ(c, (Vector3{1, 0, 0}));
    EXPECT_EQ(clampedColour({0.25, 1, 0}), (Vector3{0.25, 1, 0}));
}

class FullPicture : public RenderTest {
protected:
    static constexpr int WIDTH = 16, HEIGHT = 12;

    void SetUp() override {
        RenderTest::SetUp();
        const Vector3 c = camera.location + 5 * normalize(camera.direction);
        sceneList = keep(make_sphere(c.x, c.y, c.z, 1.5));
        reshapeWindow(setup, WIDTH, HEIGHT);
    }

    // The bytes of the trace, top row first.
    static std::vector<std::uint8_t> traced(const FullTrace& trace) {
        std::vector<std::uint8_t> bytes;
        traceFullPicture(trace, [&bytes, &trace](const std::uint8_t* rows, int count) {
            bytes.insert(bytes.end(), rows, rows + count * 3 * (trace.right - trace.left));
        });
        return bytes;
    }

    static FullTrace wholeTrace(int samples) { return {WIDTH, HEIGHT, 0, 0, WIDTH, HEIGHT, samples}; }
};

TEST_F(FullPicture, EveryRayAndRowIsCounted) {
    const std::vector<std::uint8_t> once = traced(wholeTrace(1));
    const long long rowsBefore = sampleRowsTraced;
    const std::vector<std::uint8_t> whole = traced(wholeTrace(6));
    EXPECT_EQ(raysThisFrame, (WIDTH + 1) * (HEIGHT + 1) + WIDTH * HEIGHT * 5);
    EXPECT_EQ(sampleRowsTraced - rowsBefore, fullTraceRows(wholeTrace(6)));
    EXPECT_NE(whole, once);  // the ball's edge is smoothed
}

TEST_F(FullPicture, ARegionIsThatPartOfTheWholePictureInAnyNumberOfBands) {
    // Wide enough that the region's 69 rows take two bands.
    constexpr int width = 1024, height = 70;
    reshapeWindow(setup, width, height);
    for (int samples : {1, 2}) {
        const std::vector<std::uint8_t> whole = traced({width, height, 0, 0, width, height, samples});
        const FullTrace region{width, height, 3, 1, 1000, height, samples};
        const std::vector<std::uint8_t> part = traced(region);
        const int partWidth = region.right - region.left, partHeight = region.bottom - region.top;
        ASSERT_EQ(part.size(), static_cast<std::size_t>(partWidth) * partHeight * 3);
        for (int y = 0; y < partHeight; ++y)
            for (int x = 0; x < partWidth * 3; ++x)
                ASSERT_EQ(part[y * partWidth * 3 + x], whole[(y + region.top) * width * 3 + region.left * 3 + x])
                    << samples << " " << x << "," << y;
        EXPECT_EQ(raysThisFrame, partWidth * partHeight * samples);
    }
}

}  // namespace
