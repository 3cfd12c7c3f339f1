// The frameless renderer: random grid samples traced for a fixed time per frame and drawn
// at once as points into the front buffer.
#pragma once

#include <cstdint>

#include "base/statistics.h"

struct Presenter;

// One thirtieth of a second.
inline constexpr double FRAME_BUDGET_MS = 33.333333333333336;
// Samples between two readings of the clock.
inline constexpr int SAMPLE_BATCH = 100;
// Batches each thread traces between two readings of the clock when several threads share
// the frame; with one thread the clock is read after every batch.
inline constexpr int BATCHES_PER_THREAD = 8;

// Batches per frame in place of the time budget when positive, so that a headless run draws
// the same samples every time; 0 (the window) keeps the budget.
extern int framelessBatchLimit;

// Puts the generator back to its fixed seeds, so every run picks the same samples.
void seedRandom();
// The next value of the combined Tausworthe generator (taus88).
std::uint32_t nextRandom();

// Picks batches of random samples in order, traces them on every thread of the pool, then
// draws each batch as points at the quality level's point size.
void drawRandomSamples(Presenter& presenter, int batches = 1);

// Draws batches until the budget since frameStart is spent (or the batch limit is reached),
// then sets the frame figures.
void framelessFrame(Presenter& presenter, std::uint32_t frameStart, Counter raysBefore);

// Whole-window images per second that the points of a frame amount to.
double framelessRayRate(int level, int rays, double elapsedMs, int width, int height);
