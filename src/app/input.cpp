// Single-key commands, camera steering with the mouse and the keyboard, saved pictures, the
// readout's text and the frame report line.
#include "app/input.h"

#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/png_image.h"
#include "base/scene_clock.h"
#include "render/camera.h"
#include "render/clock.h"
#include "render/frame.h"
#include "render/presenter.h"
#include "render/quad_renderer.h"
#include "render/refinement.h"
#include "render/sample_grid.h"

const char* const KEYS_HELP =
    "keys (letters act when released; the flying keys act at once and repeat while held):\n"
    "  f                    switch between the quad and the frameless renderer\n"
    "  - / +                lower / raise the quality\n"
    "  p                    wire frame of the quads instead of filled quads\n"
    "  b                    mark borders between objects in white\n"
    "  c                    show the number of objects per quad\n"
    "  a                    stop or resume refining a still view\n"
    "  s                    stop or resume the per-frame and refining lines\n"
    "  h                    show or hide the readout: frame rate, rays, quads, quality,\n"
    "                       renderer, threads, samples per pixel\n"
    "  i                    print what made the object under the mouse pointer\n"
    "  r                    put the camera back where it started\n"
    "  space                play or pause the animation: the clock runs from 0 to 1 over\n"
    "                       --duration seconds and loops; paused, the view refines\n"
    "  Up / Down            fly forwards / backwards (as a right drag of 10 pixels down / up)\n"
    "  Left / Right         turn the view 5 degrees to the left / right\n"
    "  Home / End           roll (as a left drag of 10 pixels to the left / right)\n"
    "  Page Up / Page Down  look up / down (as a left drag of 10 pixels down / up)\n"
    "  F2                   save what the window shows as quadray-NNNN.png\n"
    "  F3                   save a full trace of the view with --samples samples per pixel,\n"
    "                       likewise\n"
    "  Escape               quit and print the report\n"
    "mouse:\n"
    "  left drag            roll (horizontal) and pitch (vertical) the camera\n"
    "  right or middle drag move along the view direction (down: forwards)\n";

AnimationPlayer animation;
double animationSeconds = 10;

int printStatistics = 1;
int showOverlay = 0;
int mouseMode = NO_BUTTON;
double lastX = 0, lastY = 0;

static constexpr double HALF_DEGREE = 0.017453292519943295;    // roll per half pixel
static constexpr double QUARTER_DEGREE = 0.008726646259971648; // pitch per half pixel
// A flying key's step, as a drag of 10 pixels: 5 half pixels.
static constexpr double STEP_HALF_PIXELS = 5;

static Camera startCamera;

static void printCamera() {
    std::printf("direction %f %f %f\n", camera.direction.x, camera.direction.y, camera.direction.z);
    std::printf("location %f %f %f\n", camera.location.x, camera.location.y, camera.location.z);
}

// The width of the image plane follows the window, so it is kept from the current camera.
static void restoreStartCamera() {
    const double width = length(camera.right);
    camera = startCamera;
    camera.right = normalize(startCamera.right) * width;
    printCamera();
}

double playedClock(const AnimationPlayer& player, std::uint32_t ticks, double seconds) {
    const double clock = player.startClock + (ticks - player.startTicks) / 1000.0 / seconds;
    return clock - std::floor(clock);
}

// Playing goes on from the clock of the scene on screen, and a pause keeps it there.
static void playOrPause() {
    animation.playing = !animation.playing;
    animation.startClock = sceneClock;
    animation.startTicks = readTicks();
}

void keyReleased(Presenter& presenter, unsigned char key) {
    switch (std::tolower(key)) {
    case ESCAPE_KEY:
        std::exit(0);
    case 'f':
        frameless = !frameless;
        presenter.setDrawBuffer(frameless != 0);
        break;
    case '+':
    case '=':  // the same key without shift, which may be let go first
        if (qualityLevel > 0) --qualityLevel;
        break;
    case '-':
        ++qualityLevel;
        break;
    case 'p':
        presenter.setPolygonFill(!fillPolygons);
        fillPolygons = !fillPolygons;
        break;
    case 'b':
        borderMode = !borderMode;
        break;
    case 'c':
        objectCountView = !objectCountView;
        break;
    case 's':
        printStatistics = !printStatistics;
        break;
    case 'h':
        showOverlay = !showOverlay;
        break;
    case 'a':
        refineEnabled = !refineEnabled;
        break;
    case 'r':
        restoreStartCamera();
        break;
    case ' ':
        playOrPause();
        break;
    default:
        break;
    }
}

void mouseButton(int button, bool pressed, int x, int y) {
    mouseMode = pressed ? button : NO_BUTTON;
    lastX = x * 0.5;
    lastY = y * 0.5;
}

// Rotates the three camera vectors, in the order direction, up, right, about the axis.
static void turnCamera(double angle, const Vector3& axis) {
    rotateAboutAxis(angle, axis, camera.direction);
    rotateAboutAxis(angle, axis, camera.up);
    rotateAboutAxis(angle, axis, camera.right);
}

