// The tracing cost of the window's start view: quad frames of the bundled scene at 640x480
// traced on one thread with nothing drawn, timed by the thread's CPU clock, which other
// programs on a shared machine disturb less than the wall clock. Run from the repository root:
//   build/bench_trace [FRAMES]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "app/scene.h"
#include "render/camera.h"
#include "render/frame.h"
#include "render/null_presenter.h"
#include "render/quad_renderer.h"

namespace {

double threadMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    loadScene("");
    NullPresenter presenter;
    initRenderer(presenter);
    reshapeWindow(presenter, 640, 480);
    renderFrame(presenter);  // warms the caches
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        const double start = threadMilliseconds();
        renderFrame(presenter);
        times.push_back(threadMilliseconds() - start);
    }
    std::sort(times.begin(), times.end());
    std::printf("%d quad frames, %.3f ms CPU per frame (median), %.3f fastest, %d rays a frame\n", frames,
                times[times.size() / 2], times.front(), raysThisFrame);
}
