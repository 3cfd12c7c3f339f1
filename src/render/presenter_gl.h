// The presenter that draws with OpenGL 1.1 into the current context: fans collected into one
// indexed triangle list, everything else in immediate mode.
#pragma once

#include <vector>

#include "render/presenter.h"

// Bitmap fonts and buffer swaps belong to the window toolkit, not to OpenGL: whoever owns
// the context fills these hooks (an offscreen context may leave them empty).
struct GlContextHooks {
    void (*bitmapText)(const char* text) = nullptr;  // at the current raster position
    void (*swapBuffers)() = nullptr;
};

struct GlPresenter : Presenter {
    GlContextHooks hooks;

    void fan(const Sample* const* samples, int count) override;
    void flatQuad(const Vector3& colour, const Sample& a, const Sample& b, const Sample& c,
                  const Sample& d) override;
    void beginPoints() override;
    void point(const Sample& sample, const Vector3& colour) override;
    void endPoints() override;
    void text(int x, int y, const char* text, const Vector3& colour) override;
    void setPointSize(double size) override;
    void setPointSmoothing(bool smooth) override;
    void setPolygonFill(bool fill) override;
    void setDrawBuffer(bool front) override;
    void disableDepthTest() override;
    void clear() override;
    void swapBuffers() override;
    void flush() override;
    void reshape(int width, int height) override;

protected:
    // Draws the fans gathered so far; whoever draws into the context on its own calls it first.
    void drawFans();

private:
    // Fans not drawn yet, as the triangles OpenGL cuts a fan into; drawn before any other call
    // and whenever FAN_BATCH_VERTICES have gathered. Kept between frames, so drawing allocates
    // nothing once the largest batch has been seen.
    std::vector<int> positions;  // x, y per vertex
    std::vector<float> colours;  // r, g, b per vertex
    std::vector<unsigned> triangles;
    // Whether anything was drawn since the last swap, flush or reshape, and whether that was
    // a clear to black before the first fan; polygons are filled, not outlined.
    bool drawnSinceShown = false;
    bool clearedToBlack = false;
    bool filling = true;

    void drawOther();
    void startNextFrame();
};
