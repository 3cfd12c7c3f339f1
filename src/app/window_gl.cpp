// freeglut set-up and the callbacks that connect window events to the renderers and the
// input handling.
#include "app/window.h"

#include <GL/freeglut.h>

#include <cstdlib>

#include "app/input.h"
#include "render/frame.h"
#include "render/presenter_gl.h"

// Last, because Xlib defines many short macros.
#include <GL/glx.h>
#include <X11/XKBlib.h>

// freeglut's display mode for a double-buffered RGBA window.
static constexpr unsigned int DISPLAY_MODE = GLUT_RGBA | GLUT_DOUBLE;
static_assert(DISPLAY_MODE == 2);

static void bitmapText(const char* text) {
    for (const char* c = text; *c; ++c) glutBitmapCharacter(GLUT_BITMAP_8_BY_13, *c);
}

static GlPresenter windowGl;

// By default X reports a held key as a stream of release and press pairs, which would
// repeat the key's command. Detectable auto-repeat sends presses only, so the one release
// seen is the real one. freeglut's own repeat filter reads the key state when the event is
// handled, which is too late when a slow frame has queued the pairs.
static void reportOnlyRealKeyReleases() {
    if (Display* x = glXGetCurrentDisplay()) XkbSetDetectableAutoRepeat(x, True, nullptr);
}

static void display() { renderFrame(windowGl); }

static void idle() {
    printFrameReport();
    glutPostRedisplay();
}

static void keyUp(unsigned char key, int, int) { keyReleased(windowGl, key); }

static void specialKeyUp(int, int, int) {}

static void mouse(int button, int state, int x, int y) { mouseButton(button, state == GLUT_DOWN, x, y); }

static void motion(int x, int y) { mouseMoved(x, y); }

static void reshape(int width, int height) { reshapeWindow(windowGl, width, height); }

void openWindow(int* argc, char** argv) {
    glutInit(argc, argv);
    glutInitDisplayMode(DISPLAY_MODE);
    glutInitWindowSize(WINDOW_WIDTH, WINDOW_HEIGHT);
    glutCreateWindow(WINDOW_TITLE);
    windowGl.hooks = {bitmapText, glutSwapBuffers};
    glutDisplayFunc(display);
    glutIdleFunc(idle);
    glutKeyboardUpFunc(keyUp);
    glutSpecialUpFunc(specialKeyUp);
    glutMouseFunc(mouse);
    glutMotionFunc(motion);
    glutReshapeFunc(reshape);
    // A held key sends releases of its own; only the real release is a command.
    glutIgnoreKeyRepeat(1);
    reportOnlyRealKeyReleases();
    // Closing the window ends the process through exit(), so the exit report still runs.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_EXIT);
}

Presenter& windowPresenter() { return windowGl; }

void runEventLoop() {
    glutMainLoop();
    std::exit(0);
}
