// A window-less OpenGL context for the headless renderer: Mesa's surfaceless EGL platform and
// a framebuffer object that stands in for the window's colour buffers.
#pragma once

#include "app/png_image.h"

// Makes a compatibility-profile context current, with a width x height colour framebuffer,
// cleared to black, bound for drawing and reading. Exits with status 1 and a message on
// standard error when no such context can be had. Like the window's, the context lives until
// the process ends: tearing it down unloads the driver, which leaves some of its memory behind.
void createOffscreenContext(int width, int height);

// Waits for drawing to finish and reads the framebuffer back.
RgbImage readOffscreenImage();
