// Frozen copy of objects/arena.pov as it was when the golden pictures were made: the
// references in ../expected hold for exactly this text, so it is never edited.
// The game grid: a dark floor with glowing grid lines, walls around it, light towers and a
// ramp. The floor plane stays a member of its own so that every other group keeps a tight box.
//
// Operators have no precedence and group from the right, so -(a + b) is written out in full.

// ---- textures ----------------------------------------------------------------------------
#declare FloorTex = texture {
    pigment { color rgb <0.02, 0.03, 0.06> }
    finish { ambient 0.02 diffuse 0.5 }
}
#declare GridTex = texture {
    pigment { color rgb <0.05, 0.55, 1.0> }
    finish { ambient 0.15 diffuse 1.3 }
}
#declare FineTex = texture {
    pigment { color rgb <0.05, 0.4, 0.85> }
    finish { ambient 0.1 diffuse 1.1 }
}
#declare TileTex = texture {
    pigment { color rgb <0.02, 0.03, 0.06> }
    finish { ambient 0.032 diffuse 0.5 }
}
#declare WallTex = texture {
    pigment { color rgb <0.06, 0.07, 0.1> }
    finish { ambient 0.04 diffuse 0.7 phong 0.3 phong_size 20 }
}
#declare EdgeTex = texture {
    pigment { color rgb <0.2, 0.9, 1.0> }
    finish { ambient 0.3 diffuse 1.8 phong 0.5 phong_size 10 }
}
#declare TowerTex = texture {
    pigment { color rgb <0.09, 0.1, 0.13> }
    finish { ambient 0.05 diffuse 0.8 phong 0.6 phong_size 25 }
}
#declare RampTex = texture {
    pigment { color rgb <0.12, 0.15, 0.22> }
    finish { ambient 0.05 diffuse 0.8 phong 0.4 phong_size 30 }
}
#declare BeaconTex = texture {
    pigment { color rgb <1.0, 0.55, 0.15> }
    finish { ambient 0.5 diffuse 1.5 }
}

// ---- dimensions --------------------------------------------------------------------------
#declare Span = 100;        // the walls stand at -Span and +Span on x and z
#declare WallH = 3;
#declare Major = 0.12;      // half width of a major grid line (every 10 units)
#declare Fine = 0.04;       // half width of a fine line, halfway between two major ones
#declare NearX0 = -15;      // the near field, tiled and finely lined: x from NearX0 to NearX1,
#declare NearX1 = 50;       // z from NearZ0 to NearZ1
#declare NearZ0 = -50;
#declare NearZ1 = 5;
#declare TowerH = 14;
#declare Corner = 64 * sqrt(2);  // distance of the corner towers from the centre

// ---- grid lines, each modelled through the origin ----------------------------------------
#declare LineX = box { <-Span, -0.01, -Major>, <Span, 0.03, Major> texture { GridTex } }
// Seen from the start, a flat line across the view gets thinner than a pixel a few tens of
// units out; further out the lines across stand a little proud of the floor, so their
// front edge still shows.
#declare MidLineX = box { <-Span, -0.01, -Major>, <Span, 0.12, Major> texture { GridTex } }
#declare FarLineX = box { <-Span, -0.01, -Major>, <Span, 0.25, Major> texture { GridTex } }
#declare LineZ = box { <-Major, -0.01, -Span>, <Major, 0.03, Span> texture { GridTex } }
#declare FineX = box { <NearX0, -0.01, -Fine>, <NearX1, 0.02, Fine> texture { FineTex } }
#declare MidFineX = box { <NearX0, -0.01, -Fine>, <NearX1, 0.1, Fine> texture { FineTex } }
#declare FineZ = box { <-Fine, -0.01, NearZ0>, <Fine, 0.02, NearZ1> texture { FineTex } }
// The adaptive renderer refines wherever neighbouring samples see different objects of
// different colours; the tiles give it such an edge under every near grid line, so those
// lines come out whole instead of in dashes.
#declare Tile = box { <0, -0.02, 0>, <5, 0.002, 5> texture { TileTex } }

// ---- one wall along z at x = 0, its neon running along the inner (-x) face ---------------
#declare WallZ = union {
    box { <0, 0, -(Span + 1)>, <1, WallH, Span + 1> texture { WallTex } }
    cylinder { <-0.05, WallH - 0.5, -Span>, <-0.05, WallH - 0.5, Span>, 0.12 texture { EdgeTex } }
    box { <-0.02, WallH, -(Span + 1)>, <1.02, WallH + 0.06, Span + 1> texture { EdgeTex } }
}
// the same along x at z = 0, its neon on the inner (+z) face
#declare WallX = union {
    box { <-(Span + 1), 0, -1>, <Span + 1, WallH, 0> texture { WallTex } }
    cylinder { <-Span, WallH - 0.5, 0.05>, <Span, WallH - 0.5, 0.05>, 0.12 texture { EdgeTex } }
    box { <-(Span + 1), WallH, -1.02>, <Span + 1, WallH + 0.06, 0.02> texture { EdgeTex } }
}

