// A presenter that draws nothing and keeps a list of what it was asked to draw, so that
// the renderers can be checked without a display.
#pragma once

#include <string>
#include <vector>

#include "render/presenter.h"

enum class DrawCall {
    Fan,
    FlatQuad,
    BeginPoints,
    Point,
    EndPoints,
    Text,
    PointSize,
    PointSmoothing,
    PolygonFill,
    DrawBuffer,
    DepthTestOff,
    Clear,
    Swap,
    Flush,
    Reshape,
};

struct RecordedVertex {
    int column = 0;
    int row = 0;
    Vector3 colour;
};

struct RecordedCall {
    DrawCall kind = DrawCall::Clear;
    std::vector<RecordedVertex> vertices;  // fan, quad and point vertices; the text position
    Vector3 colour;                        // flat quad, point and text colour
    std::string text;
    double value = 0;                      // point size; 1 or 0 for the switches
    int width = 0, height = 0;             // reshape
};

struct RecordingPresenter : Presenter {
    std::vector<RecordedCall> calls;

    int count(DrawCall kind) const;

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

private:
    RecordedCall& add(DrawCall kind);
};
