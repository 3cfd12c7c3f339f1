// What one piece of a frame asks the display to draw, recorded by the thread that traced the
// piece and drawn later, in frame order, by the thread that owns the display.
#pragma once

#include <string>
#include <vector>

#include "render/presenter.h"

// The samples are kept by address: a frame traces each sample once, so its colour is final by
// the time the list is drawn. Cleared lists keep their memory, so frames after the first
// allocate nothing.
struct DrawList : Presenter {
    enum class Op : unsigned char {
        Fan, FlatQuad, BeginPoints, Point, EndPoints, Text, PointSize, PointSmoothing, PolygonFill,
        DrawBuffer, DepthTestOff, Clear, Swap, Flush, Reshape,
    };
    struct Entry {
        Op op = Op::Clear;
        int first = 0;   // first vertex in vertices
        int count = 0;   // vertices
        int detail = -1; // index in details, for the calls that carry more than vertices
    };
    struct Detail {
        Vector3 colour;
        double value = 0;  // point size; 1 or 0 for the switches
        int x = 0, y = 0;  // text position; reshape size
        int label = 0;     // start of the text in labels
    };

    std::vector<Entry> entries;
    std::vector<const Sample*> vertices;
    std::vector<Detail> details;
    std::string labels;  // texts, each ended by a zero byte

    // Empties the list, keeping its memory (clear() is the recorded call).
    void reset();
    // Makes the recorded calls first .. last - 1 on presenter, in order.
    void replay(Presenter& presenter, std::size_t first, std::size_t last) const;
    void replay(Presenter& presenter) const { replay(presenter, 0, entries.size()); }

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
    void add(Op op, std::initializer_list<const Sample*> samples = {});
    Detail& addDetail(Op op, std::initializer_list<const Sample*> samples = {});
};
