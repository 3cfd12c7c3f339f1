// Cost per call of slot 0 (all intersections) of the sphere, plane, box and torus, on rays
// from a viewpoint spread over the solid's neighbourhood so that some hit and some miss.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "objects/box.h"
#include "objects/plane.h"
#include "objects/sphere.h"
#include "objects/torus.h"

namespace {

constexpr int SET = 1024;  // rays cycled through, so branches are not all predicted

// Rays from around (0, 2, -10) toward points of a 6x6x6 cube about the origin, the way a
// camera sees an object of about that size.
std::vector<Ray> viewRays() {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> jitter(-0.5, 0.5), target(-3, 3);
    std::vector<Ray> rays(SET);
    for (Ray& ray : rays) {
        const Vector3 origin{jitter(rng), 2 + jitter(rng), -10 + jitter(rng)};
        const Vector3 aim{target(rng), target(rng), target(rng)};
        initRay(ray, origin, aim - origin);
    }
    return rays;
}

Transformation placement() {
    Transformation t, step;
    scaling_transformation({1.5, 1, 1.2}, t);
    rotation_transformation({30, 20, 10}, step);
    compose(t, step);
    translation_transformation({0.2, -0.1, 0.3}, step);
    compose(t, step);
    return t;
}

void runSlot0(benchmark::State& state, Object* solid) {
    const std::vector<Ray> rays = viewRays();
    IntersectionStack* stack = acquireStack();
    size_t i = 0;
    long spans = 0;
    for (auto _ : state) {
        stack->count = 0;
        benchmark::DoNotOptimize(solid->methods->intersect(solid, rays[i], stack));
        spans += stack->count;
        i = (i + 1) % SET;
    }
    releaseStack(stack);
    state.counters["spans/call"] = benchmark::Counter(static_cast<double>(spans) / state.iterations());
    solid->methods->destroy(solid);
}

void BM_Sphere(benchmark::State& state) { runSlot0(state, make_sphere(0, 0, 0, 2)); }
BENCHMARK(BM_Sphere);

void BM_TransformedSphere(benchmark::State& state) {
    Object* sphere = make_sphere(0, 0, 0, 2);
    sphere->methods->transform(sphere, placement());
    runSlot0(state, sphere);
}
BENCHMARK(BM_TransformedSphere);

void BM_Plane(benchmark::State& state) { runSlot0(state, make_plane(0, 1, 0, 0)); }
BENCHMARK(BM_Plane);

void BM_TransformedPlane(benchmark::State& state) {
    Object* plane = make_plane(0, 1, 0, 0);
    plane->methods->transform(plane, placement());
    runSlot0(state, plane);
}
BENCHMARK(BM_TransformedPlane);

void BM_Box(benchmark::State& state) { runSlot0(state, make_box(-2, -1, -1.5, 2, 1, 1.5)); }
BENCHMARK(BM_Box);

// A parsed box always carries a matrix.
void BM_TransformedBox(benchmark::State& state) {
    Object* box = make_box(-2, -1, -1.5, 2, 1, 1.5);
    box->methods->transform(box, placement());
    runSlot0(state, box);
}
BENCHMARK(BM_TransformedBox);

void BM_Torus(benchmark::State& state) {
    Object* torus = make_torus(2, 0.5);
    torus->methods->transform(torus, placement());
    runSlot0(state, torus);
}
BENCHMARK(BM_Torus);

}  // namespace

BENCHMARK_MAIN();
