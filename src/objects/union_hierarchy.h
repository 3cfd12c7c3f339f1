// Regrouping of large unions: their bounded members go into a bounding-volume hierarchy kept
// in flat arrays, walked nearest first where only the nearest span or any blocking span is
// wanted.
#pragma once

#include <vector>

#include "objects/object.h"

// Unions with more members than this are regrouped. The bundled scenes' unions have at
// most about ten members and stay exactly as written.
inline constexpr int REGROUP_THRESHOLD = 16;
// Members of the smallest groups the hierarchy is made of, and groups of the others.
inline constexpr int LEAF_MEMBERS = 4;
inline constexpr int BRANCHES = 4;
// Boxes that come this close to each other, relative to the size of the coordinates, count
// as touching: their members may meet a ray at the same distance.
inline constexpr double TOUCHING_TOLERANCE = 1e-6;
// A member whose box is wider than this on some axis counts as unbounded, as a CSG node's
// box does.
inline constexpr double BOUNDED_EXTENT = 1e6;

// One child of a hierarchy node: its box and what it holds. The children of a node lie side
// by side, so the loop that tests their boxes reads one stretch of memory.
struct TreeEntry {
    Vector3 lower;
    Vector3 upper;
    int index = 0;  // >= 0: a node; < 0: the member ~index
};

struct TreeNode {
    int first = 0;  // its children are entries[first, first + count)
    int count = 0;
};

// A run of bounded members of a regrouped union, in one object that acts as a union of them:
// its spans are the members' spans in members order. Node 0 is the root.
struct UnionTree : Object {
    std::vector<Object*> members;  // spatial order; of two touching members the earlier written first
    std::vector<TreeNode> nodes;
    std::vector<TreeEntry> entries;
    int depth = 0;  // nodes on the longest path from the root
};

extern const ObjectMethods UnionTreeMethods;

// Regroups every union with more than REGROUP_THRESHOLD members in the scene list that
// starts at scene (nested unions included, wherever the order of their spans cannot change
// what their parents compute). The union keeps its identity, its box and its spans; where
// two members may meet a ray at the same distance, their spans keep their written order, so
// the nearest hit is the same record as before. Each hierarchy counts as one CSG node in
// csgNodeCount. Call it once, after the scene is built and placed. A union of many members
// takes a second thread for part of the work, joined before it returns.
void regroupUnions(Object* scene);

// Where a span is seen from the ray's origin: its entry when that lies ahead, else its exit;
// NO_LIMIT for a span wholly behind the origin.
inline double visibleDistance(const Intersection& span) {
    if (span.entry.distance > 0) return span.entry.distance;
    if (span.exit.distance > 0) return span.exit.distance;
    return NO_LIMIT;
}

// Whether a span of a shadow ray stands between its origin and the light, distance away: a
// span that begins at or beyond the light does not, and neither does one that holds both the
// origin and the light. A span that begins within MIN_HIT_DISTANCE of the origin begins at
// it: the surface the origin lies on, seen from inside.
inline bool spanBlocks(const Intersection& span, double distance) {
    const double entry = span.entry.distance, exit = span.exit.distance;
    return entry < distance && !(entry <= MIN_HIT_DISTANCE && exit >= distance);
}

// The visible span nearest the ray's origin among the tree's (as the nearest of all its spans
// by visibleDistance, of equal ones the latest in members order), found front to back. The
// best span so far comes in and goes out through nearest; order is its place in the
// caller's order of spans, and the tree's members take the places from base on. Returns
// whether the tree reported any span.
bool nearestInTree(UnionTree* tree, const Ray& ray, Intersection& nearest, double& nearestDistance,
                   long& order, long base);
// Whether some span of the tree blocks the light, distance away (spanBlocks); stops at the
// first.
bool treeBlocksLight(UnionTree* tree, const Ray& ray, double distance);
