// OpenGL drawing of fans, quads, points and text, and the pixel-exact projection.
#include "render/presenter_gl.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glu.h>

#include "render/draw_list.h"
#include "render/shading.h"

// Colours are not clamped by the tracer; OpenGL clamps them to 0..1 here.
static void colour3(const Vector3& c) {
    glColor3f(static_cast<GLfloat>(c.x), static_cast<GLfloat>(c.y), static_cast<GLfloat>(c.z));
}

static void vertex(const Sample& s) { glVertex2i(s.column, s.row); }

void GlPresenter::fan(const Sample* const* samples, int count) {
    glBegin(GL_TRIANGLE_FAN);
    for (int i = 0; i < count; ++i) {
        colour3(samples[i]->colour);
        vertex(*samples[i]);
    }
    glEnd();
}

void GlPresenter::flatQuad(const Vector3& colour, const Sample& a, const Sample& b, const Sample& c,
                           const Sample& d) {
    colour3(colour);
    glBegin(GL_QUADS);
    vertex(a);
    vertex(b);
    vertex(c);
    vertex(d);
    glEnd();
}

void GlPresenter::beginPoints() { glBegin(GL_POINTS); }

void GlPresenter::point(const Sample& sample, const Vector3& colour) {
    colour3(colour);
    vertex(sample);
}

void GlPresenter::endPoints() { glEnd(); }

void GlPresenter::text(int x, int y, const char* text, const Vector3& colour) {
    colour3(colour);
    glRasterPos2i(x, y);
    if (hooks.bitmapText) hooks.bitmapText(text);
}

void GlPresenter::setPointSize(double size) { glPointSize(static_cast<GLfloat>(size)); }

void GlPresenter::setPointSmoothing(bool smooth) {
    if (smooth)
        glEnable(GL_POINT_SMOOTH);
    else
        glDisable(GL_POINT_SMOOTH);
}

void GlPresenter::setPolygonFill(bool fill) { glPolygonMode(GL_FRONT_AND_BACK, fill ? GL_FILL : GL_LINE); }

void GlPresenter::setDrawBuffer(bool front) { glDrawBuffer(front ? GL_FRONT : GL_BACK); }

void GlPresenter::disableDepthTest() { glDisable(GL_DEPTH_TEST); }

void GlPresenter::clear() { glClear(GL_COLOR_BUFFER_BIT); }

void GlPresenter::swapBuffers() {
    if (hooks.swapBuffers) hooks.swapBuffers();
}

void GlPresenter::flush() { glFlush(); }

void GlPresenter::reshape(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, width, 0, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void GlPresenter::draw(const DrawList& list) {
    const std::size_t n = list.entries.size();
    for (std::size_t i = 0; i < n;) {
        std::size_t end = i + 1;
        const bool fans = list.entries[i].op == DrawList::Op::Fan;
        while (end < n && (list.entries[end].op == DrawList::Op::Fan) == fans) ++end;
        if (fans)
            drawFans(list, i, end);
        else
            list.replay(*this, i, end);
        i = end;
    }
}

// One call for a run of fans: the same primitives as one glBegin each, so the same pixels.
void GlPresenter::drawFans(const DrawList& list, std::size_t first, std::size_t last) {
    positions.clear();
    colours.clear();
    fanFirsts.clear();
    fanCounts.clear();
    int vertexCount = 0;
    for (std::size_t i = first; i < last; ++i) {
        const DrawList::Entry& entry = list.entries[i];
        fanFirsts.push_back(vertexCount);
        fanCounts.push_back(entry.count);
        vertexCount += entry.count;
        for (int v = 0; v < entry.count; ++v) {
            const Sample& s = *list.vertices[static_cast<std::size_t>(entry.first + v)];
            positions.insert(positions.end(), {s.column, s.row});
            colours.insert(colours.end(), {static_cast<GLfloat>(s.colour.x), static_cast<GLfloat>(s.colour.y),
                                           static_cast<GLfloat>(s.colour.z)});
        }
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_INT, 0, positions.data());
    glColorPointer(3, GL_FLOAT, 0, colours.data());
    glMultiDrawArrays(GL_TRIANGLE_FAN, fanFirsts.data(), fanCounts.data(), static_cast<GLsizei>(fanFirsts.size()));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}
