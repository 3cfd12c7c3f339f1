// Surface and light records shared by the objects of a scene.
#pragma once

#include "math/vector.h"

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
