// Refinement of a still view: what the picture depends on, and passes that trace every pixel
// once more and average, in steps short enough to keep the window answering.
#pragma once

#include <cstdint>
#include <vector>

#include "render/camera.h"
#include "render/supersample.h"

// Refinement is wanted (the a key switches it, --no-refine starts it off); the samples per pixel
// it stops at (--samples).
extern int refineEnabled;
extern int refineSamples;
inline constexpr int DEFAULT_REFINE_SAMPLES = 16;

// Everything the picture on screen depends on. Whatever changes one of these starts again
// from a quad frame; the readout and the frame line (h, s) do not count.
struct ViewState {
    Camera camera;
    int gridWidth = 0, gridHeight = 0;
    int frameless = 0, qualityLevel = 0, fillPolygons = 0, borderMode = 0, objectCountView = 0;
    int refineEnabled = 0;
    unsigned sceneGeneration = 0;

    bool operator==(const ViewState& other) const;
    bool operator!=(const ViewState& other) const { return !(*this == other); }
};

ViewState currentView();
// A new scene is in place (reloaded, or read again for a new clock value): the view changed.
void noteNewScene();
// Refinement draws the plain filled quad view only: frameless points, the wire frame, marked
// borders and object counts are left as the renderers draw them.
bool refinementApplies();

// One picture being refined, a pass of one more sample per pixel at a time. The sums hold the
// whole passes; the pass under way adds to the rows below nextRow.
struct Refinement {
    int samples = 1;                    // samples per pixel when done
    PixelSums sums;                     // sums.samples: the whole passes
    int nextRow = 0;
    // The average of the whole passes: 3 bytes per pixel, rows from the bottom.
    std::vector<std::uint8_t> picture;
    // Primary rays and milliseconds spent tracing: of the pass under way, and of the last
    // whole one.
    long long raysSoFar = 0, passRays = 0;
    std::uint32_t msSoFar = 0, passMs = 0;
};

// Starts a refinement of width × height pixels up to samples per pixel; keeps the memory
// of an earlier one of the same size.
void startRefinement(Refinement& refinement, int width, int height, int samples);
// Traces rows of the pass under way on every thread of the pool until budgetMs have passed
// or the pass is whole; true when this call finished a pass.
bool refineFor(Refinement& refinement, std::uint32_t budgetMs);
bool refinementDone(const Refinement& refinement);
// Runs every pass at once.
void refineCompletely(Refinement& refinement);
