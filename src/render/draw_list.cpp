// Recording drawing calls into flat arrays and making them again on a real display.
#include "render/draw_list.h"

void Presenter::draw(const DrawList& list) { list.replay(*this); }

void DrawList::reset() {
    entries.clear();
    vertices.clear();
    details.clear();
    labels.clear();
}

void DrawList::add(Op op, std::initializer_list<const Sample*> samples) {
    entries.push_back({op, static_cast<int>(vertices.size()), static_cast<int>(samples.size()), -1});
    vertices.insert(vertices.end(), samples.begin(), samples.end());
}

DrawList::Detail& DrawList::addDetail(Op op, std::initializer_list<const Sample*> samples) {
    add(op, samples);
    entries.back().detail = static_cast<int>(details.size());
    return details.emplace_back();
}

void DrawList::fan(const Sample* const* samples, int count) {
    entries.push_back({Op::Fan, static_cast<int>(vertices.size()), count, -1});
    vertices.insert(vertices.end(), samples, samples + count);
}

void DrawList::flatQuad(const Vector3& colour, const Sample& a, const Sample& b, const Sample& c,
                        const Sample& d) {
    addDetail(Op::FlatQuad, {&a, &b, &c, &d}).colour = colour;
}

void DrawList::beginPoints() { add(Op::BeginPoints); }

void DrawList::point(const Sample& sample, const Vector3& colour) { addDetail(Op::Point, {&sample}).colour = colour; }

void DrawList::endPoints() { add(Op::EndPoints); }

void DrawList::text(int x, int y, const char* text, const Vector3& colour) {
    Detail& detail = addDetail(Op::Text);
    detail.colour = colour;
    detail.x = x;
    detail.y = y;
    detail.label = static_cast<int>(labels.size());
    labels.append(text);
    labels.push_back('\0');
}

void DrawList::setPointSize(double size) { addDetail(Op::PointSize).value = size; }

void DrawList::setPointSmoothing(bool smooth) { addDetail(Op::PointSmoothing).value = smooth; }

void DrawList::setPolygonFill(bool fill) { addDetail(Op::PolygonFill).value = fill; }

void DrawList::setDrawBuffer(bool front) { addDetail(Op::DrawBuffer).value = front; }

void DrawList::disableDepthTest() { add(Op::DepthTestOff); }

void DrawList::clear() { add(Op::Clear); }

void DrawList::swapBuffers() { add(Op::Swap); }

void DrawList::flush() { add(Op::Flush); }

void DrawList::reshape(int width, int height) {
    Detail& detail = addDetail(Op::Reshape);
    detail.x = width;
    detail.y = height;
}

void DrawList::replay(Presenter& presenter, std::size_t first, std::size_t last) const {
    for (std::size_t i = first; i < last; ++i) {
        const Entry& entry = entries[i];
        const Sample* const* v = vertices.data() + entry.first;
        const Detail* d = entry.detail >= 0 ? &details[static_cast<std::size_t>(entry.detail)] : nullptr;
        switch (entry.op) {
            case Op::Fan: presenter.fan(v, entry.count); break;
            case Op::FlatQuad: presenter.flatQuad(d->colour, *v[0], *v[1], *v[2], *v[3]); break;
            case Op::BeginPoints: presenter.beginPoints(); break;
            case Op::Point: presenter.point(*v[0], d->colour); break;
            case Op::EndPoints: presenter.endPoints(); break;
            case Op::Text: presenter.text(d->x, d->y, labels.c_str() + d->label, d->colour); break;
            case Op::PointSize: presenter.setPointSize(d->value); break;
            case Op::PointSmoothing: presenter.setPointSmoothing(d->value != 0); break;
            case Op::PolygonFill: presenter.setPolygonFill(d->value != 0); break;
            case Op::DrawBuffer: presenter.setDrawBuffer(d->value != 0); break;
            case Op::DepthTestOff: presenter.disableDepthTest(); break;
            case Op::Clear: presenter.clear(); break;
            case Op::Swap: presenter.swapBuffers(); break;
            case Op::Flush: presenter.flush(); break;
            case Op::Reshape: presenter.reshape(d->x, d->y); break;
        }
    }
}
