// A red ball floating in front of the camera, shaded by the light.
sphere { <1.7, 1, -1>, 0.5
    pigment { color rgb <1, 0, 0> }
    finish { ambient 0.1 diffuse 0.6 }
}
