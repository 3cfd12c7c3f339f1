// Random rays from well outside a solid, checked against an independent field of the solid:
// span ends on the surface, normals outward, and the inside of the solid covered exactly by
// the reported spans.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

#include "solid_checks.h"

// Negative inside, positive outside, zero on the surface (world coordinates).
using InsideField = std::function<double(const Vector3& world)>;

struct SpanCheckOptions {
    int rays = 1500;
    double tolerance = 1e-6;     // on the field at reported surface points
    double startRadius = 20;     // rays start on this sphere around the origin
    double targetSpread = 2;     // and aim at points of this cube around the origin
    // Span ends that lie within another span are not surface points of the whole solid.
    bool spansMayOverlap = false;
    // Hits whose normal is not the outward surface normal of the solid (the normal of an
    // inverted hit is negated before the comparison).
    std::function<bool(const Hit&)> skipNormal = [](const Hit&) { return false; };
};

inline Vector3 randomUnit(std::mt19937& rng) {
    for (;;) {
        const Vector3 v = randomVector(rng, -1, 1);
        const double l = length(v);
        if (l > 0.1 && l <= 1) return v * (1 / l);
    }
}

// Central differences: the direction of steepest increase is the outward normal.
inline Vector3 gradient(const InsideField& field, const Vector3& p) {
    const double h = 1e-7;
    return {field(p + Vector3{h, 0, 0}) - field(p - Vector3{h, 0, 0}),
            field(p + Vector3{0, h, 0}) - field(p - Vector3{0, h, 0}),
            field(p + Vector3{0, 0, h}) - field(p - Vector3{0, 0, h})};
}

// Returns the number of spans seen.
inline int checkSpansFromOutside(Object* solid, const InsideField& field, std::mt19937& rng,
                                 const SpanCheckOptions& options = {}) {
    const double tol = options.tolerance;
    int spansSeen = 0;
    for (int i = 0; i < options.rays; ++i) {
        const Vector3 origin = randomUnit(rng) * options.startRadius;
        const Vector3 target = randomVector(rng, -options.targetSpread, options.targetSpread);
        const Vector3 direction = (target - origin) * uniform(rng, 0.05, 0.5);
        const double len = length(direction);
        if (!(field(origin) > 0)) {
            ADD_FAILURE() << "the solid reaches the ray origins";
            return spansSeen;
        }
        const std::vector<Intersection> spans = spansOf(solid, origin, direction);
        spansSeen += static_cast<int>(spans.size());

        const double delta = 1e-3 / len;
        auto covered = [&](double t) {
            for (const Intersection& s : spans)
                if (t > s.entry.distance + delta / 2 && t < s.exit.distance - delta / 2) return true;
            return false;
        };
        auto insideOther = [&](const Intersection& span, double t) {
            for (const Intersection& s : spans)
                if (&s != &span && t >= s.entry.distance && t <= s.exit.distance) return true;
            return false;
        };
        for (const Intersection& span : spans) {
            EXPECT_LE(span.entry.distance, span.exit.distance) << "ray " << i;
            for (const Hit* hit : {&span.entry, &span.exit}) {
                EXPECT_NE(hit->object, nullptr);
                if (!hit->object) return spansSeen;
                const Vector3 p = hit->point;
                const Vector3 expected = origin + hit->distance * direction;
                EXPECT_NEAR(length(p - expected), 0, 1e-9 * (1 + length(expected)));
                if (options.spansMayOverlap && insideOther(span, hit->distance)) continue;
                EXPECT_NEAR(field(p), 0, tol) << "ray " << i << " t " << hit->distance;
                Vector3 n = normalAt(*hit);
                EXPECT_NEAR(length(n), 1, 1e-9) << "ray " << i;
                if (hit->inverted) n = -n;
                if (!options.skipNormal(*hit)) {
                    EXPECT_GT(dot(n, normalize(gradient(field, p))), 0.9999)
                        << "ray " << i << " part " << hit->index1 << ": normal is not the outward surface normal";
                }
            }
        }

        // Along the ray: within a span means inside, outside every span means outside;
        // points within delta of a span end are not judged.
        auto whereOnRay = [&](double t) {
            if (covered(t)) return 1;
            for (const Intersection& s : spans)
                if (t >= s.entry.distance - delta / 2 && t <= s.exit.distance + delta / 2) return 0;
            return -1;
        };
        std::vector<double> ts;
        const double far = 2 * options.startRadius / len;
        for (int k = 1; k <= 250; ++k) ts.push_back(k * far / 250);
        for (const Intersection& s : spans)
            for (double end : {s.entry.distance, s.exit.distance}) ts.insert(ts.end(), {end - delta, end + delta});
        for (double t : ts) {
            const int where = whereOnRay(t);
            const double f = field(origin + t * direction);
            if (where == 1) {
                EXPECT_LT(f, tol) << "ray " << i << " t " << t << " in a span but outside";
            } else if (where == -1) {
                EXPECT_GT(f, -tol) << "ray " << i << " t " << t << " inside but in no span";
            }
        }
        if (::testing::Test::HasFailure()) return spansSeen;
    }
    return spansSeen;
}

// The field of a solid given in its own frame, seen through a placement.
inline InsideField placed(const Transformation& placement, std::function<double(const Vector3&)> local) {
    return [placement, local](const Vector3& world) { return local(transform_point(world, placement.inverse)); };
}

// A random transformation made of a scale near 1, a rotation and a small move, so that the
// solid stays near the origin.
inline Transformation nearPlacement(std::mt19937& rng) {
    Transformation t, step;
    scaling_transformation(randomVector(rng, 0.7, 1.4), t);
    rotation_transformation(randomVector(rng, -180, 180), step);
    compose(t, step);
    translation_transformation(randomVector(rng, -0.2, 0.2), step);
    compose(t, step);
    return t;
}

// Process-level check of an error: stdout is sent to the stream the death test reads.
#define EXPECT_ERROR_EXIT(statement, line)                                                        \
    EXPECT_EXIT(                                                                                  \
        {                                                                                         \
            std::fflush(stdout);                                                                  \
            dup2(STDERR_FILENO, STDOUT_FILENO);                                                   \
            statement;                                                                            \
        },                                                                                        \
        ::testing::ExitedWithCode(255), ::testing::Matcher<const std::string&>(std::string(line)))
