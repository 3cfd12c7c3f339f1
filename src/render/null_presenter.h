// A presenter that draws nothing, for runs that only trace: headless timing and counting
// without a picture to show.
#pragma once

#include "render/presenter.h"

struct NullPresenter : Presenter {
    void fan(const Sample* const*, int) override {}
    void flatQuad(const Vector3&, const Sample&, const Sample&, const Sample&, const Sample&) override {}
    void beginPoints() override {}
    void point(const Sample&, const Vector3&) override {}
    void endPoints() override {}
    void text(int, int, const char*, const Vector3&) override {}
    void setPointSize(double) override {}
    void setPointSmoothing(bool) override {}
    void setPolygonFill(bool) override {}
    void setDrawBuffer(bool) override {}
    void disableDepthTest() override {}
    void clear() override {}
    void swapBuffers() override {}
    void flush() override {}
    void reshape(int, int) override {}
};
