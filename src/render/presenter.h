// The drawing operations the renderers and the input handling need from the display, so
// that all rendering logic stays free of OpenGL: a window, an offscreen context or a
// recorder for tests can stand behind it.
#pragma once

#include "math/vector.h"

struct Sample;

// Grid positions are pixel corners; one unit of the projection is one pixel.
struct Presenter {
    virtual ~Presenter() = default;

    // Gouraud-shaded triangle fan through the count samples, each vertex in its sample's colour.
    virtual void fan(const Sample* const* samples, int count) = 0;
    // One quad through the four samples in the order given, in one colour; an outline in
    // line polygon mode.
    virtual void flatQuad(const Vector3& colour, const Sample& a, const Sample& b, const Sample& c,
                          const Sample& d) = 0;
    virtual void beginPoints() = 0;
    virtual void point(const Sample& sample, const Vector3& colour) = 0;
    virtual void endPoints() = 0;
    // Bitmap text whose lower left corner is at (x, y).
    virtual void text(int x, int y, const char* text, const Vector3& colour) = 0;

    virtual void setPointSize(double size) = 0;
    virtual void setPointSmoothing(bool smooth) = 0;
    // Fill polygons, or outline them, on both faces.
    virtual void setPolygonFill(bool fill) = 0;
    // The front buffer shows every point at once; the back buffer waits for a swap.
    virtual void setDrawBuffer(bool front) = 0;
    virtual void disableDepthTest() = 0;
    virtual void clear() = 0;

    // End of a quad frame: show the back buffer.
    virtual void swapBuffers() = 0;
    // End of a frameless frame: push the points drawn into the front buffer.
    virtual void flush() = 0;

    // Viewport of width by height pixels and a projection with one unit per pixel, y upwards.
    virtual void reshape(int width, int height) = 0;
};
