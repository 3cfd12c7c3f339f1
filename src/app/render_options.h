// Command line of the headless renderer: what to load, how large a window to imitate, which
// renderer to run for how long, and what to write afterwards.
#pragma once

#include <string>

enum class RenderMode { Quad, Full, Frameless };

inline constexpr int MAX_RENDER_SIDE = 8192;       // pixels; keeps the sample grid in memory
inline constexpr int MAX_RENDER_QUALITY = 1000;    // far past the level where quads stop splitting
inline constexpr int DEFAULT_BATCHES = 100;        // frameless batches standing in for one time budget

struct RenderOptions {
    std::string directory;          // empty: the working directory
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

// The one-line usage message, without its end of line.
extern const char* const RENDER_USAGE;

// Reads argv[1..argc-1] into options; false on an unknown option, a missing or malformed
// value, or a value out of range.
bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options);
