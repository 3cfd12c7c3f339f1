// The per-frame procedure that picks a renderer, the window-size handling, and the
// display state that the keys change.
#pragma once

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

// A new window size: a grid one sample larger each way, a pixel-exact projection, and a
// camera as wide as the grid.
void reshapeWindow(Presenter& presenter, int width, int height);
