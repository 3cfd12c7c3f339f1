// How far the quad frame can scale past this machine: traces one start-view frame of the
// bundled scene piece by piece on one thread, timing every piece, and computes the speedup
// that T threads taking the pieces in order (each the next one free, as the pool does) reach.
// Run from the repository root:  build/bench_pieces [WIDTHxHEIGHT...]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <numeric>
#include <queue>
#include <vector>

#include "app/scene.h"
#include "render/camera.h"
#include "render/frame.h"
#include "render/null_presenter.h"
#include "render/quad_renderer.h"
#include "render/sample_grid.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int REPEATS = 5;  // frames measured; each piece's median counts

// Time to finish when threads each take the next piece as soon as they are free.
double makespan(const std::vector<double>& costs, int threads) {
    std::priority_queue<double, std::vector<double>, std::greater<>> freeAt;
    for (int t = 0; t < threads; ++t) freeAt.push(0);
    double end = 0;
    for (double cost : costs) {
        const double start = freeAt.top();
        freeAt.pop();
        freeAt.push(start + cost);
        end = std::max(end, start + cost);
    }
    return end;
}

void measure(int width, int height) {
    NullPresenter presenter;
    reshapeWindow(presenter, width, height);
    maxDepth = 0;
    renderFrame(presenter);  // warm caches, and sets maxDepth for the size
    const std::vector<QuadPieceOutline> pieces = outlineQuadPieces();

    std::vector<std::vector<double>> samples(pieces.size());
    std::vector<QuadLeaf> leaves;
    for (int r = 0; r < REPEATS; ++r) {
        ++frameNumber;  // every sample is traced again
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            const QuadPieceOutline& p = pieces[i];
            const auto start = Clock::now();
            for (Sample* s : p.before) traceSample(*s);
            leaves.clear();
            subdivideQuad(leaves, *p.corners[0], *p.corners[1], *p.corners[2], *p.corners[3], p.depth);
            samples[i].push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
    }
    std::vector<double> costs;
    for (std::vector<double>& s : samples) {
        std::sort(s.begin(), s.end());
        costs.push_back(s[s.size() / 2]);
    }
    const double total = std::accumulate(costs.begin(), costs.end(), 0.0);
    const double longest = *std::max_element(costs.begin(), costs.end());
    std::printf("%dx%d: %zu pieces, frame %.2f ms on one thread, longest piece %.3f ms, mean %.3f ms\n", width,
                height, costs.size(), total, longest, total / costs.size());
    std::printf("  threads  speedup  bound by longest piece\n");
    for (int threads : {1, 2, 4, 8, 16, 32, 64})
        std::printf("  %7d  %7.2f  %7.2f\n", threads, total / makespan(costs, threads), total / longest);
}

}  // namespace

int main(int argc, char** argv) {
    loadScene("");
    NullPresenter presenter;
    initRenderer(presenter);
    if (argc < 2) {
        measure(640, 480);
        measure(1280, 720);
        measure(1920, 1080);
    }
    for (int i = 1; i < argc; ++i) {
        int width = 0, height = 0;
        if (std::sscanf(argv[i], "%dx%d", &width, &height) == 2) measure(width, height);
    }
}
