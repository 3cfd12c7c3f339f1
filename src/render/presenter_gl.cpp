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
