// freeglut set-up and the callbacks that connect window events to the renderers and the
// input handling; the readout and the saved window picture are drawn and read here.
#include "app/window.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/input.h"
#include "app/pick.h"
#include "app/png_image.h"
#include "app/reload.h"
#include "app/scene.h"
#include "base/error.h"
#include "base/scene_clock.h"
#include "base/worker_pool.h"
#include "render/clock.h"
#include "render/frame.h"
#include "render/presenter_gl.h"
#include "render/refinement.h"

// Last, because Xlib defines many short macros.
#include <GL/glx.h>
#include <X11/XKBlib.h>

// freeglut's display mode for a double-buffered RGBA window.
static constexpr unsigned int DISPLAY_MODE = GLUT_RGBA | GLUT_DOUBLE;
static_assert(DISPLAY_MODE == 2);
static_assert(KEY_F2 == GLUT_KEY_F2 && KEY_F3 == GLUT_KEY_F3 && KEY_LEFT == GLUT_KEY_LEFT && KEY_UP == GLUT_KEY_UP &&
              KEY_RIGHT == GLUT_KEY_RIGHT && KEY_DOWN == GLUT_KEY_DOWN && KEY_PAGE_UP == GLUT_KEY_PAGE_UP &&
              KEY_PAGE_DOWN == GLUT_KEY_PAGE_DOWN && KEY_HOME == GLUT_KEY_HOME && KEY_END == GLUT_KEY_END);

// The readout: figures measured over at least this long, lines of the 8 by 13 font.
static constexpr std::uint32_t FPS_INTERVAL_MS = 500;
static constexpr int OVERLAY_LINE_HEIGHT = 15;
static constexpr int OVERLAY_MARGIN = 6;
static constexpr int OVERLAY_CHAR_WIDTH = 8;
static constexpr int OVERLAY_DESCENT = 3;

static void bitmapText(const char* text) {
    for (const char* c = text; *c; ++c) glutBitmapCharacter(GLUT_BITMAP_8_BY_13, *c);
}

// A refining step leaves the event loop this often, so input is answered while a pass runs.
static constexpr std::uint32_t REFINE_STEP_MS = 40;

static int windowWidth = WINDOW_WIDTH;
static int windowHeight = WINDOW_HEIGHT;
static double framesPerSecond = 0;
static bool pictureRequested = false;

// The still view being refined: the view of the quad frame it starts from, whether that frame
// is still the one on screen, and whether its refinement has begun (its memory is set up only
// once the view stays still, not for every frame of a moving view).
static Refinement refinement;
static ViewState refinedView;
static bool refinementCurrent = false;
static bool refinementStarted = false;
static bool frameLinePending = false;
// The error line of a failed reload, shown until a load succeeds.
static std::string reloadError;

