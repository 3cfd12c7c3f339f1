// The command lines of both programs, read by one parser: what to load, how to trace it,
// and for quadray-render what to draw and write.
#pragma once

#include <string>
#include <vector>

#include "render/shading.h"

enum class Program { Window, Render };
enum class RenderMode { Quad, Full, Frameless };

inline constexpr int MAX_RENDER_SIDE = 8192;       // pixels; keeps the sample grid in memory
inline constexpr int MAX_FULL_TRACE_SIDE = 16384;  // pixels; full traces this large go out in bands
inline constexpr int MAX_SAMPLES = 256;            // rays per pixel
inline constexpr int DEFAULT_WINDOW_SAMPLES = 16;  // what a still view in the window is refined to
inline constexpr int MAX_DEPTH = 20;               // bounces; each may split a ray in two
inline constexpr int MAX_RENDER_QUALITY = 1000;    // far past the level where quads stop splitting
inline constexpr int DEFAULT_BATCHES = 100;        // frameless batches standing in for one time budget
inline constexpr int MAX_THREADS = 1024;

struct Options {
    // Both programs.
    std::string directory;          // --dir; empty: the working directory
    std::string sceneFile;          // FILE: one file is the whole scene; empty: the three files
    int threads = 0;                // --threads; 0: each program's default
    bool flatUnions = false;        // --flat-unions: unions stay as written
    bool quiet = false;             // --quiet: no warnings about the scene, no progress
    bool help = false;              // --help
    bool version = false;           // --version
    int samples = 0;                // --samples: rays per pixel; 0 before parsing, then 16 (window) or 1
    int depth = DEFAULT_TRACE_DEPTH;  // --depth: reflection and refraction bounces

    // quadray.
    bool reload = true;                      // off with --no-reload
    bool refine = true;                      // off with --no-refine: a still view is not refined
    double duration = 10;                    // --duration: seconds the animation's clock takes from 0 to 1
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
    bool pick = false;              // --pick X,Y: describe what pixel (X, Y) shows, from the top left
    int pickX = 0;
    int pickY = 0;
    int animateFrames = 0;          // --animate N; 0: no animation
    bool frameRange = false;        // --frame-range A-B was given
    int firstFrame = 0;             // within 0 .. animateFrames - 1
    int lastFrame = 0;              // animateFrames - 1 unless --frame-range narrows it
    bool region = false;            // --region X0,Y0,X1,Y1: only that rectangle, from the top left
    int regionX0 = 0;
    int regionY0 = 0;
    int regionX1 = 0;               // not included
    int regionY1 = 0;               // not included
};

// Reads argv[1..argc-1] into options. Returns an empty string when every argument was
// understood, otherwise one line naming the argument and what is wrong with it.
std::string parseOptions(Program program, int argc, const char* const* argv, Options& options);

// The usage text for --help and after a refused command line, ending with a newline.
std::string usageText(Program program);
