// Frames of an animation: which to render, the clock and file name of each, and the loop that
// reads the scene at each frame's clock, renders it and writes it.
#include "app/animation.h"

#include <algorithm>
#include <cstdio>

#include "base/scene_clock.h"

namespace {

inline constexpr int DIGITS_WITHOUT_HASHES = 4;
inline constexpr std::size_t PNG_SUFFIX_LENGTH = 4;  // ".png", in any case

std::string zeroPadded(int number, int width) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%0*d", width, number);
    return digits;
}

}  // namespace

double frameClock(int frame, int count) { return count > 1 ? double(frame) / double(count - 1) : 0.0; }

std::string frameFileName(const std::string& pattern, int frame) {
    const auto slash = pattern.rfind('/');
    const std::size_t fileStart = slash == std::string::npos ? 0 : slash + 1;
    const auto lastHash = pattern.rfind('#');
    if (lastHash == std::string::npos || lastHash < fileStart) {
        const std::size_t suffix = pattern.size() - std::min(pattern.size(), PNG_SUFFIX_LENGTH);
        return pattern.substr(0, suffix) + zeroPadded(frame, DIGITS_WITHOUT_HASHES) + pattern.substr(suffix);
    }
    std::size_t runStart = lastHash;
    while (runStart > fileStart && pattern[runStart - 1] == '#') --runStart;
    const int width = int(lastHash + 1 - runStart);
    return pattern.substr(0, runStart) + zeroPadded(frame, width) + pattern.substr(lastHash + 1);
}

int renderAnimation(const FrameSpan& span, const std::string& outPattern, const AnimationSteps& steps) {
    for (int frame = span.first; frame <= span.last; ++frame) {
        sceneClock = frameClock(frame, span.count);
        if (!steps.readScene()) return ANIMATION_FAILED;
        steps.renderFrame(frame, outPattern.empty() ? "" : frameFileName(outPattern, frame));
    }
    return 0;
}
