// OpenGL drawing of fans, quads, points and text, and the pixel-exact projection.
#include "render/presenter_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>

#include "render/shading.h"

// Colours are not clamped by the tracer; OpenGL clamps them to 0..1 here.
static void colour3(const Vector3& c) {
    glColor3f(static_cast<GLfloat>(c.x), static_cast<GLfloat>(c.y), static_cast<GLfloat>(c.z));
}

static void vertex(const Sample& s) { glVertex2i(s.column, s.row); }

// Vertices gathered before the fans are drawn: enough that the cost of a draw call no longer
// counts, few enough that drawing starts while later pieces are still being traced.
static constexpr std::size_t FAN_BATCH_VERTICES = 6 * 1024;

// A colour as OpenGL shades with it: in single precision, clamped to 0..1 (NaN stays NaN, so
// it never equals anything).
static std::array<GLfloat, 3> shadedColour(const Vector3& c) {
    const auto clamp = [](double v) { return std::clamp(static_cast<GLfloat>(v), 0.0F, 1.0F); };
    return {clamp(c.x), clamp(c.y), clamp(c.z)};
}

static constexpr std::array<GLfloat, 3> BLACK{0, 0, 0};

// Each glBegin-glEnd pair is a draw of its own for the driver. One indexed draw of the same
// triangles, each with its vertices in the order the driver cuts a fan into (the centre, then
// the two outer vertices), gives the same pixels with about a tenth fewer instructions.
//
// The driver's cost goes with the number of triangles. A fan whose vertices all shade to one
// colour fills its outline with that colour whichever way the outline is cut, so it is drawn
// as the two triangles of its outline; one in black is not drawn at all when the frame started
// with a clear to black. The closing vertex of an outline is the first one again.
void GlPresenter::fan(const Sample* const* samples, int count) {
    if (!drawnSinceShown && filling) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        clearedToBlack = true;
    }
    drawnSinceShown = true;
    const std::array<GLfloat, 3> colour = shadedColour(samples[0]->colour);
    const bool oneColour = filling && std::all_of(samples + 1, samples + count, [&](const Sample* s) {
                               return shadedColour(s->colour) == colour;
                           });
    if (oneColour && clearedToBlack && colour == BLACK) return;
    const bool closed = count > 3 && samples[count - 1] == samples[1];
    // The hub is the first vertex of every triangle: the centre, or the outline's first vertex.
    const int hub = oneColour ? 1 : 0;
    // The vertices stored run from the hub to the last one before a closing repeat; the
    // triangles end on the closing vertex, except round an outline cut from its first vertex.
    const int lastStored = closed ? count - 2 : count - 1;
    const int last = closed && oneColour ? count - 2 : count - 1;
    const auto first = static_cast<unsigned>(positions.size() / 2);
    for (int i = hub; i <= lastStored; ++i) {
        const Sample& s = *samples[i];
        positions.insert(positions.end(), {s.column, s.row});
        colours.insert(colours.end(), {static_cast<GLfloat>(s.colour.x), static_cast<GLfloat>(s.colour.y),
                                       static_cast<GLfloat>(s.colour.z)});
    }
    // Vertex i of the fan, the closing one taking the outline's first.
    const auto index = [&](int i) { return first + static_cast<unsigned>((closed && i == count - 1 ? 1 : i) - hub); };
    for (int i = hub + 2; i <= last; ++i) triangles.insert(triangles.end(), {index(hub), index(i - 1), index(i)});
    if (positions.size() / 2 >= FAN_BATCH_VERTICES) drawFans();
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

// Drawing other than fans: the fans gathered so far go first.
void GlPresenter::drawOther() {
    drawFans();
    drawnSinceShown = true;
}

void GlPresenter::flatQuad(const Vector3& colour, const Sample& a, const Sample& b, const Sample& c,
                           const Sample& d) {
    drawOther();
    colour3(colour);
    glBegin(GL_QUADS);
    vertex(a);
    vertex(b);
    vertex(c);
    vertex(d);
    glEnd();
}

void GlPresenter::beginPoints() {
    drawOther();
    glBegin(GL_POINTS);
}

void GlPresenter::point(const Sample& sample, const Vector3& colour) {
    colour3(colour);
    vertex(sample);
}

void GlPresenter::endPoints() { glEnd(); }

void GlPresenter::text(int x, int y, const char* text, const Vector3& colour) {
    drawOther();
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
    filling = fill;
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
    drawOther();
    glClear(GL_COLOR_BUFFER_BIT);
}

// The next frame starts on a buffer of unknown content.
void GlPresenter::startNextFrame() {
    drawFans();
    drawnSinceShown = false;
    clearedToBlack = false;
}

void GlPresenter::swapBuffers() {
    startNextFrame();
    if (hooks.swapBuffers) hooks.swapBuffers();
}

void GlPresenter::flush() {
    startNextFrame();
    glFlush();
}

void GlPresenter::reshape(int width, int height) {
    startNextFrame();
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, width, 0, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
