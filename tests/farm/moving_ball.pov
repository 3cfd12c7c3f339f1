// A ball rolling across a floor as the animation clock runs from 0 to 1: every frame differs.
camera { location <0, 1.6, -5> look_at <0, 0.9, 0> }
light_source { <-6, 10, -8> color rgb <1, 1, 1> }
union {
    plane { <0, 1, 0>, 0 pigment { color rgb <0.45, 0.47, 0.5> } }
    sphere { <clock * 3 - 1.5, 1, 0>, 1
        pigment { color rgb <0.9, 0.25, 0.1> }
        finish { ambient 0.1 diffuse 0.8 phong 0.6 phong_size 40 }
    }
}
