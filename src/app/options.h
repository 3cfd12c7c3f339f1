// The command lines of both programs, read by one parser: what to load, how to trace it,
// and for quadray-render what to draw and write.
#pragma once

#include <string>
#include <vector>

enum class Program { Window, Render };
enum class RenderMode { Quad, Full, Frameless };

inline constexpr int MAX_RENDER_SIDE = 8192;       // pixels; keeps the sample grid in memory
inline constexpr int MAX_RENDER_QUALITY = 1000;    // far past the level where quads stop splitting
inline constexpr int DEFAULT_BATCHES = 100;        // frameless batches standing in for one time budget
inline constexpr int MAX_THREADS = 1024;

struct Options {
    // Both programs.
    std::string directory;          // --dir; empty: the working directory
    std::string sceneFile;          // FILE: one file is the whole scene; empty: the three files
    int threads = 0;                // --threads; 0: each program's default
    bool flatUnions = false;        // --flat-unions: unions stay as written
    bool quiet = false;             // --quiet: no warnings about the scene
    bool help = false;              // --help

    // quadray.
    bool reload = true;                      // off with --no-reload
    std::vector<std::string> glutArguments;  // freeglut's own options, in the order given

    // quadray-render.
    int width = 640;                // window size in pixels; the grid is one larger
    int height = 480;
    int qualityLevel = 1;
    RenderMode mode = RenderMode::Quad;
    int frames = 1;
    int batches = DEFAULT_BATCHES;  // frameless batches per frame
    double cameraMove = 0;          // in lengths of the camera direction
    bool border = false;
    std::string outFile;            // empty: no picture is written
    bool report = false;
};

// Reads argv[1..argc-1] into options. Returns an empty string when every argument was
// understood, otherwise one line naming the argument and what is wrong with it.
std::string parseOptions(Program program, int argc, const char* const* argv, Options& options);

// The usage text for --help and after a refused command line, ending with a newline.
std::string usageText(Program program);