// Lines of white text on a black panel at the left edge whose top is at row top; OpenGL state
// is left as found.
static void drawPanel(Presenter& presenter, const std::vector<std::string>& lines, int top) {
    std::size_t longest = 0;
    for (const std::string& line : lines) longest = std::max(longest, line.size());
    const int panelWidth = 2 * OVERLAY_MARGIN + static_cast<int>(longest) * OVERLAY_CHAR_WIDTH;
    const int panelHeight = 2 * OVERLAY_MARGIN + static_cast<int>(lines.size()) * OVERLAY_LINE_HEIGHT;
    glPushAttrib(GL_CURRENT_BIT | GL_POLYGON_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColor3f(0, 0, 0);
    glRecti(0, top - panelHeight, panelWidth, top);
    int baseline = top - OVERLAY_MARGIN + OVERLAY_DESCENT;
    for (const std::string& line : lines) {
        baseline -= OVERLAY_LINE_HEIGHT;
        presenter.text(OVERLAY_MARGIN, baseline, line.c_str(), {1, 1, 1});
    }
    glPopAttrib();
}

static bool showsRefinedPicture() {
    return refineEnabled && refinementApplies() && refinementCurrent && refinementStarted &&
           refinement.sums.samples > 0 && currentView() == refinedView;
}

// The readout in the top left corner.
static void drawOverlay(Presenter& presenter) {
    const int samples = showsRefinedPicture() ? refinement.sums.samples : 0;
    drawPanel(presenter, overlayLines(framesPerSecond, poolThreads(), samples), windowHeight);
}

// A failed reload's error line along the bottom edge, over the last good picture.
static void drawReloadError(Presenter& presenter) {
    const int lineHeight = 2 * OVERLAY_MARGIN + OVERLAY_LINE_HEIGHT;
    drawPanel(presenter, {reloadError}, lineHeight);
}

// The picture in the buffer given, as the window shows it.
static RgbImage readPicture(GLenum buffer) {
    RgbImage picture = makeImage(windowWidth, windowHeight);
    glReadBuffer(buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGB, GL_UNSIGNED_BYTE, picture.pixels.data());
    return picture;
}

// The end of every frame: the readout goes over the finished picture, and a requested
// picture is read with it, from the buffer that is about to be shown or is shown already.
struct WindowPresenter : GlPresenter {
    void swapBuffers() override {
        finishFrame(GL_BACK);
        GlPresenter::swapBuffers();
    }
    void flush() override {
        finishFrame(GL_FRONT);
        GlPresenter::flush();
    }
    void finishFrame(GLenum buffer) {
        drawFans();  // the panels go over them, and a requested picture holds them
        if (showOverlay) drawOverlay(*this);
        if (!reloadError.empty()) drawReloadError(*this);
        if (!pictureRequested) return;
        pictureRequested = false;
        savePicture(readPicture(buffer));
    }
};

static WindowPresenter windowGl;

// By default X reports a held key as a stream of release and press pairs, which would
// repeat the key's command. Detectable auto-repeat sends presses only, so the one release
// seen is the real one. freeglut's own repeat filter reads the key state when the event is
// handled, which is too late when a slow frame has queued the pairs. The repeated presses
// still arrive, which is what the flying keys repeat on.
static void reportOnlyRealKeyReleases() {
    if (Display* x = glXGetCurrentDisplay()) XkbSetDetectableAutoRepeat(x, True, nullptr);
}

static void countFrame() {
    static std::uint32_t since = readTicks();
    static int frames = 0;
    ++frames;
    const std::uint32_t elapsed = readTicks() - since;
    if (elapsed < FPS_INTERVAL_MS) return;
    framesPerSecond = frames * 1000.0 / elapsed;
    frames = 0;
    since += elapsed;
}

// Refinement is wanted for what the window shows now.
static bool refining() { return refineEnabled && refinementApplies(); }

// The refined picture's bytes, one per window pixel: rows of 3-byte pixels are not padded.
static void drawRefinedPicture() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glRasterPos2i(0, 0);
    glDrawPixels(refinement.sums.width, refinement.sums.height, GL_RGB, GL_UNSIGNED_BYTE, refinement.picture.data());
    windowGl.swapBuffers();
}

static void display() {
    if (showsRefinedPicture()) {
        drawRefinedPicture();
    } else {
        renderFrame(windowGl);
        const ViewState view = currentView();
        if (refining() && (!refinementCurrent || view != refinedView)) {
            refinedView = view;
            refinementCurrent = true;
            refinementStarted = false;
            frameLinePending = true;
        }
        if (!refining()) refinementCurrent = false;
    }
    countFrame();
}

// While nothing happens after the picture is done, freeglut waits for events instead of
// calling idle, and a timer keeps looking for saved scene files. A timer of an earlier sleep
// finds a different number and ends.
static bool asleep = false;
static int sleepNumber = 0;

static void idle();

static void wake() {
    if (asleep) glutIdleFunc(idle);
    asleep = false;
    // A still picture is drawn again only when asked: for the readout, the saved picture or
    // the reload error that the event may have changed.
    if (refining()) glutPostRedisplay();
}

// Looks for saved scene files; a new scene or a failed load is shown at once.
static void checkReload() {
    const Reload result = reloadIfChanged();
    if (result == Reload::Loaded) {
        reloadError.clear();
        noteNewScene();
        wake();
    } else if (result == Reload::Failed) {
        reloadError = lastPlacedError();
        wake();
    }
}

static void reloadTimer(int number) {
    if (!asleep || number != sleepNumber) return;
    checkReload();
    if (asleep) glutTimerFunc(RELOAD_CHECK_MS, reloadTimer, number);
}

static void sleepUntilInput() {
    asleep = true;
    glutIdleFunc(nullptr);
    glutTimerFunc(RELOAD_CHECK_MS, reloadTimer, ++sleepNumber);
}

