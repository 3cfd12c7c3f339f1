// Light and materials: a glass ball and a red ball on a checkered floor in front of a mirror,
// lit by a warm and a cool light; the mirror shows the balls from behind and the glass ball
// shows the floor bent and upside down.
camera { location <1.2, 2.2, -6.5> look_at <0, 1, 0> }
light_source { <-6, 9, -6> color rgb <0.9, 0.7, 0.45> }
light_source { <7, 5, -3> color rgb <0.35, 0.5, 0.9> }
background { color rgb <0.08, 0.1, 0.16> }
union {
    plane { <0, 1, 0>, 0
        pigment { checker color rgb <0.92, 0.9, 0.85> color rgb <0.12, 0.14, 0.2> }
        finish { ambient 0.05 diffuse 0.8 reflection 0.08 }
    }
    // The mirror: a silvered slab in a dark frame, turned towards the balls.
    union {
        box { <-2, 0, 0>, <2, 3, 0.1>
            pigment { color rgb <0.9, 0.92, 0.95> }
            finish { ambient 0 diffuse 0.05 reflection 0.9 }
        }
        difference {
            box { <-2.2, 0, 0.05>, <2.2, 3.2, 0.3> }
            box { <-2, -1, -0.1>, <2, 3, 0.4> }
            pigment { color rgb <0.25, 0.15, 0.08> }
            finish { phong 0.3 }
        }
        rotate <0, 30, 0>
        translate <1.9, 0, 3>
    }
    // The glass ball: nearly all light passes, bent as by glass, with a faint mirror of its own.
    sphere { <0, 1, 0>, 1
        pigment { color rgb <0.95, 1, 0.97> }
        finish { ambient 0 diffuse 0 phong 0.9 phong_size 120 reflection 0.06 transmit 0.92 ior 1.5 }
    }
    sphere { <-2.1, 0.6, 1.2>, 0.6
        pigment { color rgb <0.85, 0.18, 0.12> }
        finish { phong 0.6 phong_size 40 }
    }
    cylinder { <-0.9, 0, 2.6>, <-0.9, 1.8, 2.6>, 0.35
        pigment { color rgb <0.2, 0.6, 0.3> }
        finish { phong 0.4 }
    }
}
