// The random generator, batches of random points, the time budget and the frame figures.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "objects/sphere.h"
#include "render_fixture.h"

namespace {

// A clock that returns the given readings in turn and then repeats the last.
std::vector<std::uint32_t> readings;
std::size_t nextReading = 0;
std::uint32_t scriptedTicks() {
    const std::uint32_t t = readings[nextReading < readings.size() ? nextReading : readings.size() - 1];
    ++nextReading;
    return t;
}

class Frameless : public RenderTest {
protected:
    void useClock(std::vector<std::uint32_t> ticks) {
        readings = std::move(ticks);
        nextReading = 0;
        readTicks = scriptedTicks;
    }
};

TEST_F(Frameless, GeneratorStartsFromFixedSeeds) {
    // taus88 from the seeds 390451501, 613566701, 858993401.
    const std::uint32_t expected[10] = {1908608547u, 364603069u,  528378279u,  1153580643u, 643237034u,
                                        3988596671u, 1788716332u, 626833507u, 3768515118u, 3526246283u};
    for (std::uint32_t value : expected) EXPECT_EQ(nextRandom(), value);
    seedRandom();
    EXPECT_EQ(nextRandom(), expected[0]);
}

TEST_F(Frameless, RayRateCountsWholeWindowImagesPerSecond) {
    EXPECT_NEAR(framelessRayRate(1, 12000, 34, 641, 481), 4.578879498582169, 1e-12);
    EXPECT_DOUBLE_EQ(framelessRayRate(0, 100, 50, 10, 10), 20);
    EXPECT_TRUE(std::isinf(framelessRayRate(0, 100, 0, 10, 10)));
}

TEST_F(Frameless, BatchesDrawHundredRandomSamplesEachAsPoints) {
    openWindow640x480();
    drawRandomSamples(screen, 2);
    ASSERT_EQ(screen.calls.size(), 2 * 104u);
    seedRandom();
    for (int batch = 0; batch < 2; ++batch) {
        const RecordedCall* calls = &screen.calls[batch * 104];
        EXPECT_EQ(calls[0].kind, DrawCall::PointSize);
        EXPECT_EQ(calls[0].value, 2);
        EXPECT_EQ(calls[1].kind, DrawCall::PointSmoothing);
        EXPECT_EQ(calls[2].kind, DrawCall::BeginPoints);
        EXPECT_EQ(calls[103].kind, DrawCall::EndPoints);
        for (int i = 3; i < 103; ++i) {
            const std::uint32_t n = nextRandom() % (641u * 481u);
            ASSERT_EQ(calls[i].kind, DrawCall::Point);
            EXPECT_EQ(calls[i].vertices[0].column, static_cast<int>(n % 641));
            EXPECT_EQ(calls[i].vertices[0].row, static_cast<int>(n / 641));
            EXPECT_EQ(sampleGrid.at(calls[i].vertices[0].column, calls[i].vertices[0].row).stamp, frameNumber);
        }
    }
    EXPECT_LE(stats.primaryRays, 200);
    EXPECT_GT(stats.primaryRays, 190);
}

TEST_F(Frameless, BorderModeWhitensSamplesOnAnotherObjectThanTheirNeighbours) {
    reshapeWindow(setup, 2, 2);  // a 3 by 3 grid
    Object* sphere = sceneList = keep(make_sphere(0, 0, 0, 1));
    Object other;
    borderMode = 1;
    // Every sample already traced in this frame, so only the stored objects count.
    for (Sample& s : sampleGrid.samples) {
        s.stamp = frameNumber;
        s.hit.object = sphere;
        s.colour = {0.2, 0.3, 0.4};
    }
    sampleGrid.at(1, 1).hit.object = &other;
    // Points on (2, 1) and (1, 2) see the other object to their left or below; (0, 1) on
    // the left edge compares with itself on that side.
    for (int i = 0; i < 20; ++i) drawRandomSamples(screen);
    int white = 0, coloured = 0;
    for (const RecordedCall& p : screen.calls) {
        if (p.kind != DrawCall::Point) continue;
        const int c = p.vertices[0].column, r = p.vertices[0].row;
        const bool border = (c == 1 && r == 1) || (c == 2 && r == 1) || (c == 1 && r == 2);
        EXPECT_EQ(p.colour, (border ? Vector3{1, 1, 1} : Vector3{0.2, 0.3, 0.4})) << c << "," << r;
        (border ? white : coloured)++;
    }
    EXPECT_GT(white, 0);
    EXPECT_GT(coloured, 0);
    EXPECT_EQ(stats.primaryRays, 0);
}

TEST_F(Frameless, FrameDrawsBatchesUntilTheBudgetIsSpent) {
    openWindow640x480();
    frameless = 1;
    // Frame start, two batches started at 10 and 33 ms, budget spent at 34 ms.
    useClock({1000, 1010, 1033, 1034});
    renderFrame(screen);
    EXPECT_EQ(screen.count(DrawCall::BeginPoints), 2);
    EXPECT_EQ(screen.count(DrawCall::Point), 200);
    EXPECT_EQ(screen.calls[0].kind, DrawCall::PointSize);
    EXPECT_EQ(screen.calls[0].value, 2);
    EXPECT_EQ(screen.calls[1].kind, DrawCall::PointSmoothing);
    EXPECT_EQ(screen.calls[1].value, 1);
    EXPECT_EQ(screen.calls.back().kind, DrawCall::Flush);
    EXPECT_EQ(screen.count(DrawCall::Swap), 0);
    EXPECT_EQ(screen.count(DrawCall::Clear), 0);
    EXPECT_EQ(raysThisFrame, stats.primaryRays);
    EXPECT_LE(raysThisFrame, 200);
    EXPECT_DOUBLE_EQ(rayFrameRate, 4.0 * raysThisFrame * 1000 / 34 / (641 * 481));
    EXPECT_EQ(frameNumber, 1);
}

TEST_F(Frameless, FinestQualityDrawsUnsmoothedSinglePixels) {
    openWindow640x480();
    frameless = 1;
    qualityLevel = 0;
    useClock({0, 0, 40});
    renderFrame(screen);
    EXPECT_EQ(screen.calls[0].value, 1);
    EXPECT_EQ(screen.calls[1].value, 0);
    qualityLevel = 2;
    useClock({0, 0, 40});
    screen.calls.clear();
    renderFrame(screen);
    EXPECT_EQ(screen.calls[0].value, 3);
    EXPECT_EQ(screen.calls[1].value, 1);
}

TEST_F(Frameless, SpentBudgetDrawsNothingButStillFlushes) {
    openWindow640x480();
    frameless = 1;
    quadsDrawn = 17;
    useClock({0, 34});
    renderFrame(screen);
    ASSERT_EQ(screen.calls.size(), 1u);
    EXPECT_EQ(screen.calls[0].kind, DrawCall::Flush);
    EXPECT_EQ(raysThisFrame, 0);
    EXPECT_EQ(rayFrameRate, 0);
    EXPECT_EQ(quadsDrawn, 17);  // the quad count of the last quad frame stays
}

TEST_F(Frameless, BatchLimitReplacesTheBudget) {
    openWindow640x480();
    frameless = 1;
    framelessBatchLimit = 3;
    useClock({0});  // time stands still: only the limit ends the frame
    renderFrame(screen);
    EXPECT_EQ(screen.count(DrawCall::BeginPoints), 3);
    EXPECT_EQ(screen.calls.back().kind, DrawCall::Flush);

    framelessBatchLimit = 2;
    useClock({0, 500});  // long past the budget after the first reading
    screen.calls.clear();
    renderFrame(screen);
    EXPECT_EQ(screen.count(DrawCall::BeginPoints), 2);
    EXPECT_DOUBLE_EQ(rayFrameRate, 4.0 * raysThisFrame * 1000 / 500 / (641 * 481));
}

TEST_F(Frameless, BudgetSurvivesTheTickCounterWrapping) {
    openWindow640x480();
    frameless = 1;
    useClock({0xFFFFFFF0u, 0xFFFFFFFFu, 20});
    renderFrame(screen);
    EXPECT_EQ(screen.count(DrawCall::BeginPoints), 1);
}

TEST_F(Frameless, QuadFrameRateIsFramesPerSecond) {
    openWindow640x480();
    useClock({100, 120});
    renderFrame(screen);
    EXPECT_EQ(rayFrameRate, 50);
    useClock({100, 100});
    renderFrame(screen);
    EXPECT_TRUE(std::isinf(rayFrameRate));
}

}  // namespace
