// Grid samples, the scene they are traced against, and the tracing and shading of one sample.
#pragma once

#include <atomic>

#include "math/vector.h"
#include "objects/object.h"
#include "objects/texture.h"
#include "trace/ray.h"

// How many reflection and refraction bounces a ray may make, counted together (--depth).
inline constexpr int DEFAULT_TRACE_DEPTH = 5;
extern int traceDepth;

// The scene every ray is traced against: a list of objects linked by next.
extern Object* sceneList;
// What a primary or secondary ray that meets nothing shows; black unless the scene sets it.
extern Vector3 backgroundColour;

// Stamp of a sample that a thread is tracing right now.
inline constexpr int SAMPLE_BEING_TRACED = -2147483647 - 1;

// One point of the sample grid. Pieces of a frame traced by different threads share the
// samples on their common edges: the first thread to stamp a sample SAMPLE_BEING_TRACED
// traces it, the others wait for the frame's stamp before they read colour and hit.
struct Sample {
    int column = 0;
    int row = 0;
    // First, with the colour after it and the hit's object at the start of the hit, so that
    // what the renderers read of a traced sample lies in its first 48 bytes.
    std::atomic<int> stamp{-1};  // frameNumber of the last trace, set once colour and hit are written
    Vector3 colour;
    Hit hit;                     // entry hit of the nearest span; object null on a miss
};

// Traces the sample unless it was already traced (or taken on by another thread) in this
// frame; returns once its colour and hit are there to read.
void traceSample(Sample& sample);
// The colour seen along a primary ray, with its nearest visible hit written to hit (object
// null and distance MAX_RAY_DISTANCE on a miss), reflections and refractions included up to
// traceDepth bounces. Counts the ray as a primary ray.
Vector3 tracePrimaryRay(const Ray& ray, Hit& hit);
// The opaque object that last blocked a shadow ray from object towards the light with that
// index on the calling thread; null when the last one reached the light.
Object* shadowCacheOf(const Object* object, int light = 0);
// The scene or its lights were replaced: every thread forgets its shadow caches, and what it
// learned of the scene, before its next shadow ray.
void forgetShadowCaches();
// Writes the colour of the hit seen along ray from its surface alone (ambient, and each
// light's diffuse, phong and specular terms); true when an opaque object blocked some light.
bool shadeHit(const Hit& hit, Vector3& colour, const Ray& ray);
