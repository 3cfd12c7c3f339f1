// Command-line parsing shared by quadray and quadray-render. Values must be given whole:
// "12abc" or " 12" is an error, not 12.
#include "app/options.h"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <string_view>

namespace {

inline constexpr int MAX_INT = std::numeric_limits<int>::max();

const char* const COMMON_OPTIONS =
    "  --threads N           trace with N threads (default: every core it may run on)\n"
    "  --dir DIR             read DIR/objects/cycle.pov, arena.pov and recognizer.pov\n"
    "                        (default: the working directory); FILE instead reads one\n"
    "                        file whose object is the whole scene\n"
    "  --flat-unions         keep large unions as written, without a bounding hierarchy\n"
    "  --depth D             reflection and refraction bounces a ray may make, 0 to 20\n"
    "                        (default 5)\n"
    "  --quiet               no warnings about the scene and no progress on standard error\n"
    "  --help                print this text\n"
    "  --version             print the program's name and version\n";

const char* const WINDOW_OPTIONS =
    "  --no-reload           do not load the scene again when a scene file changes\n"
    "  --samples N           rays per pixel that a still view is refined to, 1 to 256\n"
    "                        (default 16)\n"
    "  --no-refine           start with refinement off: every frame is a new frame\n"
    "  --duration SECONDS    how long the animation takes from clock 0 to 1 (default 10)\n"
    "freeglut's own options (-display DISPLAY, -geometry WxH+X+Y, -iconic, -direct,\n"
    "-indirect, -gldebug, -sync) are handed to freeglut.\n";

const char* const RENDER_OPTIONS =

    "  --size WIDTHxHEIGHT   window size to imitate (default 640x480); sides up to 8192,\n"
    "                        up to 16384 with --mode full\n"
    "  --quality N           quality level, 0 is the finest (default 1)\n"
    "  --mode quad|full|frameless\n"
    "                        the quad renderer, one trace per pixel, or random samples\n"
    "  --samples N           rays per pixel of a full trace, averaged, 1 to 256 (default 1;\n"
    "                        --mode full only)\n"
    "  --region X0,Y0,X1,Y1  trace only that rectangle of the picture, counted from the\n"
    "                        top left, X1 and Y1 not included (--mode full only)\n"
    "  --frames N            frames to render (default 1)\n"
    "  --batches B           frameless batches of 100 samples per frame (default 100)\n"
    "  --camera-move D       move the camera D view directions forward first\n"
    "  --border              mark borders between objects\n"
    "  --out FILE.png        write the last frame as a PNG picture\n"
    "  --report              print the exit report and the last frame's counters\n"
    "  --animate N           render N frames, the clock going from 0 to 1\n"
    "  --frame-range A-B     render only frames A to B of the animation (0 <= A <= B < N)\n"
    "  --pick X,Y            print what pixel X,Y (from the top left) shows, then end\n";

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
    return parseInt(text.substr(0, cross), 1, MAX_FULL_TRACE_SIDE, width) &&
           parseInt(text.substr(cross + 1), 1, MAX_FULL_TRACE_SIDE, height);
}

// Whole numbers of at least 0, separated by separator, exactly as many as values holds.
bool parseNumberList(std::string_view text, char separator, std::initializer_list<int*> values) {
    for (int* value : values) {
        const bool last = value == *(values.end() - 1);
        const auto end = last ? text.size() : text.find(separator);
        if (end == std::string_view::npos || !parseInt(text.substr(0, end), 0, MAX_INT, *value)) return false;
        text.remove_prefix(last ? end : end + 1);
    }
    return true;
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
    if (name == "--samples")
        return parseInt(value, 1, MAX_SAMPLES, options.samples) ? ""
                                                                : quoted(value) + " is not a sample count from 1 to 256";
    if (name == "--depth")
        return parseInt(value, 0, MAX_DEPTH, options.depth) ? "" : quoted(value) + " is not a depth from 0 to 20";
    return "is not an option";
}

// Options of quadray that take a value.
std::string windowValue(std::string_view name, std::string_view value, Options& options) {
    if (name == "--duration")
        return parseFiniteDouble(value, options.duration) && options.duration > 0
                   ? ""
                   : quoted(value) + " is not a positive number of seconds";
    return commonValue(name, value, options);
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
                   : quoted(value) + " is not WIDTHxHEIGHT with sides from 1 to 16384";
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
    if (name == "--animate")
        return parseInt(value, 1, MAX_INT, options.animateFrames) ? ""
                                                                    : quoted(value) + " is not a positive whole number";
    if (name == "--frame-range") {
        options.frameRange = true;
        return parseNumberList(value, '-', {&options.firstFrame, &options.lastFrame}) ? ""
                                                                                       : quoted(value) + " is not A-B";
    }
    if (name == "--region") {
        options.region = true;
        return parseNumberList(value, ',', {&options.regionX0, &options.regionY0, &options.regionX1, &options.regionY1})
                   ? ""
                   : quoted(value) + " is not X0,Y0,X1,Y1";
    }
    if (name == "--pick") {
        options.pick = true;
        return parseNumberList(value, ',', {&options.pickX, &options.pickY}) ? "" : quoted(value) + " is not X,Y";
    }
    return commonValue(name, value, options);
}

