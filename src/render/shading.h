// Grid samples, the scene they are traced against, and the tracing and shading of one sample.
#pragma once

#include "math/vector.h"
#include "objects/object.h"
#include "objects/texture.h"
#include "trace/ray.h"

// The scene every ray is traced against: a list of objects linked by next.
extern Object* sceneList;

// One point of the sample grid.
struct Sample {
    int column = 0;
    int row = 0;
    Vector3 colour;
    Hit hit;          // entry hit of the nearest span; object null on a miss
    int stamp = -1;   // frameNumber of the last trace
};

// Traces the sample unless it was already traced in this frame.
void traceSample(Sample& sample);
// Writes the shaded colour of the hit seen along ray; true when the light was blocked.
bool shadeHit(const Hit& hit, Vector3& colour, const Ray& ray);
