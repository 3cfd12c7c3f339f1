// Cost per call of slot 0 (all intersections) of the sphere, plane, box and torus, on rays
// from a viewpoint spread over the solid's neighbourhood so that some hit and some miss.
#include "slot0_bench.h"

#include <vector>

#include "objects/box.h"
#include "objects/plane.h"
#include "objects/sphere.h"
#include "objects/torus.h"

namespace {

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
    measureSlot0(state, solid);
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
