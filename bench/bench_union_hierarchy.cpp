// Times (in processor time) one scene file with and without the union hierarchy: loading, regrouping, quad
// frames at 640x480 from the start camera, and a fingerprint of the full per-pixel trace so
// that two runs can be checked for the same picture. Regrouping also in wall time: a large
// union is regrouped on two threads.
//
// usage: bench_union_hierarchy FILE [--flat] [--frames N]
#include <sys/resource.h>

#include <algorithm>
#include <ctime>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/statistics.h"
#include "objects/object.h"
#include "objects/union_hierarchy.h"
#include "render/camera.h"
#include "render/frame.h"
#include "render/null_presenter.h"
#include "render/sample_grid.h"
#include "render/shading.h"
#include "scene/parser.h"

namespace {

// Processor time of this process rather than wall time: the machine is shared, and on one
// thread the processor time is what the work costs.
struct Clock {
    using time_point = double;
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    }
};

double msSince(double start) { return Clock::now() - start; }

double wallMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// FNV-1a over what a pixel shows: the object hit, the distance and the colour.
std::uint64_t fingerprint() {
    std::uint64_t h = 1469598103934665603ULL;
    const auto mix = [&h](const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) h = (h ^ bytes[i]) * 1099511628211ULL;
    };
    for (const Sample& s : sampleGrid.samples) {
        const int id = s.hit.object ? s.hit.object->id : -1;
        mix(&id, sizeof id);
        mix(&s.hit.distance, sizeof s.hit.distance);
        mix(&s.colour, sizeof s.colour);
    }
    return h;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [--flat] [--frames N]\n", argv[0]);
        return 2;
    }
    bool flat = false;
    int frames = 5;
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--flat")) flat = true;
        if (!std::strcmp(argv[i], "--frames") && i + 1 < argc) frames = std::atoi(argv[++i]);
    }

    auto start = Clock::now();
    Object* root = parse_scene_file(argv[1]);
    const double loadMs = msSince(start);
    const int primitives = primitiveCount, nodesWritten = csgNodeCount;
    const long kilobytesLoaded = peakKilobytes();

    start = Clock::now();
    const double wallStart = wallMs();
    if (!flat) regroupUnions(root);
    const double regroupMs = msSince(start), regroupWallMs = wallMs() - wallStart;
    const int nodesAdded = csgNodeCount - nodesWritten;
    const long kilobytesRegrouped = peakKilobytes();

    sceneList = root;
    NullPresenter noDrawing;
    initRenderer(noDrawing);
    reshapeWindow(noDrawing, 640, 480);
    std::vector<double> ms;
    for (int i = 0; i < frames; ++i) {
        start = Clock::now();
        renderFrame(noDrawing);
        ms.push_back(msSince(start));
    }
    std::sort(ms.begin(), ms.end());
    const Counter overflows = stats.stackOverflows;
    const double rays = static_cast<double>(stats.primaryRays + stats.shadowRays);
    const double unionTestsPerRay = stats.csgUnionTests / rays, regionTestsPerRay = stats.regionTests / rays;
    traceFullFrame();

    std::printf("%s %s: %d primitives, %d CSG nodes written, %d hierarchies added (%zu bytes per node child)\n",
                argv[1], flat ? "flat" : "regrouped", primitives, nodesWritten, nodesAdded, sizeof(TreeEntry));
    std::printf("  load %.1f ms, regroup %.1f ms (%.1f ms wall), peak memory %ld kB after load, %ld kB after regrouping\n",
                loadMs, regroupMs, regroupWallMs, kilobytesLoaded, kilobytesRegrouped);
    std::printf("  quad frame 640x480: median %.2f ms, best %.2f ms over %d frames; stack overflows %lld\n",
                ms[ms.size() / 2], ms.front(), frames, overflows);
    std::printf("  per ray (primary and shadow): %.1f union tests, %.1f region tests; %.0f rays per frame\n",
                unionTestsPerRay, regionTestsPerRay, rays / frames);
    std::printf("  full trace fingerprint %016llx\n", static_cast<unsigned long long>(fingerprint()));
    return 0;
}
