// Command-line parsing of the headless renderer. Values must be given whole: "12abc" or
// " 12" is an error, not 12.
#include "app/render_options.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

const char* const RENDER_USAGE =
    "usage: quadray-render [--dir DIR] [--size WIDTHxHEIGHT] [--quality N]"
    " [--mode quad|full|frameless] [--frames N] [--batches B] [--camera-move D] [--border]"
    " [--out FILE.png] [--report]";

namespace {

inline constexpr int MAX_INT = std::numeric_limits<int>::max();

bool parseInt(std::string_view text, int low, int high, int& value) {
    int parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    if (parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

bool parseFiniteDouble(std::string_view text, double& value) {
    double parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

// WIDTHxHEIGHT, both at least one pixel.
bool parseSize(std::string_view text, int& width, int& height) {
    const auto cross = text.find('x');
    if (cross == std::string_view::npos) return false;
    return parseInt(text.substr(0, cross), 1, MAX_RENDER_SIDE, width) &&
           parseInt(text.substr(cross + 1), 1, MAX_RENDER_SIDE, height);
}

bool parseMode(std::string_view text, RenderMode& mode) {
    if (text == "quad") mode = RenderMode::Quad;
    else if (text == "full") mode = RenderMode::Full;
    else if (text == "frameless") mode = RenderMode::Frameless;
    else return false;
    return true;
}

// Options that take a value; the value is the next argument.
bool parseValue(std::string_view name, std::string_view value, RenderOptions& options) {
    if (name == "--dir") {
        options.directory = value;
        return !value.empty();
    }
    if (name == "--out") {
        options.outFile = value;
        return !value.empty();
    }
    if (name == "--size") return parseSize(value, options.width, options.height);
    if (name == "--quality") return parseInt(value, 0, MAX_RENDER_QUALITY, options.qualityLevel);
    if (name == "--mode") return parseMode(value, options.mode);
    if (name == "--frames") return parseInt(value, 1, MAX_INT, options.frames);
    if (name == "--batches") return parseInt(value, 1, MAX_INT, options.batches);
    if (name == "--camera-move") return parseFiniteDouble(value, options.cameraMove);
    return false;
}

bool takesValue(std::string_view name) {
    for (const char* option : {"--dir", "--size", "--quality", "--mode", "--frames", "--batches",
                               "--camera-move", "--out"}) {
        if (name == option) return true;
    }
    return false;
}

}  // namespace

bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--border") {
            options.border = true;
        } else if (name == "--report") {
            options.report = true;
        } else if (takesValue(name)) {
            if (i + 1 >= argc || !parseValue(name, argv[++i], options)) return false;
        } else {
            return false;
        }
    }
    return true;
}