// The view has not changed since the quad frame refinement started from: one step of the pass
// under way, the picture shown when the pass is whole.
static void refineStill() {
    if (frameLinePending) printFrameReport();  // the line of the quad frame refining starts from
    frameLinePending = false;
    if (!refinementStarted) startRefinement(refinement, windowWidth, windowHeight, refineSamples);
    refinementStarted = true;
    if (refinementDone(refinement)) {
        sleepUntilInput();
        return;
    }
    if (!refineFor(refinement, REFINE_STEP_MS)) return;
    printRefineReport(refinement);
    glutPostRedisplay();
}

// While the animation plays, every frame reads the scene at the clock of now. A failed read
// pauses it, its error shown as a failed reload's.
static void playAnimation() {
    if (!animation.playing) return;
    sceneClock = playedClock(animation, readTicks(), animationSeconds);
    if (readSceneAgain()) {
        reloadError.clear();
        noteNewScene();
        return;
    }
    animation.playing = false;
    reloadError = lastPlacedError();
}

static void idle() {
    checkReload();
    playAnimation();
    if (refining() && refinementCurrent && currentView() == refinedView) {
        refineStill();
        return;
    }
    frameLinePending = false;
    printFrameReport();
    glutPostRedisplay();
}

// Where the mouse pointer was last seen over the window, from the top left: i describes what
// lies under it.
static int pointerX = 0, pointerY = 0;

static void describeObjectUnderPointer() {
    for (const std::string& line : pickLines(pointerX, pointerY, windowWidth, windowHeight))
        std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

static void keyUp(unsigned char key, int x, int y) {
    pointerX = x, pointerY = y;
    if (key == 'i' || key == 'I')
        describeObjectUnderPointer();
    else
        keyReleased(windowGl, key);
    wake();
}

static void specialKeyDown(int key, int, int) {
    specialKeyPressed(key);
    wake();
}

static void specialKeyUp(int key, int, int) {
    if (key == KEY_F2) pictureRequested = true;
    // A still view refined all the way is that full trace already.
    if (key == KEY_F3 && showsRefinedPicture() && refinementDone(refinement))
        saveRefinedPicture(refinement);
    else if (key == KEY_F3)
        saveFullTrace();
    wake();
}

static void mouse(int button, int state, int x, int y) {
    mouseButton(button, state == GLUT_DOWN, x, y);
    wake();
}

static void motion(int x, int y) {
    pointerX = x, pointerY = y;
    mouseMoved(x, y);
    wake();
}

static void passiveMotion(int x, int y) { pointerX = x, pointerY = y; }

static void reshape(int width, int height) {
    static bool started = false;
    if (!started) rememberStartCamera();  // the renderer is set up before the first event
    started = true;
    windowWidth = std::max(width, 0);
    windowHeight = std::max(height, 0);
    reshapeWindow(windowGl, width, height);
    wake();
}

// The display named by a -display argument, or null for the DISPLAY variable.
static const char* requestedDisplay(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-display") == 0) return argv[i + 1];
    return nullptr;
}

// freeglut ends the process with a message of its own when it cannot reach the display;
// this one names the way to a picture without a window instead. Returns the open connection.
static Display* openDisplayOrExplain(int argc, char** argv) {
    const char* name = requestedDisplay(argc, argv);
    if (Display* x = XOpenDisplay(name)) return x;
    const char* variable = std::getenv("DISPLAY");
    if (!name && (!variable || !*variable))
        std::fprintf(stderr, "quadray: cannot open a window: DISPLAY is not set");
    else
        std::fprintf(stderr, "quadray: cannot open display '%s' (no X server reachable there)", XDisplayName(name));
    std::fprintf(stderr, "; to render without a window use: quadray-render --out picture.png\n");
    std::exit(1);
}

void openWindow(int* argc, char** argv) {
    // Kept open until freeglut has its own connection: an X server that loses its last client
    // resets, and refuses connections while it does.
    Display* probe = openDisplayOrExplain(*argc, argv);
    glutInit(argc, argv);
    XCloseDisplay(probe);
    glutInitDisplayMode(DISPLAY_MODE);
    glutInitWindowSize(WINDOW_WIDTH, WINDOW_HEIGHT);
    glutCreateWindow(WINDOW_TITLE);
    windowGl.hooks = {bitmapText, glutSwapBuffers};
    glutDisplayFunc(display);
    glutIdleFunc(idle);
    glutKeyboardUpFunc(keyUp);
    glutSpecialFunc(specialKeyDown);
    glutSpecialUpFunc(specialKeyUp);
    glutMouseFunc(mouse);
    glutMotionFunc(motion);
    glutPassiveMotionFunc(passiveMotion);
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
