// Constructive solid geometry: a die carved from the intersection of a cube and a sphere,
// a lens made of two spheres, and a ring cut in half.
camera { location <1.5, 3.2, -6.5> look_at <0.3, 0.8, 0> }
light_source { <-8, 12, -7> color rgb <1, 1, 1> }

#declare Half = 0.8;                       // half the side of the die
#declare Pip = sphere { <0, 0, 0>, 0.17 }
#declare Ivory = texture {
    pigment { color rgb <0.95, 0.92, 0.84> }
    finish { ambient 0.12 diffuse 0.8 phong 0.5 phong_size 30 }
}

union {
    plane { <0, 1, 0>, 0 pigment { color rgb <0.18, 0.26, 0.32> } }
    difference {
        intersection {
            box { <-Half, -Half, -Half>, <Half, Half, Half> }
            sphere { <0, 0, 0>, Half * 1.38 }
        }
        // one pip on the face towards the camera, two on top
        object { Pip translate <0, 0, -Half> }
        object { Pip translate <-0.35, Half, -0.35> }
        object { Pip translate <0.35, Half, 0.35> }
        rotate <0, 20, 0>
        translate <-1.2, Half, 0>
        texture { Ivory }
    }
    intersection {
        sphere { <0, 0, -0.75>, 1 }
        sphere { <0, 0, 0.75>, 1 }
        rotate <0, -35, 0>
        translate <1.1, 0.7, 0.4>
        pigment { color rgb <0.25, 0.6, 1> }
        finish { ambient 0.1 diffuse 0.7 phong 0.9 phong_size 80 }
    }
    difference {
        torus { 0.7, 0.16 }
        box { <-1, -1, -1>, <1, 1, 0> }
        translate <0.2, 0.16, -1.6>
        pigment { color rgb <0.95, 0.7, 0.2> }
        finish { ambient 0.1 diffuse 0.7 phong 0.7 }
    }
}
