// Frames of an animation: which to render, the clock and file name of each, and the loop that
// reads the scene at each frame's clock, renders it and writes it.
#pragma once

#include <functional>
#include <string>

inline constexpr int ANIMATION_FAILED = 255;  // the exit status of an error, as after any error line

// Frames first to last (both included) of an animation of count frames numbered from 0.
struct FrameSpan {
    int count = 1;
    int first = 0;
    int last = 0;
};

// The clock of frame of count frames: frame / (count - 1), so 0 at the first frame and exactly 1
// at the last; 0 when there is one frame.
double frameClock(int frame, int count);

// The file name of a frame: the run of #s in the file part of pattern becomes the frame number,
// zero-padded to the run's length; without a # four digits go before the ".png" that ends the name.
std::string frameFileName(const std::string& pattern, int frame);

// What the loop asks of the program.
struct AnimationSteps {
    // The scene again, at sceneClock, silently; false after printing the line of an error.
    std::function<bool()> readScene;
    // Renders the frame and writes it to file unless file is "".
    std::function<void(int frame, const std::string& file)> renderFrame;
};

// Renders the frames of span in order, each after reading the scene at its clock, named from
// outPattern (empty: nothing is written). Stops at the first error and returns ANIMATION_FAILED;
// otherwise returns 0, the counters holding those of all the frames.
int renderAnimation(const FrameSpan& span, const std::string& outPattern, const AnimationSteps& steps);
