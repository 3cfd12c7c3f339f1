// Pigment patterns: a plain colour or a checker of unit cubes.
#include "render/pattern.h"

#include <cmath>

#include "objects/object.h"

// The checker is fixed to the object: the hit point goes back through the object's own
// transformation, so the cubes move, turn and scale with it.
Vector3 checkerColourAt(const Texture& texture, const Hit& hit) {
    Vector3 p = hit.point;
    if (const Transformation* t = hit.object->transformation) p = transform_point(p, t->inverse);
    const double cube = std::floor(p.x + CHECKER_TOLERANCE) + std::floor(p.y + CHECKER_TOLERANCE) +
                        std::floor(p.z + CHECKER_TOLERANCE);
    return std::fmod(cube, 2.0) == 0 ? texture.colour : texture.checkerColour;
}
