// Command-line parsing shared by quadray and quadray-render. Values must be given whole:
// "12abc" or " 12" is an error, not 12.
#include "app/options.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace {

inline constexpr int MAX_INT = std::numeric_limits<int>::max();

const char* const COMMON_OPTIONS =
    "  --dir DIR             read DIR/objects/cycle.pov, arena.pov and recognizer.pov\n"
    "                        (default: the working directory); FILE instead reads one\n"
    "                        file whose object is the whole scene\n"
    "  --flat-unions         keep large unions as written, without a bounding hierarchy\n"
    "  --quiet               no warnings about the scene on standard error\n"
    "  --help                print this text\n";

const char* const WINDOW_OPTIONS =
    "  --threads N           trace with N threads (default: every core it may run on)\n"
    "  --no-reload           do not load the scene again when a scene file changes\n"
    "freeglut's own options (-display DISPLAY, -geometry WxH+X+Y, -iconic, -direct,\n"
    "-indirect, -gldebug, -sync) are handed to freeglut.\n";

const char* const RENDER_OPTIONS =
    "  --threads N           trace with N threads (default: 1, so that the counters are\n"
    "                        the same on every machine)\n"
    "  --size WIDTHxHEIGHT   window size to imitate (default 640x480)\n"
    "  --quality N           quality level, 0 is the finest (default 1)\n"
    "  --mode quad|full|frameless\n"
    "                        the quad renderer, one trace per pixel, or random samples\n"
    "  --frames N            frames to render (default 1)\n"
    "  --batches B           frameless batches of 100 samples per frame (default 100)\n"
    "  --camera-move D       move the camera D view directions forward first\n"
    "  --border              mark borders between objects\n"
    "  --out FILE.png        write the last frame as a PNG picture\n"
    "  --report              print the exit report and the last frame's counters\n";

// freeglut's options; the first four take a value.
bool isGlutOption(std::string_view name, bool& takesValue) {
    takesValue = name == "-display" || name == "-geometry";
    return takesValue || name == "-direct" || name == "-indirect" || name == "-iconic" || name == "-gldebug" ||
           name == "-sync";
}

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

bool endsWithPng(std::string_view name) {
    if (name.size() <= 4) return false;
    std::string suffix(name.substr(name.size() - 4));
    for (char& c : suffix) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return suffix == ".png";
}

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// Options of both programs that take a value: what is wrong with value, or "" when it is good.
std::string commonValue(std::string_view name, std::string_view value, Options& options) {
    if (name == "--dir") {
        options.directory = value;
        return value.empty() ? "needs a directory" : "";
    }
    if (name == "--threads")
        return parseInt(value, 1, MAX_THREADS, options.threads) ? ""
                                                                : quoted(value) + " is not a thread count from 1 to 1024";
    return "is not an option";
}

// Options of quadray-render that take a value.
std::string renderValue(std::string_view name, std::string_view value, Options& options) {
    if (name == "--out") {
        options.outFile = value;
        return endsWithPng(value) ? "" : quoted(value) + " does not end in .png";
    }
    if (name == "--size")
        return parseSize(value, options.width, options.height)
                   ? ""
                   : quoted(value) + " is not WIDTHxHEIGHT with sides from 1 to 8192";
    if (name == "--quality")
        return parseInt(value, 0, MAX_RENDER_QUALITY, options.qualityLevel)
                   ? ""
                   : quoted(value) + " is not a quality level from 0 to 1000";
    if (name == "--mode")
        return parseMode(value, options.mode) ? "" : quoted(value) + " is not quad, full or frameless";
    if (name == "--frames")
        return parseInt(value, 1, MAX_INT, options.frames) ? "" : quoted(value) + " is not a positive whole number";
    if (name == "--batches")
        return parseInt(value, 1, MAX_INT, options.batches) ? "" : quoted(value) + " is not a positive whole number";
    if (name == "--camera-move")
        return parseFiniteDouble(value, options.cameraMove) ? "" : quoted(value) + " is not a finite number";
    return commonValue(name, value, options);
}

bool takesValue(Program program, std::string_view name) {
    if (name == "--dir" || name == "--threads") return true;
    if (program == Program::Window) return false;
    for (const char* option : {"--size", "--quality", "--mode", "--frames", "--batches", "--camera-move", "--out"})
        if (name == option) return true;
    return false;
}

// A flag of the program: true when it is one (and sets it).
bool readFlag(Program program, std::string_view name, Options& options) {
    bool* flag = nullptr;
    if (name == "--flat-unions") flag = &options.flatUnions;
    else if (name == "--quiet") flag = &options.quiet;
    else if (name == "--help") flag = &options.help;
    else if (program == Program::Render && name == "--border") flag = &options.border;
    else if (program == Program::Render && name == "--report") flag = &options.report;
    if (flag) *flag = true;
    if (program == Program::Window && name == "--no-reload") {
        options.reload = false;
        return true;
    }
    return flag != nullptr;
}

}  // namespace

std::string parseOptions(Program program, int argc, const char* const* argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        bool glutValue = false;
        if (readFlag(program, name, options)) continue;
        if (takesValue(program, name)) {
            if (i + 1 >= argc) return std::string(name) + " needs a value";
            const std::string_view value = argv[++i];
            const std::string problem = program == Program::Render ? renderValue(name, value, options)
                                                                   : commonValue(name, value, options);
            if (!problem.empty()) return std::string(name) + ": " + problem;
        } else if (program == Program::Window && isGlutOption(name, glutValue)) {
            options.glutArguments.emplace_back(name);
            if (glutValue) {
                if (i + 1 >= argc) return std::string(name) + " needs a value";
                options.glutArguments.emplace_back(argv[++i]);
            }
        } else if (!name.empty() && name[0] == '-') {
            return quoted(name) + " is not an option";
        } else if (!options.sceneFile.empty()) {
            return quoted(name) + ": only one scene file can be given";
        } else if (name.empty()) {
            return "an empty scene file name";
        } else {
            options.sceneFile = name;
        }
    }
    if (!options.sceneFile.empty() && !options.directory.empty())
        return "--dir and a scene file cannot both be given";
    return "";
}

std::string usageText(Program program) {
    if (program == Program::Window)
        return std::string("usage: quadray [options] [FILE]\n") + COMMON_OPTIONS + WINDOW_OPTIONS;
    return std::string("usage: quadray-render [options] [FILE]\n") + COMMON_OPTIONS + RENDER_OPTIONS;
}
