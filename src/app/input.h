// Keys, mouse steering and the per-frame report: what the window's input callbacks do.
#pragma once

struct Presenter;

// The idle handler prints its frame report while this is set.
extern int printStatistics;
// The button held: -1 none, 0 left, 1 middle, 2 right.
extern int mouseMode;
// Last mouse position, in half pixels.
extern double lastX, lastY;

inline constexpr unsigned char ESCAPE_KEY = 27;
inline constexpr int LEFT_BUTTON = 0;
inline constexpr int MIDDLE_BUTTON = 1;
inline constexpr int RIGHT_BUTTON = 2;
inline constexpr int NO_BUTTON = -1;
// The refresh rate named in the frame report.
inline constexpr int REFRESH_RATE = 30;

// The keys and mouse actions, for --help.
extern const char* const KEYS_HELP;

// A key was let go: single-key commands act on release.
void keyReleased(Presenter& presenter, unsigned char key);
// A button went down (pressed) or up at window pixel x, y (y counted from the top).
void mouseButton(int button, bool pressed, int x, int y);
// The mouse moved to x, y with a button held: rotate or move the camera.
void mouseMoved(int x, int y);
// The idle handler's line about the last frame.
void printFrameReport();
