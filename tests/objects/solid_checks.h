// Test helpers for the solids: the spans a solid reports for one ray, random placements, and
// the random-ray property check against an independent signed distance function.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "base/statistics.h"
#include "math/transform.h"
#include "objects/object.h"
#include "trace/ray.h"

// Resets the counters before each test and destroys the solids it kept after it.
class SolidTest : public ::testing::Test {
protected:
    void SetUp() override { stats = Statistics(); }
    void TearDown() override {
        for (Object* solid : kept) solid->methods->destroy(solid);
    }
    template <class T = Object>
    T* keep(Object* solid) {
        kept.push_back(solid);
        return static_cast<T*>(solid);
    }

private:
    std::vector<Object*> kept;
};

// The spans in the order they were pushed; result receives the slot 0 return value.
inline std::vector<Intersection> spansOf(Object* solid, const Vector3& origin, const Vector3& direction,
                                         int* result = nullptr) {
    Ray ray;
    initRay(ray, origin, direction);
    IntersectionStack* stack = acquireStack();
    const int returned = solid->methods->intersect(solid, ray, stack);
    std::vector<Intersection> spans(stack->records, stack->records + stack->count);
    releaseStack(stack);
    if (result) *result = returned;
    return spans;
}

inline Vector3 normalAt(const Hit& hit) {
    Vector3 n;
    return *hit.object->methods->normal(&n, hit);
}

inline double uniform(std::mt19937& rng, double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(rng);
}

inline Vector3 randomVector(std::mt19937& rng, double lo, double hi) {
    return {uniform(rng, lo, hi), uniform(rng, lo, hi), uniform(rng, lo, hi)};
}

// Scale (non-uniform unless told otherwise), then rotate, then translate.
inline Transformation randomPlacement(std::mt19937& rng, bool uniformScale = false) {
    Transformation t, step;
    const double s = uniform(rng, 0.5, 2);
    scaling_transformation(uniformScale ? Vector3{s, s, s} : randomVector(rng, 0.5, 2), t);
    rotation_transformation(randomVector(rng, -180, 180), step);
    compose(t, step);
    translation_transformation(randomVector(rng, -1, 1), step);
    compose(t, step);
    return t;
}

// Negative inside the solid, positive outside, roughly a distance near the surface.
using SignedDistance = std::function<double(const Vector3& world)>;

struct RayCheckOptions {
    int rays = 2000;
    double tolerance = 1e-6;  // on the signed distance of reported surface points
    bool infiniteEnds = false;
};

// Shoots random rays at a solid near the origin, aimed into its bounding box. For every reported span: entry <= exit,
// finite ends lie on the surface, normals are unit length and point out of the solid. Along
// the ray (ahead of its origin), points within a span must not be outside the solid and
// points outside every span, including those just before and after each span, must not be
// inside it.
inline void checkRandomRays(Object* solid, const SignedDistance& sdf, std::mt19937& rng,
                            const RayCheckOptions& options = {}) {
    const double tol = options.tolerance;
    int spansSeen = 0;
    // Aim at the part of the solid's bounding box near the origin.
    const Vector3 lo = solid->bounds.lower, hi = solid->bounds.upper;
    for (int i = 0; i < options.rays; ++i) {
        const Vector3 origin = randomVector(rng, -6, 6);
        const Vector3 target{uniform(rng, std::max(lo.x, -3.0), std::min(hi.x, 3.0)),
                             uniform(rng, std::max(lo.y, -3.0), std::min(hi.y, 3.0)),
                             uniform(rng, std::max(lo.z, -3.0), std::min(hi.z, 3.0))};
        const Vector3 direction = (target - origin) * uniform(rng, 0.3, 3);
        const double len = length(direction);
        const std::vector<Intersection> spans = spansOf(solid, origin, direction);
        spansSeen += static_cast<int>(spans.size());

        for (const Intersection& span : spans) {
            ASSERT_LE(span.entry.distance, span.exit.distance);
            ASSERT_GT(span.exit.distance, MIN_HIT_DISTANCE);
            for (const Hit* hit : {&span.entry, &span.exit}) {
                ASSERT_EQ(hit->object, solid);
                if (std::isinf(hit->distance)) {
                    ASSERT_TRUE(options.infiniteEnds);
                    continue;
                }
                const Vector3 p = hit->point;
                const Vector3 expected = origin + hit->distance * direction;
                ASSERT_NEAR(length(p - expected), 0, 1e-9 * (1 + length(expected)));
                ASSERT_NEAR(sdf(p), 0, tol) << "ray " << i << " t " << hit->distance;
                const Vector3 n = normalAt(*hit);
                ASSERT_NEAR(length(n), 1, 1e-9);
                ASSERT_GT(sdf(p + 1e-4 * n), sdf(p - 1e-4 * n)) << "normal points into the solid";
            }
        }

        const double delta = 1e-3 / len;  // a thousandth of a unit along the ray
        auto insideSpan = [&](double t) {
            for (const Intersection& s : spans)
                if (t > s.entry.distance + delta / 2 && t < s.exit.distance - delta / 2) return 1;
            for (const Intersection& s : spans)
                if (t >= s.entry.distance - delta / 2 && t <= s.exit.distance + delta / 2) return 0;
            return -1;  // clearly outside every span
        };
        std::vector<double> ts;
        for (int k = 1; k <= 200; ++k) ts.push_back(k * 20.0 / len / 200);
        for (const Intersection& s : spans)
            for (double end : {s.entry.distance, s.exit.distance})
                if (!std::isinf(end)) ts.insert(ts.end(), {end - delta, end + delta});
        for (double t : ts) {
            if (t <= delta) continue;
            const int where = insideSpan(t);
            const double d = sdf(origin + t * direction);
            if (where == 1) {
                ASSERT_LT(d, tol) << "ray " << i << " t " << t << " in a span but outside";
            } else if (where == -1) {
                ASSERT_GT(d, -tol) << "ray " << i << " t " << t << " inside but in no span";
            }
        }
    }
    EXPECT_GT(spansSeen, options.rays / 10) << "too few rays met the solid to tell anything";
}
