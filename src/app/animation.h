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

// Reads the text of --frame-range ("A-B", frames A to B of the count frames of --animate) into
// span, which gets count too. Returns "" when the range is good, otherwise what is wrong with it.
std::string parseFrameRange(const std::string& text, int count, FrameSpan& span);

// The file name of a frame: the run of #s in the file part of pattern becomes the frame number,
// zero-padded to the run's length; without a # four digits go before the ".png" that ends the name.
std::string frameFileName(const std::string& pattern, int frame);

// What the loop asks of the program. Each step that can fail has printed the error's line when it
// returns false.
struct AnimationSteps {
    std::function<bool()> readScene;                                     // again, at sceneClock, silently
    std::function<bool(int frame, const std::string& file)> renderFrame;  // and write it unless file is ""
    std::function<void()> report;                                         // empty: no report
};

// Renders the frames of span in order, each after reading the scene at its clock, named from
// outPattern (empty: nothing is written). Stops at the first error and returns ANIMATION_FAILED;
// otherwise reports once, with the counters of all frames, and returns 0.
int renderAnimation(const FrameSpan& span, const std::string& outPattern, const AnimationSteps& steps);