// ---- a light tower standing on the origin ------------------------------------------------
#declare Tower = union {
    box { <-1, 0, -1>, <1, TowerH, 1> texture { TowerTex } }
    // neon seams down the middle of all four faces
    box { <-1.04, 0, -0.12>, <1.04, TowerH - 0.6, 0.12> texture { EdgeTex } }
    box { <-0.12, 0, -1.04>, <0.12, TowerH - 0.6, 1.04> texture { EdgeTex } }
    torus { 1.3, 0.12 translate <0, TowerH, 0> texture { EdgeTex } }
    cone { <0, TowerH, 0>, 1.2, <0, TowerH + 2.6, 0>, 0.12 texture { TowerTex } }
    sphere { <0, TowerH + 2.75, 0>, 0.4 texture { BeaconTex } }
}

// ---- the arena ---------------------------------------------------------------------------
union {
    plane { <0, 1, 0>, 0 texture { FloorTex } }

    // major lines along x, in three bands of z
    union {
        union {
            object { FarLineX translate <0, 0, -100> } object { FarLineX translate <0, 0, -90> }
            object { FarLineX translate <0, 0, -80> }  object { FarLineX translate <0, 0, -70> }
            object { FarLineX translate <0, 0, -60> }  object { FarLineX translate <0, 0, -50> }
            object { MidLineX translate <0, 0, -40> }
        }
        union {
            object { MidLineX translate <0, 0, -30> } object { MidLineX translate <0, 0, -20> }
            object { LineX translate <0, 0, -10> } object { LineX }
            object { LineX translate <0, 0, 10> }  object { MidLineX translate <0, 0, 20> }
            object { MidLineX translate <0, 0, 30> }
        }
        union {
            object { MidLineX translate <0, 0, 40> } object { FarLineX translate <0, 0, 50> }
            object { FarLineX translate <0, 0, 60> } object { FarLineX translate <0, 0, 70> }
            object { FarLineX translate <0, 0, 80> } object { FarLineX translate <0, 0, 90> }
            object { FarLineX translate <0, 0, 100> }
        }
    }
    // major lines along z, in three bands of x
    union {
        union {
            object { LineZ translate <-100, 0, 0> } object { LineZ translate <-90, 0, 0> }
            object { LineZ translate <-80, 0, 0> }  object { LineZ translate <-70, 0, 0> }
            object { LineZ translate <-60, 0, 0> }  object { LineZ translate <-50, 0, 0> }
            object { LineZ translate <-40, 0, 0> }
        }
        union {
            object { LineZ translate <-30, 0, 0> } object { LineZ translate <-20, 0, 0> }
            object { LineZ translate <-10, 0, 0> } object { LineZ }
            object { LineZ translate <10, 0, 0> }  object { LineZ translate <20, 0, 0> }
            object { LineZ translate <30, 0, 0> }
        }
        union {
            object { LineZ translate <40, 0, 0> } object { LineZ translate <50, 0, 0> }
            object { LineZ translate <60, 0, 0> } object { LineZ translate <70, 0, 0> }
            object { LineZ translate <80, 0, 0> } object { LineZ translate <90, 0, 0> }
            object { LineZ translate <100, 0, 0> }
        }
    }
    // the near field, where the first view looks: fine lines halfway between the major
    // ones, and every other cell covered by a tile a shade lighter than the floor
    union {
        union {
            object { FineZ translate <-15, 0, 0> } object { FineZ translate <-5, 0, 0> }
            object { FineZ translate <5, 0, 0> }   object { FineZ translate <15, 0, 0> }
        }
        union {
            object { FineZ translate <25, 0, 0> } object { FineZ translate <35, 0, 0> }
            object { FineZ translate <45, 0, 0> }
        }
        union {
            object { FineX translate <0, 0, 5> }   object { FineX translate <0, 0, -5> }
            object { FineX translate <0, 0, -15> }
        }
        union {
            object { MidFineX translate <0, 0, -25> } object { MidFineX translate <0, 0, -35> }
            object { MidFineX translate <0, 0, -45> }
        }
    }
    union {
        union {
            object { Tile translate <-10, 0, 0> } object { Tile translate <0, 0, 0> } object { Tile translate <10, 0, 0> }
            object { Tile translate <20, 0, 0> } object { Tile translate <30, 0, 0> } object { Tile translate <40, 0, 0> }
        }
        union {
            object { Tile translate <-15, 0, -5> } object { Tile translate <-5, 0, -5> } object { Tile translate <5, 0, -5> }
            object { Tile translate <15, 0, -5> } object { Tile translate <25, 0, -5> } object { Tile translate <35, 0, -5> }
            object { Tile translate <45, 0, -5> }
        }
        union {
            object { Tile translate <-10, 0, -10> } object { Tile translate <0, 0, -10> } object { Tile translate <10, 0, -10> }
            object { Tile translate <20, 0, -10> } object { Tile translate <30, 0, -10> } object { Tile translate <40, 0, -10> }
        }
        union {
            object { Tile translate <-15, 0, -15> } object { Tile translate <-5, 0, -15> } object { Tile translate <5, 0, -15> }
            object { Tile translate <15, 0, -15> } object { Tile translate <25, 0, -15> } object { Tile translate <35, 0, -15> }
            object { Tile translate <45, 0, -15> }
        }
    }
    union {
        union {
            object { Tile translate <-10, 0, -20> } object { Tile translate <0, 0, -20> } object { Tile translate <10, 0, -20> }
            object { Tile translate <20, 0, -20> } object { Tile translate <30, 0, -20> } object { Tile translate <40, 0, -20> }
        }
        union {
            object { Tile translate <-15, 0, -25> } object { Tile translate <-5, 0, -25> } object { Tile translate <5, 0, -25> }
            object { Tile translate <15, 0, -25> } object { Tile translate <25, 0, -25> } object { Tile translate <35, 0, -25> }
            object { Tile translate <45, 0, -25> }
        }
        union {
            object { Tile translate <-10, 0, -30> } object { Tile translate <0, 0, -30> } object { Tile translate <10, 0, -30> }
            object { Tile translate <20, 0, -30> } object { Tile translate <30, 0, -30> } object { Tile translate <40, 0, -30> }
        }
        union {
            object { Tile translate <-15, 0, -35> } object { Tile translate <-5, 0, -35> } object { Tile translate <5, 0, -35> }
            object { Tile translate <15, 0, -35> } object { Tile translate <25, 0, -35> } object { Tile translate <35, 0, -35> }
            object { Tile translate <45, 0, -35> }
        }
    }
    union {
        union {
            object { Tile translate <-10, 0, -40> } object { Tile translate <0, 0, -40> } object { Tile translate <10, 0, -40> }
            object { Tile translate <20, 0, -40> } object { Tile translate <30, 0, -40> } object { Tile translate <40, 0, -40> }
        }
        union {
            object { Tile translate <-15, 0, -45> } object { Tile translate <-5, 0, -45> } object { Tile translate <5, 0, -45> }
            object { Tile translate <15, 0, -45> } object { Tile translate <25, 0, -45> } object { Tile translate <35, 0, -45> }
            object { Tile translate <45, 0, -45> }
        }
        union {
            object { Tile translate <-10, 0, -50> } object { Tile translate <0, 0, -50> } object { Tile translate <10, 0, -50> }
            object { Tile translate <20, 0, -50> } object { Tile translate <30, 0, -50> } object { Tile translate <40, 0, -50> }
        }
    }

