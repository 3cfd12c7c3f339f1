// Regrouping of large unions into nested unions with tight boxes, so that a ray tests the
// boxes of a few members per level instead of the box of every member.
#pragma once

struct Object;

// Unions with more members than this are regrouped. The bundled scenes' unions have at
// most about ten members and stay exactly as written.
inline constexpr int REGROUP_THRESHOLD = 16;
// Members of the smallest unions the hierarchy is made of, and of the others.
inline constexpr int LEAF_MEMBERS = 4;
inline constexpr int BRANCHES = 4;
// Boxes that come this close to each other, relative to the size of the coordinates, count
// as touching: their members may meet a ray at the same distance.
inline constexpr double TOUCHING_TOLERANCE = 1e-6;
// A member whose box is wider than this on some axis counts as unbounded, as a CSG node's
// box does.
inline constexpr double BOUNDED_EXTENT = 1e6;

// Regroups every union with more than REGROUP_THRESHOLD members in the scene list that
// starts at scene (nested unions included, wherever the order of their spans cannot change
// what their parents compute). The union keeps its identity, its box and its spans; where
// two members may meet a ray at the same distance, their spans keep their written order, so
// the nearest hit is the same record as before. The nodes added are counted in
// csgNodeCount, and the result is still a tree: destroying the root releases every object
// once. Call it once, after the scene is built and placed.
void regroupUnions(Object* scene);
