// The pigment's colour at a point of a surface.
#pragma once

#include "math/vector.h"
#include "objects/texture.h"
#include "trace/ray.h"

// Points this close below a cube's side count as lying on it, so that a face on the side
// (a floor at y = 0) takes one cube's colour rather than flickering between two.
inline constexpr double CHECKER_TOLERANCE = 1e-9;

// The colour of the unit cube of the hit object's own space that holds the hit point.
Vector3 checkerColourAt(const Texture& texture, const Hit& hit);

// The pigment of texture at the hit. Inline: every shaded point asks, and most are plain.
inline Vector3 pigmentAt(const Texture& texture, const Hit& hit) {
    return texture.pattern == Pattern::checker ? checkerColourAt(texture, hit) : texture.colour;
}
