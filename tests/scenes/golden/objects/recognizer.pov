// Frozen copy of objects/recognizer.pov as it was when the golden pictures were made: the
// references in ../expected hold for exactly this text, so it is never edited.
// The recognizer: a hovering arch of two legs under a heavy top body, with a head hanging
// between the legs. Modelled about the origin, front towards -z; start-up turns it half way
// round and lifts it to its place over the far end of the grid, so the origin ends up 35
// units above the floor and the feet hover a few units over it.
//
// Operators have no precedence and group from the right, so compound terms are bracketed.

// ---- textures ----------------------------------------------------------------------------
#declare Shell = texture {
    pigment { color rgb <0.22, 0.2, 0.2> }
    finish { ambient 0.07 diffuse 0.8 phong 0.5 phong_size 25 }
}
#declare Trim = texture {
    pigment { color rgb <1.0, 0.3, 0.06> }
    finish { ambient 0.3 diffuse 2.0 phong 0.3 phong_size 10 }
}
#declare Core = texture {
    pigment { color rgb <1.0, 0.75, 0.3> }
    finish { ambient 0.6 diffuse 1.4 }
}

// ---- dimensions --------------------------------------------------------------------------
#declare Depth = 8;                 // half depth of the top body
#declare LegX = 33;                 // legs stand at -LegX and +LegX
#declare LegDepth = 5;              // half depth of a leg
#declare FootY = -24;               // where a leg ends and its foot begins
#declare FinLean = tan(radians(30)); // shear of the roof fins
#declare TipX = 44;                 // the outer tips of the top body
#declare EngineR = sqrt(2) * 2.2;   // radius of the glowing rings under the arms

// ---- a leg standing about the y axis -----------------------------------------------------
// Front outlines are prisms swept over the depth: the outline is written as <x, y> and set
// upright by rotate <-90, 0, 0>, which puts the lit cap on the front.
#declare Leg = union {
    merge {
        prism {
            linear_sweep -LegDepth, LegDepth, 5,
            <-4, FootY>, <4, FootY>, <7, 22>, <-7, 22>, <-4, FootY>
            rotate <-90, 0, 0>
        }
        cone { <0, FootY, 0>, 4.6, <0, FootY - 5, 0>, 1.2 }
        texture { Shell }
    }
    // neon frame on the front and the back: an outer outline with an inner one cut out of
    // it (the inner one runs the other way round so its sides face into the hole)
    prism {
        linear_sweep -(LegDepth + 0.15), LegDepth + 0.15, 10,
        <-3.5, FootY + 0.6>, <3.5, FootY + 0.6>, <6.4, 21>, <-6.4, 21>, <-3.5, FootY + 0.6>,
        <-2.5, FootY + 1.6>, <-5.2, 21>, <5.2, 21>, <2.5, FootY + 1.6>, <-2.5, FootY + 1.6>
        rotate <-90, 0, 0>
        texture { Trim }
    }
    // glowing ring round the foot
    torus { 2.9, 0.35 translate <0, FootY - 2.5, 0> texture { Trim } }
}

// ---- the recognizer ----------------------------------------------------------------------
union {
    // top body
    union {
        // the long hull with a groove along its front; a neon bar shows inside the groove
        difference {
            prism {
                linear_sweep -Depth, Depth, 11,
                <-TipX, 22>, <-36, 16>, <-14, 14>, <14, 14>, <36, 16>, <TipX, 22>,
                <40, 30>, <14, 33>, <-14, 33>, <-40, 30>, <-TipX, 22>
                rotate <-90, 0, 0>
            }
            box { <-38, 19, -(Depth + 1)>, <38, 21, 0.6 - Depth> }
            texture { Shell }
        }
        box { <-38, 19.3, -(Depth - 0.3)>, <38, 20.7, Depth - 0.3> texture { Trim } }
        // neon frame just inside the hull's outline, on the front and the back
        prism {
            linear_sweep -(Depth + 0.15), Depth + 0.15, 22,
            <-42, 22>, <-35.5, 17.1>, <-14, 15.1>, <14, 15.1>, <35.5, 17.1>, <42, 22>,
            <39, 28.9>, <14, 31.9>, <-14, 31.9>, <-39, 28.9>, <-42, 22>,
            <-40.4, 22>, <-37.8, 28>, <-14, 30.9>, <14, 30.9>, <37.8, 28>, <40.4, 22>,
            <35, 18.1>, <14, 16.1>, <-14, 16.1>, <-35, 18.1>, <-40.4, 22>
            rotate <-90, 0, 0>
            texture { Trim }
        }
        // rounded roof over the middle
        intersection {
            cylinder { <-14, 30, 0>, <14, 30, 0>, 6 }
            box { <-15, 30, -7>, <15, 37, 7> }
            texture { Shell }
        }
        // two fins leaning outwards from the roof
        box {
            <-0.4, 0, -4>, <0.4, 5, 4>
            matrix < 1, 0, 0,
                     FinLean, 1, 0,
                     0, 0, 1,
                     9, 34, 0 >
            texture { Trim }
        }
        box {
            <-0.4, 0, -4>, <0.4, 5, 4>
            matrix < 1, 0, 0,
                     -FinLean, 1, 0,
                     0, 0, 1,
                     -9, 34, 0 >
            texture { Trim }
        }
        // lamps on the tips and engine rings under the arms
        sphere { <-TipX, 22, 0>, 1.6 texture { Core } }
        sphere { <TipX, 22, 0>, 1.6 texture { Core } }
        torus { EngineR, 0.45 translate <-22, 14.6, 0> texture { Trim } }
        torus { EngineR, 0.45 translate <22, 14.6, 0> texture { Trim } }
    }
    // the head hanging between the legs: a square frustum narrowing downwards, with a
    // glowing slit across it
    union {
        prism {
            conic_sweep 0.45, 1, 5,
            <-1, -1>, <1, -1>, <1, 1>, <-1, 1>, <-1, -1>
            scale <14, 20, 8>
            translate <0, -5, 0>
            texture { Shell }
        }
        box { <-10, 8, -6.3>, <10, 9.6, 6.3> texture { Core } }
        // lit edges down the front of the head
        cylinder { <-14, 15, -8>, <-6.3, 4, -3.6>, 0.4 texture { Core } }
        cylinder { <14, 15, -8>, <6.3, 4, -3.6>, 0.4 texture { Core } }
        cylinder { <-6.3, 4, -3.6>, <6.3, 4, -3.6>, 0.4 texture { Core } }
    }
    // legs
    union {
        object { Leg translate <-LegX, 0, 0> }
        object { Leg translate <LegX, 0, 0> }
    }
}
