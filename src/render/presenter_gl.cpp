// OpenGL drawing of fans, quads, points and text, and the pixel-exact projection.
#include "render/presenter_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "render/shading.h"

// Colours are not clamped by the tracer; OpenGL clamps them to 0..1 here.
static void colour3(const Vector3& c) {
    glColor3f(static_cast<GLfloat>(c.x), static_cast<GLfloat>(c.y), static_cast<GLfloat>(c.z));
}

static void vertex(const Sample& s) { glVertex2i(s.column, s.row); }

// Vertices gathered before the fans are drawn: enough that the cost of a draw call no longer
// counts, few enough that drawing starts while later pieces are still being traced.
static constexpr std::size_t FAN_BATCH_VERTICES = 6 * 1024;

// Each glBegin-glEnd pair is a draw of its own for the driver. One indexed draw of the same
// triangles, each with its vertices in the order the driver cuts a fan into (the centre, then
// the two outer vertices), gives the same pixels with about a tenth fewer instructions.
void GlPresenter::fan(const Sample* const* samples, int count) {
    const std::size_t first = positions.size() / 2;
    const auto n = static_cast<std::size_t>(count);
    positions.resize(2 * (first + n));
    colours.resize(3 * (first + n));
    int* position = &positions[2 * first];
    float* colour = &colours[3 * first];
    for (std::size_t i = 0; i < n; ++i) {
        const Sample& s = *samples[i];
        position[2 * i] = s.column;
        position[2 * i + 1] = s.row;
        colour[3 * i] = static_cast<GLfloat>(s.colour.x);
        colour[3 * i + 1] = static_cast<GLfloat>(s.colour.y);
        colour[3 * i + 2] = static_cast<GLfloat>(s.colour.z);
    }
    const auto centre = static_cast<unsigned>(first);
    for (unsigned i = 2; i < static_cast<unsigned>(count); ++i)
        triangles.insert(triangles.end(), {centre, centre + i - 1, centre + i});
    if (first + n >= FAN_BATCH_VERTICES) drawFans();
}

void GlPresenter::drawFans() {
    if (triangles.empty()) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_INT, 0, positions.data());
    glColorPointer(3, GL_FLOAT, 0, colours.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(triangles.size()), GL_UNSIGNED_INT, triangles.data());
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    positions.clear();
    colours.clear();
    triangles.clear();
}

void GlPresenter::flatQuad(const Vector3& colour, const Sample& a, const Sample& b, const Sample& c,
                           const Sample& d) {
    drawFans();
    colour3(colour);
    glBegin(GL_QUADS);
    vertex(a);
    vertex(b);
    vertex(c);
    vertex(d);
    glEnd();
}

void GlPresenter::beginPoints() {
    drawFans();
    glBegin(GL_POINTS);
}

void GlPresenter::point(const Sample& sample, const Vector3& colour) {
    colour3(colour);
    vertex(sample);
}

void GlPresenter::endPoints() { glEnd(); }

void GlPresenter::text(int x, int y, const char* text, const Vector3& colour) {
    drawFans();
    colour3(colour);
    glRasterPos2i(x, y);
    if (hooks.bitmapText) hooks.bitmapText(text);
}

void GlPresenter::setPointSize(double size) {
    drawFans();
    glPointSize(static_cast<GLfloat>(size));
}

void GlPresenter::setPointSmoothing(bool smooth) {
    drawFans();
    if (smooth)
        glEnable(GL_POINT_SMOOTH);
    else
        glDisable(GL_POINT_SMOOTH);
}

void GlPresenter::setPolygonFill(bool fill) {
    drawFans();
    glPolygonMode(GL_FRONT_AND_BACK, fill ? GL_FILL : GL_LINE);
}

void GlPresenter::setDrawBuffer(bool front) {
    drawFans();
    glDrawBuffer(front ? GL_FRONT : GL_BACK);
}

void GlPresenter::disableDepthTest() {
    drawFans();
    glDisable(GL_DEPTH_TEST);
}

void GlPresenter::clear() {
    drawFans();
    glClear(GL_COLOR_BUFFER_BIT);
}

void GlPresenter::swapBuffers() {
    drawFans();
    if (hooks.swapBuffers) hooks.swapBuffers();
}

void GlPresenter::flush() {
    drawFans();
    glFlush();
}

void GlPresenter::reshape(int width, int height) {
    drawFans();
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, width, 0, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
