// The exit report: line formats, omitted lines and the whole text for a known state.
#include "app/report.h"

#include <gtest/gtest.h>

#include <string>

#include "objects/object.h"
#include "trace/ray.h"

namespace {

std::string statLine(const char* label, Counter total, Counter succeeded) {
    testing::internal::CaptureStdout();
    printStatLine(label, total, succeeded);
    return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(PrintStatLine, AlignedTotalAndPercentage) {
    EXPECT_EQ(statLine("ray cone tests            ", 200, 50),
              "ray cone tests                   200 total, 25.00% succeeded\n");
    EXPECT_EQ(statLine("x", 3, 1), "x         3 total, 33.33% succeeded\n");
    EXPECT_EQ(statLine("x", 1234567890, 1234567890), "x 1234567890 total, 100.00% succeeded\n");
}

// A minute of real-time frames makes billions of region tests: counts past 2^31 print whole.
TEST(PrintStatLine, CountsBeyondThirtyTwoBits) {
    EXPECT_EQ(statLine("x", 6000000000LL, 1500000000LL), "x 6000000000 total, 25.00% succeeded\n");
}

TEST(PrintStatLine, NothingWhenNoneSucceeded) {
    EXPECT_EQ(statLine("ray cone tests            ", 200, 0), "");
    EXPECT_EQ(statLine("x", 0, 5), "x         0 total,  0.00% succeeded\n");
}

TEST(PrintReport, WholeTextForKnownCounters) {
    stats = Statistics();
    stats.regionTests = 1000, stats.regionHits = 250;
    stats.primaryRays = 0;
    stats.shadowRays = 80, stats.shadowRaysBlocked = 0;  // omitted
    stats.shadowCacheTests = 40, stats.shadowCacheHits = 10;
    stats.torusTests = 7, stats.torusHits = 7;
    stats.coneTests = 9, stats.coneHits = 0;  // omitted
    stats.sphereTests = 200, stats.sphereHits = 50;
    stats.csgUnionTests = 3, stats.csgUnionHits = 2;
    stats.boxTests = 5, stats.boxHits = 5;  // never reported
    primitiveCount = 12;
    csgNodeCount = 4;
    releaseStack(acquireStack());

    testing::internal::CaptureStdout();
    printReport();
    const std::string report = testing::internal::GetCapturedStdout();

    EXPECT_EQ(pooledStackCount(), 0);
    EXPECT_EQ(report,
              "\n"
              "+----+\n"
              "!rays!\n"
              "+----+\n"
              "ray bounding region tests       1000 total, 25.00% succeeded\n"
              "primary rays                       0 total\n"
              "  shadow cache                    40 total, 25.00% succeeded\n"
              "\n"
              "+----------+\n"
              "!primitives!\n"
              "+----------+\n"
              "12 primitives, 4 CSG nodes\n"
              "ray torus tests                    7 total, 100.00% succeeded\n"
              "ray sphere tests                 200 total, 25.00% succeeded\n"
              "ray csg union tests                3 total, 66.67% succeeded\n"
              "\n"
              "+----+\n"
              "!keys!\n"
              "+----+\n"
              "f switch between frameless/non-frameless rendering\n"
              "- decrease Quality\n"
              "+ increase Quality\n"
              "p switch polygonfill mode (non-frameless only)\n"
              "b switch between border/non-border rendering (non-frameless only)\n"
              "c view no. of objects per quad (non-frameless only)\n"
              "s switch draw statistics\n"
              "\n"
              "+-----+\n"
              "!mouse!\n"
              "+-----+\n"
              "left btn: rotate\n"
              "right btn: move into screen\n"
              "+-------------------------------------+\n"
              "!   scene models by the quadray team  !\n"
              "+-------------------------------------+\n");
    primitiveCount = 0;
    csgNodeCount = 0;
    stats = Statistics();
}

// Only scenes with mirrors or glass trace secondary rays; their two lines follow the shadow cache.
TEST(PrintReport, SecondaryRaysAfterTheShadowCache) {
    stats = Statistics();
    stats.shadowCacheTests = 40, stats.shadowCacheHits = 10;
    stats.refractedRays = 12;
    testing::internal::CaptureStdout();
    printReport();
    const std::string report = testing::internal::GetCapturedStdout();
    stats = Statistics();
    EXPECT_NE(report.find("  shadow cache                    40 total, 25.00% succeeded\n"
                          "reflected rays                     0 total\n"
                          "refracted rays                    12 total\n"
                          "\n+----------+\n"),
              std::string::npos)
        << report;
}