bool takesValue(Program program, std::string_view name) {
    if (name == "--dir" || name == "--threads" || name == "--samples" || name == "--depth") return true;
    if (program == Program::Window) return name == "--duration";
    for (const char* option : {"--size", "--quality", "--mode", "--frames", "--batches", "--camera-move", "--out",
                               "--animate", "--frame-range", "--region", "--pick"})
        if (name == option) return true;
    return false;
}

std::string pictureSize(const Options& options) {
    return std::to_string(options.width) + "x" + std::to_string(options.height);
}

// What quadray-render's options mean together: the problem, or "" when they fit.
std::string checkRenderCombination(const Options& options, bool samplesGiven) {
    const bool full = options.mode == RenderMode::Full;
    if (!full && (options.width > MAX_RENDER_SIDE || options.height > MAX_RENDER_SIDE))
        return "--size: " + pictureSize(options) + " needs --mode full for sides above 8192";
    if (samplesGiven && !full) return "--samples needs --mode full";
    if (options.region) {
        const std::string region = std::to_string(options.regionX0) + "," + std::to_string(options.regionY0) + "," +
                                   std::to_string(options.regionX1) + "," + std::to_string(options.regionY1);
        if (!full) return "--region needs --mode full";
        if (options.regionX1 < options.regionX0 || options.regionY1 < options.regionY0)
            return "--region: " + region + " is reversed";
        if (options.regionX1 == options.regionX0 || options.regionY1 == options.regionY0)
            return "--region: " + region + " is empty";
        if (options.regionX1 > options.width || options.regionY1 > options.height)
            return "--region: " + region + " is outside the " + pictureSize(options) + " picture";
    }
    if (options.frameRange) {
        if (options.animateFrames == 0) return "--frame-range needs --animate";
        if (options.firstFrame > options.lastFrame || options.lastFrame >= options.animateFrames)
            return "--frame-range: " + std::to_string(options.firstFrame) + "-" + std::to_string(options.lastFrame) +
                   " is not within frames 0-" + std::to_string(options.animateFrames - 1);
    }
    const int pictureWidth = options.region ? options.regionX1 - options.regionX0 : options.width;
    const int pictureHeight = options.region ? options.regionY1 - options.regionY0 : options.height;
    if (options.pick && (options.pickX >= pictureWidth || options.pickY >= pictureHeight))
        return "--pick: " + std::to_string(options.pickX) + "," + std::to_string(options.pickY) + " is outside the " +
               std::to_string(pictureWidth) + "x" + std::to_string(pictureHeight) + " picture";
    return "";
}

// A flag of the program: true when it is one (and sets it).
bool readFlag(Program program, std::string_view name, Options& options) {
    bool* flag = nullptr;
    if (name == "--flat-unions") flag = &options.flatUnions;
    else if (name == "--quiet") flag = &options.quiet;
    else if (name == "--help") flag = &options.help;
    else if (name == "--version") flag = &options.version;
    else if (program == Program::Render && name == "--border") flag = &options.border;
    else if (program == Program::Render && name == "--report") flag = &options.report;
    if (flag) *flag = true;
    if (program == Program::Window && (name == "--no-reload" || name == "--no-refine")) {
        (name == "--no-reload" ? options.reload : options.refine) = false;
        return true;
    }
    return flag != nullptr;
}

}  // namespace

std::string parseOptions(Program program, int argc, const char* const* argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        bool glutValue = false;
        if (readFlag(program, name, options)) {
            if (options.version) return "";  // answered at once, whatever follows
            continue;
        }
        if (takesValue(program, name)) {
            if (i + 1 >= argc) return std::string(name) + " needs a value";
            const std::string_view value = argv[++i];
            const std::string problem = program == Program::Render ? renderValue(name, value, options)
                                                                   : windowValue(name, value, options);
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
    const bool samplesGiven = options.samples > 0;
    if (!samplesGiven) options.samples = program == Program::Window ? DEFAULT_WINDOW_SAMPLES : 1;
    if (program == Program::Window) return "";
    if (options.animateFrames > 0 && !options.frameRange) options.lastFrame = options.animateFrames - 1;
    return checkRenderCombination(options, samplesGiven);
}

std::string usageText(Program program) {
    if (program == Program::Window)
        return std::string("usage: quadray [options] [FILE]\n") + COMMON_OPTIONS + WINDOW_OPTIONS;
    return std::string("usage: quadray-render [options] [FILE]\n") + COMMON_OPTIONS + RENDER_OPTIONS;
}
