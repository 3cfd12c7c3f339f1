// Keeps every drawing request as a record.
#include "render/recording_presenter.h"

#include <algorithm>

#include "render/shading.h"

static RecordedVertex vertexOf(const Sample& sample, const Vector3& colour) {
    return {sample.column, sample.row, colour};
}

RecordedCall& RecordingPresenter::add(DrawCall kind) {
    calls.push_back({});
    calls.back().kind = kind;
    return calls.back();
}

int RecordingPresenter::count(DrawCall kind) const {
    return static_cast<int>(
        std::count_if(calls.begin(), calls.end(), [kind](const RecordedCall& c) { return c.kind == kind; }));
}

void RecordingPresenter::fan(const Sample* const* samples, int count) {
    RecordedCall& call = add(DrawCall::Fan);
    for (int i = 0; i < count; ++i) call.vertices.push_back(vertexOf(*samples[i], samples[i]->colour));
}

void RecordingPresenter::flatQuad(const Vector3& colour, const Sample& a, const Sample& b, const Sample& c,
                                  const Sample& d) {
    RecordedCall& call = add(DrawCall::FlatQuad);
    call.colour = colour;
    for (const Sample* s : {&a, &b, &c, &d}) call.vertices.push_back(vertexOf(*s, colour));
}

void RecordingPresenter::beginPoints() { add(DrawCall::BeginPoints); }

void RecordingPresenter::point(const Sample& sample, const Vector3& colour) {
    RecordedCall& call = add(DrawCall::Point);
    call.colour = colour;
    call.vertices.push_back(vertexOf(sample, colour));
}

void RecordingPresenter::endPoints() { add(DrawCall::EndPoints); }

void RecordingPresenter::text(int x, int y, const char* text, const Vector3& colour) {
    RecordedCall& call = add(DrawCall::Text);
    call.vertices.push_back({x, y, colour});
    call.colour = colour;
    call.text = text;
}

void RecordingPresenter::setPointSize(double size) { add(DrawCall::PointSize).value = size; }
void RecordingPresenter::setPointSmoothing(bool smooth) { add(DrawCall::PointSmoothing).value = smooth; }
void RecordingPresenter::setPolygonFill(bool fill) { add(DrawCall::PolygonFill).value = fill; }
void RecordingPresenter::setDrawBuffer(bool front) { add(DrawCall::DrawBuffer).value = front; }
void RecordingPresenter::disableDepthTest() { add(DrawCall::DepthTestOff); }
void RecordingPresenter::clear() { add(DrawCall::Clear); }
void RecordingPresenter::swapBuffers() { add(DrawCall::Swap); }
void RecordingPresenter::flush() { add(DrawCall::Flush); }

void RecordingPresenter::reshape(int width, int height) {
    RecordedCall& call = add(DrawCall::Reshape);
    call.width = width;
    call.height = height;
}
