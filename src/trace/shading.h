// Surface and light records, grid samples, and the tracing and shading of one sample.
#pragma once

#include "math/vector.h"
#include "trace/ray.h"

// Pigment colour and finish coefficients in one record.
struct Texture {
    double diffuse = 0.6;
    double diffuseExponent = 1.0;
    double specular = 0;
    double specularExponent = 20;
    double phong = 0;
    double phong_size = 40;
    double noise = 0;
    double metalness = 0;
    Vector3 colour{1, 1, 1};          // white until a pigment sets it
    Vector3 ambient{0.1, 0.1, 0.1};   // added as it stands, not multiplied by the pigment
};

// The single point light; no attenuation.
struct Light {
    Vector3 colour{1, 1, 1};
    Vector3 location{0, 0, 0};
};

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
