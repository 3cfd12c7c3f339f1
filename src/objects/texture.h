// Surface and light records shared by the objects of a scene.
#pragma once

#include "math/vector.h"

// How the pigment colours a surface.
enum class Pattern {
    plain,    // colour everywhere
    checker,  // unit cubes of the object's own space: colour and checkerColour by turns
};

// Pigment colour and finish coefficients in one record. The defaults of reflection, transmit,
// ior and pattern leave a surface as it was before mirrors and glass existed.
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
    double reflection = 0;            // 0 to 1: share of the mirrored ray's colour added
    double transmit = 0;              // 0 to 1: share of light that passes, tinted by the pigment
    double ior = 1;                   // index of refraction inside the solid; 1 bends nothing
    Pattern pattern = Pattern::plain;
    Vector3 checkerColour{1, 1, 1};   // the checker's second colour
};

// A point light; no attenuation.
struct Light {
    Vector3 colour{1, 1, 1};
    Vector3 location{0, 0, 0};
};
