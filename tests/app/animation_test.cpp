// Frames of an animation: clocks, frame ranges, file names, and the loop's order, errors and report.
#include "app/animation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/scene_clock.h"

TEST(Animation, ClockRunsFromZeroToExactlyOne) {
    EXPECT_EQ(frameClock(0, 1), 0.0);
    EXPECT_EQ(frameClock(0, 5), 0.0);
    EXPECT_EQ(frameClock(1, 5), 0.25);
    EXPECT_EQ(frameClock(4, 5), 1.0);
    EXPECT_EQ(frameClock(6, 7), 1.0);
}

TEST(Animation, FrameRanges) {
    struct Case {
        const char* text;
        int count;
        const char* problem;
        int first, last;
    };
    const Case cases[] = {
        {"0-9", 10, "", 0, 9},
        {"3-3", 10, "", 3, 3},
        {"0-0", 1, "", 0, 0},
        {"5-3", 10, "'5-3' ends before it starts", 0, 0},
        {"0-10", 10, "'0-10' goes past the last of 10 frames, frame 9", 0, 0},
        {"", 10, "'' is not a range of frames A-B", 0, 0},
        {"-3", 10, "'-3' is not a range of frames A-B", 0, 0},
        {"1--3", 10, "'1--3' is not a range of frames A-B", 0, 0},
        {"+1-2", 10, "'+1-2' is not a range of frames A-B", 0, 0},
        {" 1-2", 10, "' 1-2' is not a range of frames A-B", 0, 0},
        {"1-x", 10, "'1-x' is not a range of frames A-B", 0, 0},
        {"0-99999999999", 10, "'0-99999999999' is not a range of frames A-B", 0, 0},
    };
    for (const Case& c : cases) {
        FrameSpan span;
        EXPECT_EQ(parseFrameRange(c.text, c.count, span), c.problem) << c.text;
        const FrameSpan expected = *c.problem ? FrameSpan() : FrameSpan{c.count, c.first, c.last};
        EXPECT_EQ(span.count, expected.count) << c.text;
        EXPECT_EQ(span.first, expected.first) << c.text;
        EXPECT_EQ(span.last, expected.last) << c.text;
    }
}

TEST(Animation, FrameFileNames) {
    struct Case {
        const char* pattern;
        int frame;
        const char* name;
    };
    const Case cases[] = {
        {"frame-####.png", 7, "frame-0007.png"},
        {"frame-#.png", 7, "frame-7.png"},
        {"frame-##.png", 123, "frame-123.png"},
        {"frame.png", 42, "frame0042.png"},
        {"FRAME.PNG", 3, "FRAME0003.PNG"},
        {"out/f###.png", 5, "out/f005.png"},
        {"shot#2/f.png", 5, "shot#2/f0005.png"},
        {"a##b###.png", 9, "a##b009.png"},
    };
    for (const Case& c : cases) EXPECT_EQ(frameFileName(c.pattern, c.frame), c.name) << c.pattern;
}

// The loop reads the scene at each frame's clock before rendering it, reports once at the end,
// and an error stops it at once, without a report.
TEST(Animation, LoopOrderErrorsAndReport) {
    struct Case {
        FrameSpan span;
        const char* pattern;
        int failingStep;  // the step that fails, counted from 0 over reads and renders; -1: none
        int status;
        const char* trail;
    };
    const Case cases[] = {
        {{5, 0, 4}, "f-##.png", -1, 0,
         "read 0|render 0 f-00.png|read 0.25|render 1 f-01.png|read 0.5|render 2 f-02.png|"
         "read 0.75|render 3 f-03.png|read 1|render 4 f-04.png|report|"},
        {{5, 3, 3}, "f.png", -1, 0, "read 0.75|render 3 f0003.png|report|"},
        {{1, 0, 0}, "", -1, 0, "read 0|render 0 |report|"},
        {{3, 0, 2}, "f-#.png", 2, ANIMATION_FAILED, "read 0|render 0 f-0.png|read 0.5|"},
        {{3, 1, 2}, "f-#.png", 1, ANIMATION_FAILED, "read 0.5|render 1 f-1.png|"},
    };
    for (const Case& c : cases) {
        std::string trail;
        int step = 0;
        const AnimationSteps steps{
            [&] {
                char clock[32];
                std::snprintf(clock, sizeof clock, "%g", sceneClock);
                trail += "read " + std::string(clock) + "|";
                return step++ != c.failingStep;
            },
            [&](int frame, const std::string& file) {
                trail += "render " + std::to_string(frame) + " " + file + "|";
                return step++ != c.failingStep;
            },
            [&] { trail += "report|"; }};
        EXPECT_EQ(renderAnimation(c.span, c.pattern, steps), c.status) << c.trail;
        EXPECT_EQ(trail, c.trail);
    }
    sceneClock = 0;
}
