// Keys, mouse steering, keyboard flying, saved pictures, the readout and the per-frame report:
// what the window's input callbacks do.
#pragma once

#include <string>
#include <vector>

struct Presenter;
struct RgbImage;
struct Refinement;

// The idle handler prints its frame report while this is set.
extern int printStatistics;
// The readout of frame figures drawn over the picture while this is set.
extern int showOverlay;
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

// Special keys as freeglut numbers them.
inline constexpr int KEY_F2 = 2;
inline constexpr int KEY_F3 = 3;
inline constexpr int KEY_LEFT = 100;
inline constexpr int KEY_UP = 101;
inline constexpr int KEY_RIGHT = 102;
inline constexpr int KEY_DOWN = 103;
inline constexpr int KEY_PAGE_UP = 104;
inline constexpr int KEY_PAGE_DOWN = 105;
inline constexpr int KEY_HOME = 106;
inline constexpr int KEY_END = 107;

// One press of Left or Right turns the view by this much about the camera's up vector.
inline constexpr double TURN_STEP = 5 * 0.017453292519943295;

// The keys and mouse actions, for --help.
extern const char* const KEYS_HELP;

// A key was let go: single-key commands act on release.
void keyReleased(Presenter& presenter, unsigned char key);
// A special key went down, or repeats while held: the flying keys take one step each time.
void specialKeyPressed(int key);
// A button went down (pressed) or up at window pixel x, y (y counted from the top).
void mouseButton(int button, bool pressed, int x, int y);
// The mouse moved to x, y with a button held: rotate or move the camera.
void mouseMoved(int x, int y);
// Keeps the camera as it is now as the one r returns to; called once the renderer is set up.
void rememberStartCamera();
// The idle handler's line about the last frame.
void printFrameReport();
// The line about a refining pass just finished, and the one saying the picture is done.
void printRefineReport(const Refinement& refinement);

// The first quadray-NNNN.png in the working directory that does not exist yet.
std::string nextPictureName();
// Writes the picture under the next free name and prints "saved NAME"; a picture that cannot
// be written gets one line on standard error, and the program goes on.
void savePicture(const RgbImage& picture);
// Saves the average of a refinement's whole passes.
void saveRefinedPicture(const Refinement& refinement);
// Traces the current view at the window's size with refineSamples samples per pixel and
// saves the picture.
void saveFullTrace();

// The readout's lines: frames per second, the last frame's rays and quads, quality,
// renderer, threads and the samples per pixel of a refined picture (0: none shown).
std::vector<std::string> overlayLines(double framesPerSecond, int threads, int samplesPerPixel);
