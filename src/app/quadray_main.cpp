// quadray: loads the scene, opens the window and renders until Escape or the window closes.
#include <cstdio>
#include <cstdlib>

#include "app/report.h"
#include "app/scene.h"
#include "app/window.h"
#include "render/camera.h"

int main(int argc, char** argv) {
    // Frame and motion lines are meant to be watched as they happen, also through a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    loadScene();
    openWindow(&argc, argv);
    initRenderer(windowPresenter());
    std::atexit(printReport);
    runEventLoop();
}