    // boundary walls
    union {
        object { WallZ translate <Span, 0, 0> }
        object { WallZ rotate <0, 180, 0> translate <-Span, 0, 0> }
        object { WallX translate <0, 0, -Span> }
        object { WallX rotate <0, 180, 0> translate <0, 0, Span> }
    }

    // light towers in rows across the arena
    union {
        object { Tower translate <-6, 0, -96> }
        object { Tower translate <-6, 0, -64> }
        object { Tower translate <-6, 0, -32> }
        object { Tower translate <Corner * cos(radians(45)), 0, -(Corner * sin(radians(45)))> }
        object { Tower translate <-70, 0, -64> }
    }
    union {
        object { Tower translate <-6, 0, 32> }
        object { Tower translate <-6, 0, 64> }
        object { Tower translate <64, 0, 32> }
        object { Tower translate <Corner * cos(radians(45)), 0, Corner * sin(radians(45))> }
        object { Tower translate <-70, 0, 32> }
    }

    // a launch ramp: a wedge rising away from the start, swept across x
    union {
        prism {
            linear_sweep -2, 2, 4,
            <0, 4>, <-1.6, -4>, <0, -4>, <0, 4>
            rotate <0, 0, -90>
            texture { RampTex }
        }
        cylinder { <-2, 0, 4>, <-2, 1.6, -4>, 0.12 texture { EdgeTex } }
        cylinder { <2, 0, 4>, <2, 1.6, -4>, 0.12 texture { EdgeTex } }
        box { <-2.1, 1.5, -4.12>, <2.1, 1.7, -3.88> texture { EdgeTex } }
        box { <-2.1, -0.01, 3.9>, <2.1, 0.08, 4.1> texture { EdgeTex } }
        rotate <0, -degrees(asin(0.5)), 0>
        translate <18, 0, -22>
    }
}
