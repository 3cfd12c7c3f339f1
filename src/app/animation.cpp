// Frames of an animation: which to render, the clock and file name of each, and the loop that
// reads the scene at each frame's clock, renders it and writes it.
#include "app/animation.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "base/scene_clock.h"

namespace {

inline constexpr int DIGITS_WITHOUT_HASHES = 4;
inline constexpr std::size_t PNG_SUFFIX_LENGTH = 4;  // ".png", in any case

// A frame number written out in full, digits only.
bool parseFrameNumber(const std::string& text, int& number) {
    if (text.empty()) return false;
    const char* const end = text.data() + text.size();
    const auto [stop, problem] = std::from_chars(text.data(), end, number);
    return problem == std::errc() && stop == end && number >= 0;
}

std::string zeroPadded(int number, int width) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%0*d", width, number);
    return digits;
}

}  // namespace

double frameClock(int frame, int count) { return count > 1 ? double(frame) / double(count - 1) : 0.0; }

std::string parseFrameRange(const std::string& text, int count, FrameSpan& span) {
    const std::string quotedText = "'" + text + "'";
    const auto dash = text.find('-');
    FrameSpan read{count, 0, 0};
    if (dash == std::string::npos || !parseFrameNumber(text.substr(0, dash), read.first) ||
        !parseFrameNumber(text.substr(dash + 1), read.last))
        return quotedText + " is not a range of frames A-B";
    if (read.first > read.last) return quotedText + " ends before it starts";
    if (read.last >= count)
        return quotedText + " goes past the last of " + std::to_string(count) + " frames, frame " +
               std::to_string(count - 1);
    span = read;
    return "";
}

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
        if (!steps.renderFrame(frame, outPattern.empty() ? "" : frameFileName(outPattern, frame)))
            return ANIMATION_FAILED;
    }
    if (steps.report) steps.report();
    return 0;
}
