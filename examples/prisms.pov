// Prisms: a star swept straight up, a pyramid swept to a point, and a row of columns
// declared once and placed four times (brackets keep the sums in the usual order, since
// operators group to the right). The light sits low on the right.
camera { location <0, 3.5, -8> look_at <0, 0.8, 0> }
light_source { <9, 6, -6> color rgb <1, 0.95, 0.85> }

#declare Gold = texture {
    pigment { color rgb <1, 0.75, 0.2> }
    finish { ambient 0.1 diffuse 0.7 phong 0.8 phong_size 60 }
}
#declare Column = cylinder { <0, 0, 0>, <0, 2.2, 0>, 0.14 pigment { color rgb <0.85, 0.85, 0.9> } }
#declare Spacing = 1.4;

union {
    plane { <0, 1, 0>, 0 pigment { color rgb <0.32, 0.3, 0.27> } }
    prism {
        linear_sweep 0, 0.35, 11,
        <0, 1>, <0.22, 0.31>, <0.95, 0.31>, <0.36, -0.12>, <0.59, -0.81>, <0, -0.38>,
        <-0.59, -0.81>, <-0.36, -0.12>, <-0.95, 0.31>, <-0.22, 0.31>, <0, 1>
        scale <1.3, 1, 1.3>
        texture { Gold }
    }
    prism {
        conic_sweep 0, 1, 5, <1, 1>, <-1, 1>, <-1, -1>, <1, -1>, <1, 1>
        rotate <180, 0, 0>
        translate <0, 1, 0>
        scale <0.8, 1.6, 0.8>
        translate <2.6, 0, 0.8>
        pigment { color rgb <0.3, 0.7, 0.4> }
    }
    object { Column translate <-2.2, 0, 2> }
    object { Column translate <Spacing - 2.2, 0, 2> }
    object { Column translate <(2 * Spacing) - 2.2, 0, 2> }
    object { Column translate <(3 * Spacing) - 2.2, 0, 2> }
}
