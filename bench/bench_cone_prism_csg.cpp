// Cost per call of slot 0 (all intersections) of the cone, the cylinder, the prism with each
// sweep and a small CSG tree, on rays from a viewpoint spread over the solid's neighbourhood.
#include "slot0_bench.h"

#include <cmath>
#include <vector>

#include "objects/box.h"
#include "objects/cone.h"
#include "objects/csg.h"
#include "objects/prism.h"
#include "objects/sphere.h"

namespace {

Transformation placement() {
    Transformation t, step;
    rotation_transformation({30, 20, 10}, t);
    translation_transformation({0.2, -0.1, 0.3}, step);
    compose(t, step);
    return t;
}

Object* placed(Object* solid) {
    solid->methods->transform(solid, placement());
    return solid;
}

void BM_Cylinder(benchmark::State& state) { measureSlot0(state, placed(make_cylinder(0, -2, 0, 0, 2, 0, 1.5))); }
BENCHMARK(BM_Cylinder);

void BM_Cone(benchmark::State& state) { measureSlot0(state, placed(make_cone(0, -2, 0, 2, 0, 2, 0, 0.5))); }
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
    measureSlot0(state, starPrism(LINEAR_SWEEP, -1.5, 1.5, static_cast<int>(state.range(0))));
}
BENCHMARK(BM_LinearPrism)->Arg(3)->Arg(12);

void BM_ConicPrism(benchmark::State& state) {
    measureSlot0(state, starPrism(CONIC_SWEEP, 0.5, 1.5, static_cast<int>(state.range(0))));
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

void BM_CsgTree(benchmark::State& state) { measureSlot0(state, csgTree()); }
BENCHMARK(BM_CsgTree);

}  // namespace

BENCHMARK_MAIN();
