// Cost per call of the hot geometry routines: the region test, point transforms and the
// quartic solver.
#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <vector>

#include "math/solvers.h"
#include "math/transform.h"
#include "trace/bounds.h"
#include "trace/ray.h"

namespace {

constexpr int SET = 1024;  // inputs cycled through, so branches are not all predicted

std::vector<Ray> randomRays() {
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> coordinate(-10, 10), component(-1, 1);
    std::vector<Ray> rays(SET);
    for (Ray& ray : rays)
        initRay(ray, {coordinate(rng), coordinate(rng), coordinate(rng)},
                {component(rng), component(rng), component(rng)});
    return rays;
}

void BM_RayBoxTest(benchmark::State& state) {
    const std::vector<Ray> rays = randomRays();
    const BoundingBox box = boxFromCorners({-2, -1, -3}, {3, 2, 1});
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rayBoxTest(rays[i], box));
        i = (i + 1) % SET;
    }
}
BENCHMARK(BM_RayBoxTest);

void BM_TransformPoint(benchmark::State& state) {
    Transformation t, step;
    rotation_transformation({10, 20, 30}, t);
    translation_transformation({1, 2, 3}, step);
    compose(t, step);
    Vector3 p{0.5, -1.5, 2};
    for (auto _ : state) {
        p = transform_point(p, t.forward);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_TransformPoint);

// Quartics with four real roots, as a torus hit produces, and with none, as a miss does.
void BM_SolveQuartic(benchmark::State& state) {
    std::mt19937 rng(2);
    std::uniform_real_distribution<double> root(-5, 5);
    std::vector<std::array<double, 5>> polys(SET);
    for (auto& c : polys) {
        const double a = root(rng), b = root(rng), d = root(rng), e = root(rng);
        // (x - a)(x - b)(x - d)(x - e) for a hit; x⁴ + 5x² + 4 + a² has no real root
        if (state.range(0)) {
            c = {a * b * d * e, -(a * b * d + a * b * e + a * d * e + b * d * e),
                 a * b + a * d + a * e + b * d + b * e + d * e, -(a + b + d + e), 1};
        } else {
            c = {4 + a * a, 0, 5, 0, 1};
        }
    }
    double s[4];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(solve_quartic(polys[i].data(), s));
        benchmark::DoNotOptimize(s);
        i = (i + 1) % SET;
    }
}
BENCHMARK(BM_SolveQuartic)->Arg(1)->Arg(0)->ArgName("real");

}  // namespace

BENCHMARK_MAIN();
