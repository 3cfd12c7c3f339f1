// Cost per call of slot 0 (all intersections) of the cone, the cylinder, the prism with each
// sweep and a small CSG tree, on rays from a viewpoint spread over the solid's neighbourhood.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "objects/box.h"
#include "objects/cone.h"
#include "objects/csg.h"
#include "objects/prism.h"
#include "objects/sphere.h"

namespace {

constexpr int SET = 1024;  // rays cycled through, so branches are not all predicted

// Rays from around (0, 2, -10) toward points of a 6x6x6 cube about the origin.
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
    rotation_transformation({30, 20, 10}, t);
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
}

Object* placed(Object* solid) {
    solid->methods->transform(solid, placement());
    return solid;
}

void BM_Cylinder(benchmark::State& state) { runSlot0(state, placed(make_cylinder(0, -2, 0, 0, 2, 0, 1.5))); }
BENCHMARK(BM_Cylinder);

void BM_Cone(benchmark::State& state) { runSlot0(state, placed(make_cone(0, -2, 0, 2, 0, 2, 0, 0.5))); }
BENCHMARK(BM_Cone);

// A star of 2·points corners with a star-shaped hole: 4·points segments.
Object* starPrism(int sweep, double h1, double h2, int points) {
    std::vector<OutlinePoint> outline;
    for (double scale : {1.0, -0.3}) {  // a negative scale turns the hole the other way
        const size_t first = outline.size();
        for (int k = 0; k < 2 * points; ++k) {
            const double angle = M_PI * k / points * (scale > 0 ? 1 : -1);
            const double r = std::fabs(scale) * (k % 2 ? 1.2 : 2.5);
            outline.push_back({r * std::cos(angle), r * std::sin(angle)});
        }
        outline.push_back(outline[first]);
    }
    Prism* prism = new_prism();
    prism->sweep = sweep;
    prism->height1 = h1;
    prism->height2 = h2;
    prism->outline_count = static_cast<int>(outline.size());
    set_up_segments(prism, outline);
    compute_prism_bounds(prism);
    return placed(prism);
}

void BM_LinearPrism(benchmark::State& state) {
    runSlot0(state, starPrism(LINEAR_SWEEP, -1.5, 1.5, static_cast<int>(state.range(0))));
}
BENCHMARK(BM_LinearPrism)->Arg(3)->Arg(12);

void BM_ConicPrism(benchmark::State& state) {
    runSlot0(state, starPrism(CONIC_SWEEP, 0.5, 1.5, static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ConicPrism)->Arg(3)->Arg(12);

// A rounded box with a hole drilled through, beside a cone: union of a difference of an
// intersection.
Object* csgTree() {
    Object* rounded = new_csg(&CsgIntersection);
    add_member(rounded, make_box(-2, -2, -2, 2, 2, 2));
    add_member(rounded, make_sphere(0, 0, 0, 2.6));
    compute_csg_bounds(rounded);
    Object* drilled = new_csg(&CsgDifference);
    add_member(drilled, rounded);
    add_member(drilled, make_cylinder(0, -3, 0, 0, 3, 0, 1));
    add_member(drilled, make_cylinder(-3, 0, 0, 3, 0, 0, 1));
    compute_csg_bounds(drilled);
    return make_union({drilled, make_cone(2.5, -2, 0, 1, 2.5, 2, 0, 0.2)});
}

void BM_CsgTree(benchmark::State& state) { runSlot0(state, csgTree()); }
BENCHMARK(BM_CsgTree);

}  // namespace

BENCHMARK_MAIN();
