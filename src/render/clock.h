// The millisecond tick counter that frames are timed with.
#pragma once

#include <cstdint>

// Milliseconds from a fixed start, wrapping like a 32-bit tick counter; differences of two
// readings are elapsed times.
std::uint32_t monotonicTicks();

// The clock the renderers read; tests replace it to run frames on a clock they control.
extern std::uint32_t (*readTicks)();
