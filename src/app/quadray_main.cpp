// quadray: loads the scene, opens the window and renders until Escape or the window closes.
#include <cstdlib>

#include "app/scene.h"
#include "app/statistics.h"
#include "app/window.h"
#include "render/camera.h"

int main(int argc, char** argv) {
    loadScene();
    openWindow(&argc, argv);
    initRenderer(windowPresenter());
    std::atexit(printReport);
    runEventLoop();
}
