// The per-frame procedure that picks a renderer, the window-size handling, and the
// display state that the keys change.
#pragma once

#include <cstdint>
#include <functional>

struct Presenter;

// Display flags, used as booleans.
extern int fillPolygons;     // quad leaves filled; off: outlined
extern int borderMode;       // borders between objects shown in white
extern int objectCountView;  // quads show the number of objects
extern int frameless;        // the frameless renderer draws the frames

// 1 at start; + lowers it (never below 0), - raises it without bound.
extern int qualityLevel;
// Primary rays traced by the last frame.
extern int raysThisFrame;
// Frames (or whole-window equivalents in frameless mode) per second of the last frame.
extern double rayFrameRate;

// The display callback: one frame with the chosen renderer.
void renderFrame(Presenter& presenter);

// The per-pixel reference: every sample of the grid traced once, row by row from the
// bottom; counts as a frame.
void traceFullFrame();

// Pictures up to this many pixels a side are traced whole on the sample grid, in the order
// above; larger ones, and parts of pictures, are traced in bands of rows to bound the memory.
inline constexpr int GRID_TRACE_SIDE = 4096;

// A full trace of a picture, or of a rectangle of it, with rays per pixel averaged.
struct FullTrace {
    int width = 640;  // the whole picture
    int height = 480;
    int left = 0;     // the rectangle, counted from the top left; right and bottom not included
    int top = 0;
    int right = 640;
    int bottom = 480;
    int samples = 1;  // rays per pixel
};

// Whether the trace goes through the sample grid, which reshapeWindow must then have made
// for the picture's size; otherwise only the camera needs fitting to it.
bool tracesWholeGrid(const FullTrace& trace);
// What sampleRowsTraced grows by during the trace.
long long fullTraceRows(const FullTrace& trace);

// Takes count rows of the picture, 3 bytes per pixel, top row first.
using PictureRows = std::function<void(const std::uint8_t* rows, int count)>;

// Traces the picture and hands its rows over band by band from the top: pixel for pixel the
// same rows whether the picture is traced whole or in parts. Counts as one frame.
void traceFullPicture(const FullTrace& trace, const PictureRows& takeRows);

// A new window size: a grid one sample larger each way, a pixel-exact projection, and a
// camera as wide as the grid.
void reshapeWindow(Presenter& presenter, int width, int height);
// The camera part of that alone, for pictures traced in bands without a grid.
void fitCameraToWindow(int width, int height);
