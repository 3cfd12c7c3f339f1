// The common object record, its table of nine operations, ids and the shared singletons.
#pragma once

#include "math/transform.h"
#include "trace/bounds.h"
#include "trace/ray.h"

struct Object;
struct Texture;
struct Light;

// Slot order is fixed; a live object may switch to another table of its family.
struct ObjectMethods {
    int (*intersect)(Object* object, const Ray& ray, IntersectionStack* stack);
    Vector3* (*normal)(Vector3* out, const Hit& hit);
    Object* (*copy)(Object* object);
    void (*translate)(Object* object, const Vector3& v, const Transformation& t);
    void (*rotate)(Object* object, const Vector3& v, const Transformation& t);
    void (*scale)(Object* object, const Vector3& v, const Transformation& t);
    void (*transform)(Object* object, const Transformation& t);
    void (*destroy)(Object* object);
    void (*prepare)(Object* object);
};

// Every type's record derives from this one and adds its own fields after it.
struct Object {
    const ObjectMethods* methods = nullptr;
    Object* children = nullptr;     // first member of a CSG node
    int id = 0;
    Object* next = nullptr;         // next sibling in a member list or the scene list
    Texture* texture = nullptr;     // shared, never freed by the object
    Light* light = nullptr;         // shared, never freed by the object
    BoundingBox bounds;             // world box; unbounded at creation
    Transformation* transformation = nullptr;  // owned; null: parameters are in world space
    int origin = -1;  // where the scene text made it: an index into its store's origins; -1: not from a statement
};

extern int objectCount;     // ids handed out so far
extern int primitiveCount;  // primitives built
extern int csgNodeCount;    // CSG nodes built

// Both singletons are created together on the first request for either.
Texture* defaultTexture();
Light* sceneLight();

// Constructor part common to every type: table, next id, common initial values.
void init_object(Object* object, const ObjectMethods* methods);
// Builder part common to every primitive: counts it and attaches the shared records.
void finish_primitive(Object* object);

// Fills best with the span whose entry is nearest; 1 when the object reported any span.
int nearestHit(Object* object, const Ray& ray, Intersection& best);
// 1 when the object reports any span at all.
int anyHit(Object* object, const Ray& ray);
// The nearest surface seen along the ray: a span's entry when it lies ahead, or, when the
// ray starts inside the span, its exit, with the normal turned to face the ray's origin.
// 1 when some span has an end ahead of the origin.
int nearestVisibleHit(Object* object, const Ray& ray, Hit& visible);
// 1 when the object reports a span that may stand between the ray's origin and the point
// distance along it: any span but one that starts at or beyond that point, or one that holds
// both the origin and that point (a solid around both, which no surface between them bounds).
int spanBefore(Object* object, const Ray& ray, double distance);
