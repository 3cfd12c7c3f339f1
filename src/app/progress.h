// The progress line of long runs of quadray-render: share done, time so far and time left, on
// standard error when it is a terminal.
#pragma once

#include <functional>

// Starts watching shareDone (0 to 1, read from another thread, so it must read only atomics).
// Once the run has taken a second, a line is drawn on standard error and redrawn ten times a
// second at most. Does nothing unless shown.
void startProgress(bool shown, std::function<double()> shareDone);

// Stops watching and clears the line, so that whatever is printed next starts a clean line.
void stopProgress();
