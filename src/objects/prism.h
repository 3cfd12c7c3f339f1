// The prism: closed outlines in the x-z plane swept along y, straight or towards the origin.
#pragma once

#include <vector>

#include "objects/object.h"

enum PrismSweep { LINEAR_SWEEP = 1, CONIC_SWEEP = 2 };
enum PrismPart { PRISM_CAP1 = 1, PRISM_CAP2 = 2, PRISM_SIDE = 3 };

struct OutlinePoint {
    double x = 0, z = 0;
};

struct Segment {
    double x_min = 0, z_min = 0, x_max = 0, z_max = 0;  // scaled by the heights for a conic sweep
    double plain_z_min = 0, plain_x_max = 0, plain_z_max = 0;  // unscaled, for the cap test
    // x(u) = k3x u³ + k2x u² + k1x u + k0x, likewise z(u), u in [0, 1].
    double k3x = 0, k3z = 0, k2x = 0, k2z = 0, k1x = 0, k1z = 0, k0x = 0, k0z = 0;
};

// Shared by a prism and its copies.
struct SegmentTable {
    int references = 1;
    std::vector<Segment> segments;
};

struct PrismHit {
    double distance = 0;
    double u = 0;
    int segment = 0;
    int part = 0;
};

struct Prism : Object {
    int outline_count = 0;  // points before set-up, segments after it
    int sweep = LINEAR_SWEEP;
    double height1 = 0;
    double height2 = 0;
    double sweep_box[4] = {0, 0, 0, 0};    // x_min, z_min, x_max, z_max
    SegmentTable* segments = nullptr;
    std::vector<PrismHit> hits;            // room for a work list: outline_count + 2
    double outline_box[4] = {0, 0, 0, 0};  // unscaled outline box
};

extern const ObjectMethods PrismMethods;

Prism* new_prism();
// points holds the prism's outline_count points; a second set-up is an error (1400).
void set_up_segments(Prism* prism, const std::vector<OutlinePoint>& points);
void compute_prism_bounds(Prism* prism);
