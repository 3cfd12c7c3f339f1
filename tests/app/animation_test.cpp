// Frames of an animation: clocks, file names, and the loop's order and errors.
#include "app/animation.h"

#include <gtest/gtest.h>

#include <string>

#include "base/scene_clock.h"

TEST(Animation, ClockRunsFromZeroToExactlyOne) {
    EXPECT_EQ(frameClock(0, 1), 0.0);
    EXPECT_EQ(frameClock(0, 5), 0.0);
    EXPECT_EQ(frameClock(1, 5), 0.25);
    EXPECT_EQ(frameClock(4, 5), 1.0);
    EXPECT_EQ(frameClock(6, 7), 1.0);
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

// The loop reads the scene at each frame's clock before rendering it, and a failed read stops it
// at once.
TEST(Animation, LoopOrderAndErrors) {
    struct Case {
        FrameSpan span;
        const char* pattern;
        int failingRead;  // counted from 0; -1: none
        int status;
        const char* trail;
    };
    const Case cases[] = {
        {{5, 0, 4}, "f-##.png", -1, 0,
         "read 0|render 0 f-00.png|read 0.25|render 1 f-01.png|read 0.5|render 2 f-02.png|"
         "read 0.75|render 3 f-03.png|read 1|render 4 f-04.png|"},
        {{5, 3, 3}, "f.png", -1, 0, "read 0.75|render 3 f0003.png|"},
        {{1, 0, 0}, "", -1, 0, "read 0|render 0 |"},
        {{3, 0, 2}, "f-#.png", 1, ANIMATION_FAILED, "read 0|render 0 f-0.png|read 0.5|"},
        {{3, 1, 2}, "f-#.png", 0, ANIMATION_FAILED, "read 0.5|"},
    };
    for (const Case& c : cases) {
        std::string trail;
        int reads = 0;
        const AnimationSteps steps{[&] {
                                       char clock[32];
                                       std::snprintf(clock, sizeof clock, "%g", sceneClock);
                                       trail += "read " + std::string(clock) + "|";
                                       return reads++ != c.failingRead;
                                   },
                                   [&](int frame, const std::string& file) {
                                       trail += "render " + std::to_string(frame) + " " + file + "|";
                                   }};
        EXPECT_EQ(renderAnimation(c.span, c.pattern, steps), c.status) << c.trail;
        EXPECT_EQ(trail, c.trail);
    }
    sceneClock = 0;
}
