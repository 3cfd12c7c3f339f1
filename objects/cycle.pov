// The light cycle in the foreground of the first view: two ring wheels under a low shell,
// a dark canopy and cyan neon trim. Modelled with the nose along +x and the ground at y = 0.
//
// Operators have no precedence and group from the right: a - b - c means a - (b - c), and a
// leading minus negates everything after it, so compound terms are written with brackets.

// ---- textures ----------------------------------------------------------------------------
#declare Hull = texture {
    pigment { color rgb <0.28, 0.31, 0.37> }
    finish { ambient 0.08 diffuse 0.9 phong 0.8 phong_size 40 }
}
#declare Glass = texture {
    pigment { color rgb <0.03, 0.08, 0.12> }
    finish { ambient 0.03 diffuse 0.6 phong 1.0 phong_size 90 specular 0.3 }
}
#declare Tire = texture {
    pigment { color rgb <0.05, 0.05, 0.06> }
    finish { ambient 0.04 diffuse 0.7 phong 0.5 phong_size 20 }
}
#declare Neon = texture {
    pigment { color rgb <0.1, 0.85, 1.0> }
    finish { ambient 0.25 diffuse 2.2 phong 0.4 phong_size 12 }
}
// the rims sit in the shadow of the shell, where only the ambient term lights them
#declare RimNeon = texture {
    pigment { color rgb <0.1, 0.85, 1.0> }
    finish { ambient 0.45 diffuse 2.0 phong 0.4 phong_size 12 }
}
#declare Beam = texture {
    pigment { color rgb <0.8, 1.0, 1.0> }
    finish { ambient 0.7 diffuse 1.0 }
}

// ---- dimensions --------------------------------------------------------------------------
#declare WheelR = 0.48;              // outer radius of a tyre
#declare TubeR = 0.09;               // tyre cross-section before it is widened
#declare RingR = WheelR - TubeR;     // centre line of the tyre
#declare AxleX = 1.22;               // axles at -AxleX and +AxleX
#declare Side = 0.22;                // half width of the shell
#declare Heading = -degrees(atan(0.27)); // turns the nose towards the viewer, about 15 degrees

// The shell's cross-section: an elliptic cylinder along x that rounds off the top of the
// swept profile. The neon stripes are cut by a slightly larger one so they stand proud of it.
#declare Round = cylinder { <-2.2, 0, 0>, <2.2, 0, 0>, 1 }

// ---- one wheel, axle along z through the origin ------------------------------------------
#declare Wheel = union {
    torus { RingR, TubeR rotate <90, 0, 0> scale <1, 1, 1.7> texture { Tire } }
    // hub plate: a disc with a hole
    difference {
        cylinder { <0, 0, -0.11>, <0, 0, 0.11>, RingR - 0.06 }
        cylinder { <0, 0, -0.2>, <0, 0, 0.2>, 0.12 }
        texture { Hull }
    }
    // neon rims on both faces
    torus { RingR - 0.07, 0.02 rotate <90, 0, 0> translate <0, 0, 0.155> texture { RimNeon } }
    torus { RingR - 0.07, 0.02 rotate <90, 0, 0> translate <0, 0, -0.155> texture { RimNeon } }
    cylinder { <0, 0, -0.13>, <0, 0, 0.13>, 0.05 texture { Neon } }
}

// ---- the cycle ---------------------------------------------------------------------------
// Side profiles are prisms swept across the width: the outline is written as <x, -y> and
// turned upright by rotate <90, 0, 0>, which puts the lit cap on the +z side.
union {
    union {
        object { Wheel translate <-AxleX, WheelR, 0> }
        object { Wheel translate <AxleX, WheelR, 0> }
    }
    union {
        // the shell, passing over both wheels, rounded across the top
        intersection {
            prism {
                linear_sweep -Side, Side, 19,
                <-1.76, -0.40>, <-1.80, -0.62>, <-1.66, -0.88>, <-1.40, -1.02>, <-0.95, -1.06>,
                <-0.55, -0.96>, <-0.20, -0.86>, <0.25, -0.88>, <0.80, -1.00>, <1.30, -1.05>,
                <1.66, -0.92>, <1.84, -0.66>, <1.80, -0.44>, <1.62, -0.40>, <0.74, -0.40>,
                <0.55, -0.24>, <-0.55, -0.24>, <-0.74, -0.40>, <-1.76, -0.40>
                rotate <90, 0, 0>
            }
            object { Round scale <1, 0.75, 0.26> translate <0, 0.45, 0> }
            texture { Hull }
        }
        // neon stripe along the lower edge, a hair wider than the shell
        prism {
            linear_sweep -(Side + 0.006), Side + 0.006, 13,
            <-1.74, -0.49>, <-0.78, -0.49>, <-0.59, -0.33>, <0.59, -0.33>, <0.78, -0.49>,
            <1.74, -0.49>, <1.70, -0.45>, <0.76, -0.45>, <0.57, -0.29>, <-0.57, -0.29>,
            <-0.76, -0.45>, <-1.70, -0.45>, <-1.74, -0.49>
            rotate <90, 0, 0>
            texture { Neon }
        }
        // neon stripes under the rear and front crests, one prism each, so that a ray near
        // one crest does not test the outline of the other
        intersection {
            prism {
                linear_sweep -(Side + 0.006), Side + 0.006, 9,
                <-1.62, -0.83>, <-1.39, -0.96>, <-0.95, -1.00>, <-0.58, -0.91>, <-0.60, -0.87>,
                <-0.96, -0.96>, <-1.40, -0.92>, <-1.60, -0.79>, <-1.62, -0.83>
                rotate <90, 0, 0>
            }
            object { Round scale <1, 0.757, 0.266> translate <0, 0.45, 0> }
            texture { Neon }
        }
        intersection {
            prism {
                linear_sweep -(Side + 0.006), Side + 0.006, 9,
                <0.30, -0.83>, <0.81, -0.95>, <1.30, -1.00>, <1.62, -0.88>, <1.58, -0.84>,
                <1.29, -0.96>, <0.80, -0.91>, <0.30, -0.79>, <0.30, -0.83>
                rotate <90, 0, 0>
            }
            object { Round scale <1, 0.757, 0.266> translate <0, 0.45, 0> }
            texture { Neon }
        }
    }
    union {
        // canopy: an ellipsoid cut flat where it meets the shell
        intersection {
            sphere { <0, 0, 0>, 1 scale <0.64, 0.21, 0.17> translate <-0.05, 0.86, 0> }
            box { <-0.72, 0.8, -0.2>, <0.62, 1.2, 0.2> }
            texture { Glass }
        }
        // headlight
        merge {
            cone { <1.76, 0.62, 0>, 0.075, <1.90, 0.62, 0>, 0.04 }
            sphere { <1.90, 0.62, 0>, 0.04 }
            texture { Beam }
        }
        // tail light
        box { <-1.83, 0.50, -0.12>, <-1.78, 0.58, 0.12> texture { Neon } }
    }
    rotate <0, Heading, 0>
    translate <0.35, 0, 0.4>
}
