// Shared by the slot-0 benchmarks: a fixed set of rays from a camera-like viewpoint and the
// loop that times one solid's all-intersections slot over them.
#pragma once

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "objects/object.h"

inline constexpr int SET = 1024;  // rays cycled through, so branches are not all predicted

// Rays from around (0, 2, -10) toward points of a 6x6x6 cube about the origin, the way a
// camera sees an object of about that size.
inline std::vector<Ray> viewRays() {
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

inline void measureSlot0(benchmark::State& state, Object* solid) {
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
}