// A drag with the button mode held from (fromX, fromY) to (toX, toY), in half pixels.
static void dragCamera(int mode, double fromX, double fromY, double toX, double toY) {
    if (mode == MIDDLE_BUTTON || mode == RIGHT_BUTTON)
        camera.location += (toY - fromY) * camera.direction;  // dragging down moves forwards
    if (mode == LEFT_BUTTON) {
        turnCamera((fromX - toX) * HALF_DEGREE, normalize(camera.direction));  // roll
        turnCamera((fromY - toY) * QUARTER_DEGREE, normalize(camera.right));   // pitch
    }
}

void mouseMoved(int x, int y) {
    const double halfX = x * 0.5, halfY = y * 0.5;
    dragCamera(mouseMode, lastX, lastY, halfX, halfY);
    if (mouseMode == LEFT_BUTTON || mouseMode == MIDDLE_BUTTON || mouseMode == RIGHT_BUTTON) {
        lastX = halfX;
        lastY = halfY;
    }
    printCamera();
}

// Turns the view about up by angle, positive towards the right edge of the picture: which way
// a rotation turns depends on whether right is up × direction or its opposite.
static void turnSideways(double angle) {
    const bool rightIsUpCrossDirection = dot(cross(camera.up, camera.direction), camera.right) >= 0;
    turnCamera(rightIsUpCrossDirection ? angle : -angle, normalize(camera.up));
}

void specialKeyPressed(int key) {
    const double step = STEP_HALF_PIXELS;
    switch (key) {
    case KEY_UP:
        dragCamera(RIGHT_BUTTON, 0, 0, 0, step);
        break;
    case KEY_DOWN:
        dragCamera(RIGHT_BUTTON, 0, 0, 0, -step);
        break;
    case KEY_HOME:
        dragCamera(LEFT_BUTTON, 0, 0, -step, 0);
        break;
    case KEY_END:
        dragCamera(LEFT_BUTTON, 0, 0, step, 0);
        break;
    case KEY_PAGE_UP:
        dragCamera(LEFT_BUTTON, 0, 0, 0, step);
        break;
    case KEY_PAGE_DOWN:
        dragCamera(LEFT_BUTTON, 0, 0, 0, -step);
        break;
    case KEY_LEFT:
        turnSideways(-TURN_STEP);
        break;
    case KEY_RIGHT:
        turnSideways(TURN_STEP);
        break;
    default:
        return;
    }
    printCamera();
}

void rememberStartCamera() { startCamera = camera; }

void printFrameReport() {
    if (printStatistics)
        std::printf("frameless: %i rpf, %i quads @ refresh rate %i (=%.2f fps) \n", raysThisFrame, quadsDrawn,
                    REFRESH_RATE, rayFrameRate);
}

void printRefineReport(const Refinement& refinement) {
    if (!printStatistics) return;
    const double rate = refinement.passMs > 0 ? refinement.passRays * 1000.0 / refinement.passMs : 0;
    std::printf("refined: %i of %i samples per pixel, %lld rays @ %.0f rays per second\n", refinement.sums.samples,
                refinement.samples, refinement.passRays, rate);
    if (refinementDone(refinement)) std::printf("refined: done, %i samples per pixel\n", refinement.sums.samples);
}

std::string nextPictureName() {
    char name[32];
    for (int number = 1;; ++number) {
        std::snprintf(name, sizeof name, "quadray-%04d.png", number);
        if (access(name, F_OK) != 0) return name;
    }
}

void savePicture(const RgbImage& picture) {
    const std::string name = nextPictureName();
    if (writePng(name, picture))
        std::printf("saved %s\n", name.c_str());
    else
        std::fprintf(stderr, "quadray: cannot write %s\n", name.c_str());
}

void saveRefinedPicture(const Refinement& refinement) {
    RgbImage picture = makeImage(refinement.sums.width, refinement.sums.height);
    picture.pixels = refinement.picture;
    savePicture(picture);
}

void saveFullTrace() {
    Refinement full;
    startRefinement(full, sampleGrid.width - 1, sampleGrid.height - 1, refineSamples);
    refineCompletely(full);
    saveRefinedPicture(full);
}

std::vector<std::string> overlayLines(double framesPerSecond, int threads, int samplesPerPixel) {
    char fps[32];
    std::snprintf(fps, sizeof fps, "%.1f", framesPerSecond);
    return {std::string("fps       ") + fps,
            "rays      " + std::to_string(raysThisFrame),
            "quads     " + std::to_string(quadsDrawn),
            "quality   " + std::to_string(qualityLevel),
            std::string("renderer  ") + (frameless ? "frameless" : "quad"),
            "threads   " + std::to_string(threads),
            "samples   " + (samplesPerPixel > 0 ? std::to_string(samplesPerPixel) : std::string("-"))};
}
