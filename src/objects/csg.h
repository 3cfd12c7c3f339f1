// Constructive solid geometry: union, merge, intersection and difference of member spans.
#pragma once

#include <initializer_list>

#include "objects/object.h"

// A removed span: both ends set here, equal to the longest ray, so no filter passes it.
inline constexpr double NO_HIT = 10000000;

extern const ObjectMethods CsgUnion;
extern const ObjectMethods CsgMerge;
extern const ObjectMethods CsgIntersection;
extern const ObjectMethods CsgDifference;

// A node of the given kind with no members; counts nothing.
Object* new_csg(const ObjectMethods* kind);
void add_member(Object* node, Object* member);
// The same, given the node's current last member (null when it has none), without walking
// the list; returns member, the new last one.
Object* add_member_after(Object* node, Object* last, Object* member);
void compute_csg_bounds(Object* node);
// The union of the members up to the first null; fewer than two is an error (1300).
Object* make_union(std::initializer_list<Object*> members);
