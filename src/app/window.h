// The freeglut window and its event loop.
#pragma once

struct Presenter;

inline constexpr int WINDOW_WIDTH = 640;
inline constexpr int WINDOW_HEIGHT = 480;
inline constexpr const char* WINDOW_TITLE = "A basic glut example";

// Initialises freeglut with the command line, opens the window and registers the
// callbacks; nothing is drawn until the event loop runs.
void openWindow(int* argc, char** argv);
// The presenter that draws into the window.
Presenter& windowPresenter();
// Hands control to freeglut for good: the process ends from a callback or on closing.
[[noreturn]] void runEventLoop();
