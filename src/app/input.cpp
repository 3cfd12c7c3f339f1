// Single-key commands, camera steering with the mouse, and the frame report line.
#include "app/input.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "render/camera.h"
#include "render/frame.h"
#include "render/presenter.h"
#include "render/quad_renderer.h"

const char* const KEYS_HELP =
    "keys (they act when released):\n"
    "  f          switch between the quad and the frameless renderer\n"
    "  - / +      lower / raise the quality\n"
    "  p          wire frame of the quads instead of filled quads\n"
    "  b          mark borders between objects in white\n"
    "  c          show the number of objects per quad\n"
    "  s          stop or resume the per-frame line\n"
    "  Escape     quit and print the report\n"
    "mouse:\n"
    "  left drag            roll (horizontal) and pitch (vertical) the camera\n"
    "  right or middle drag move along the view direction (down: forwards)\n";

int printStatistics = 1;
int mouseMode = NO_BUTTON;
double lastX = 0, lastY = 0;

static constexpr double HALF_DEGREE = 0.017453292519943295;    // roll per half pixel
static constexpr double QUARTER_DEGREE = 0.008726646259971648; // pitch per half pixel

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

void mouseMoved(int x, int y) {
    const double halfX = x * 0.5, halfY = y * 0.5;
    if (mouseMode == MIDDLE_BUTTON || mouseMode == RIGHT_BUTTON)
        camera.location += (halfY - lastY) * camera.direction;  // dragging down moves forwards
    if (mouseMode == LEFT_BUTTON) {
        turnCamera((lastX - halfX) * HALF_DEGREE, normalize(camera.direction));  // roll
        turnCamera((lastY - halfY) * QUARTER_DEGREE, normalize(camera.right));   // pitch
    }
    if (mouseMode == LEFT_BUTTON || mouseMode == MIDDLE_BUTTON || mouseMode == RIGHT_BUTTON) {
        lastX = halfX;
        lastY = halfY;
    }
    std::printf("direction %f %f %f\n", camera.direction.x, camera.direction.y, camera.direction.z);
    std::printf("location %f %f %f\n", camera.location.x, camera.location.y, camera.location.z);
}

void printFrameReport() {
    if (printStatistics)
        std::printf("frameless: %i rpf, %i quads @ refresh rate %i (=%.2f fps) \n", raysThisFrame, quadsDrawn,
                    REFRESH_RATE, rayFrameRate);
}
