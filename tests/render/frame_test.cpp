// Window size changes: the grid, the projection and the camera's aspect.
#include <gtest/gtest.h>

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

}  // namespace
