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
#declare Block = 50;        // grid lines are laid in pieces one block long
#declare NearX0 = -15;      // the near field, tiled and finely lined: x from NearX0 to NearX1,
#declare NearX1 = 50;       // z from NearZ0 to NearZ1
#declare NearZ0 = -50;
#declare NearZ1 = 5;
#declare TowerH = 14;
#declare Corner = 64 * sqrt(2);  // distance of the corner towers from the centre

// ---- grid line pieces, each starting at the origin ---------------------------------------
// A line across the whole floor would pass the box test of nearly every ray that reaches the
// floor, so lines are laid in pieces one block long, cut where a line of the other direction
// crosses and hides the joint; the pieces then group with their neighbours into strips and
// blocks whose boxes most rays miss.
#declare PieceX = box { <0, -0.01, -Major>, <Block, 0.03, Major> texture { GridTex } }
// Seen from the start, a flat line across the view gets thinner than a pixel a few tens of
// units out; further out the lines across stand a little proud of the floor, so their
// front edge still shows.
#declare MidPieceX = box { <0, -0.01, -Major>, <Block, 0.12, Major> texture { GridTex } }
#declare FarPieceX = box { <0, -0.01, -Major>, <Block, 0.25, Major> texture { GridTex } }
#declare PieceZ = box { <-Major, -0.01, 0>, <Major, 0.03, Block> texture { GridTex } }
// fine lines in the near field, in a block piece and a shorter end piece
#declare FinePieceX = box { <0, -0.01, -Fine>, <NearX1, 0.02, Fine> texture { FineTex } }
#declare FineEndX = box { <0, -0.01, -Fine>, <-NearX0, 0.02, Fine> texture { FineTex } }
#declare MidFinePieceX = box { <0, -0.01, -Fine>, <NearX1, 0.1, Fine> texture { FineTex } }
#declare MidFineEndX = box { <0, -0.01, -Fine>, <-NearX0, 0.1, Fine> texture { FineTex } }
#declare FinePieceZ = box { <-Fine, -0.01, 0>, <Fine, 0.02, -NearZ0> texture { FineTex } }
#declare FineEndZ = box { <-Fine, -0.01, 0>, <Fine, 0.02, NearZ1> texture { FineTex } }
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
// The shaft and the crown are grouped apart, so a ray past one of them skips the other.
#declare Tower = union {
    union {
        box { <-1, 0, -1>, <1, TowerH, 1> texture { TowerTex } }
        // neon seams down the middle of all four faces
        box { <-1.04, 0, -0.12>, <1.04, TowerH - 0.6, 0.12> texture { EdgeTex } }
        box { <-0.12, 0, -1.04>, <0.12, TowerH - 0.6, 1.04> texture { EdgeTex } }
    }
    union {
        torus { 1.3, 0.12 translate <0, TowerH, 0> texture { EdgeTex } }
        cone { <0, TowerH, 0>, 1.2, <0, TowerH + 2.6, 0>, 0.12 texture { TowerTex } }
        sphere { <0, TowerH + 2.75, 0>, 0.4 texture { BeaconTex } }
    }
}

// ---- the arena ---------------------------------------------------------------------------
union {
    plane { <0, 1, 0>, 0 texture { FloorTex } }

    // The ground: grid line pieces, fine line pieces and tiles in nested groups of a few
    // neighbours each (strips of parallel pieces, blocks of strips), so that a ray tests only
    // the groups around the place where it crosses the floor.
    union {  // x -100.12 to 100.12, z -100.12 to 100.12
        union {  // x -100.12 to 100.12, z -100.12 to 0
            union {  // x -100.12 to -49.88, z -100.12 to -49.88
                object { PieceZ translate <-100, 0, -100> }
                object { PieceZ translate <-90, 0, -100> }
                object { PieceZ translate <-80, 0, -100> }
                union {  // x -100 to -49.88, z -100.12 to -49.88
                    union {  // x -100 to -50, z -100.12 to -49.88
                        object { FarPieceX translate <-100, 0, -100> }
                        object { FarPieceX translate <-100, 0, -90> }
                        object { FarPieceX translate <-100, 0, -80> }
                        union {  // x -100 to -50, z -70.12 to -49.88
                            object { FarPieceX translate <-100, 0, -70> }
                            object { FarPieceX translate <-100, 0, -60> }
                            object { FarPieceX translate <-100, 0, -50> }
                        }
                    }
                    object { PieceZ translate <-70, 0, -100> }
                    object { PieceZ translate <-60, 0, -100> }
                    object { PieceZ translate <-50, 0, -100> }
                }
            }
            union {  // x -50 to 0.12, z -100.12 to -49.88
                union {  // x -50 to 0, z -100.12 to -49.88
                    object { PieceZ translate <-40, 0, -100> }
                    object { PieceZ translate <-30, 0, -100> }
                    object { FarPieceX translate <-50, 0, -100> }
                    object { FarPieceX translate <-50, 0, -90> }
                    object { FarPieceX translate <-50, 0, -80> }
                    object { FarPieceX translate <-50, 0, -70> }
                    object { FarPieceX translate <-50, 0, -60> }
                    object { FarPieceX translate <-50, 0, -50> }
                }
                object { PieceZ translate <-20, 0, -100> }
                object { PieceZ translate <-10, 0, -100> }
                object { PieceZ translate <0, 0, -100> }
            }
            union {  // x -100.12 to 0.12, z -50 to 0
                union {  // x -100.12 to -49.88, z -50 to 0
                    object { PieceZ translate <-100, 0, -50> }
                    object { PieceZ translate <-90, 0, -50> }
                    object { PieceZ translate <-80, 0, -50> }
                    union {  // x -100 to -49.88, z -50 to 0
                        union {  // x -100 to -50, z -40.12 to -9.88
                            object { MidPieceX translate <-100, 0, -40> }
                            object { MidPieceX translate <-100, 0, -30> }
                            object { MidPieceX translate <-100, 0, -20> }
                            object { PieceX translate <-100, 0, -10> }
                        }
                        object { PieceZ translate <-70, 0, -50> }
                        object { PieceZ translate <-60, 0, -50> }
                        object { PieceZ translate <-50, 0, -50> }
                    }
                }
                union {  // x -50 to 0, z -50 to 0
                    object { PieceZ translate <-40, 0, -50> }
                    object { PieceZ translate <-30, 0, -50> }
                    object { MidPieceX translate <-50, 0, -40> }
                    object { MidPieceX translate <-50, 0, -30> }
                    object { MidPieceX translate <-50, 0, -20> }
                    object { PieceX translate <-50, 0, -10> }
                    object { PieceZ translate <-20, 0, -50> }
                }
                union {  // x -15.04 to 0.12, z -50 to 0
                    union {  // x -15 to 0, z -50 to -40
                        object { Tile translate <-10, 0, -50> }
                        object { MidFineEndX translate <-15, 0, -45> }
                        object { Tile translate <-15, 0, -45> }
                        object { Tile translate <-5, 0, -45> }
                    }
                    union {  // x -15 to 0, z -40 to -30
                        object { Tile translate <-10, 0, -40> }
                        object { MidFineEndX translate <-15, 0, -35> }
                        object { Tile translate <-15, 0, -35> }
                        object { Tile translate <-5, 0, -35> }
                    }
                    union {  // x -15.04 to 0.12, z -50 to 0
                        object { Tile translate <-10, 0, -30> }
                        object { FinePieceZ translate <-15, 0, -50> }
                        object { PieceZ translate <-10, 0, -50> }
                        object { MidFineEndX translate <-15, 0, -25> }
                        object { FinePieceZ translate <-5, 0, -50> }
                        object { PieceZ translate <0, 0, -50> }
                    }
                    union {  // x -15 to 0, z -25 to 0
                        union {  // x -15 to 0, z -25 to -10
                            object { Tile translate <-15, 0, -25> }
                            object { Tile translate <-5, 0, -25> }
                            object { Tile translate <-10, 0, -20> }
                            union {  // x -15 to 0, z -15.04 to -10
                                object { FineEndX translate <-15, 0, -15> }
                                object { Tile translate <-15, 0, -15> }
                                object { Tile translate <-5, 0, -15> }
                            }
                        }
                        union {  // x -15 to 0, z -10 to 0
                            object { Tile translate <-10, 0, -10> }
                            object { FineEndX translate <-15, 0, -5> }
                            object { Tile translate <-15, 0, -5> }
                            object { Tile translate <-5, 0, -5> }
                        }
                    }
                }
            }
            union {  // x 0 to 100.12, z -100.12 to 0
                union {  // x 0 to 50, z -100.12 to -49.88
                    object { FarPieceX translate <0, 0, -100> }
                    object { FarPieceX translate <0, 0, -90> }
                    object { FarPieceX translate <0, 0, -80> }
                    union {  // x 0 to 50, z -100 to -49.88
                        union {  // x 9.88 to 40.12, z -100 to -50
                            object { PieceZ translate <10, 0, -100> }
                            object { PieceZ translate <20, 0, -100> }
                            object { PieceZ translate <30, 0, -100> }
                            object { PieceZ translate <40, 0, -100> }
                        }
                        object { FarPieceX translate <0, 0, -70> }
                        object { FarPieceX translate <0, 0, -60> }
                        object { FarPieceX translate <0, 0, -50> }
                    }
                }
                union {  // x 0 to 50, z -50 to 0
                    union {  // x 0 to 5.04, z -50 to 0
                        object { Tile translate <0, 0, -50> }
                        object { Tile translate <0, 0, -40> }
                        object { Tile translate <0, 0, -30> }
                        object { Tile translate <0, 0, -20> }
                        object { Tile translate <0, 0, -10> }
                        object { FinePieceZ translate <5, 0, -50> }
                    }
                    union {  // x 5 to 15, z -50 to 0
                        object { Tile translate <5, 0, -45> }
                        object { Tile translate <5, 0, -35> }
                        union {  // x 5 to 10, z -25 to 0
                            object { Tile translate <5, 0, -25> }
                            object { Tile translate <5, 0, -15> }
                            object { Tile translate <5, 0, -5> }
                        }
                        union {  // x 9.88 to 15, z -50 to 0
                            object { PieceZ translate <10, 0, -50> }
                            object { Tile translate <10, 0, -50> }
                            object { Tile translate <10, 0, -40> }
                            object { Tile translate <10, 0, -30> }
                            object { Tile translate <10, 0, -20> }
                            object { Tile translate <10, 0, -10> }
                        }
                    }
                    union {  // x 14.96 to 25, z -50 to 0
                        union {  // x 14.96 to 20.12, z -50 to 0
                            object { FinePieceZ translate <15, 0, -50> }
                            object { Tile translate <15, 0, -45> }
                            object { Tile translate <15, 0, -35> }
                            object { Tile translate <15, 0, -25> }
                            object { Tile translate <15, 0, -15> }
                            object { Tile translate <15, 0, -5> }
                            object { PieceZ translate <20, 0, -50> }
                        }
                        object { Tile translate <20, 0, -50> }
                        object { Tile translate <20, 0, -40> }
                        union {  // x 20 to 25, z -30 to -5
                            object { Tile translate <20, 0, -30> }
                            object { Tile translate <20, 0, -20> }
                            object { Tile translate <20, 0, -10> }
                        }
                    }
                    union {  // x 0 to 50, z -50 to 0
                        union {  // x 0 to 50, z -45.04 to -29.88
                            object { MidFinePieceX translate <0, 0, -45> }
                            object { MidPieceX translate <0, 0, -40> }
                            object { MidFinePieceX translate <0, 0, -35> }
                            object { MidPieceX translate <0, 0, -30> }
                        }
                        object { FinePieceZ translate <25, 0, -50> }
                        union {  // x 0 to 50, z -25.04 to -4.96
                            object { MidFinePieceX translate <0, 0, -25> }
                            object { MidPieceX translate <0, 0, -20> }
                            union {  // x 0 to 50, z -15.04 to -4.96
                                object { FinePieceX translate <0, 0, -15> }
                                object { PieceX translate <0, 0, -10> }
                                object { FinePieceX translate <0, 0, -5> }
                            }
                        }
                        union {  // x 25 to 50, z -50 to 0
                            union {  // x 25 to 35.04, z -50 to 0
                                object { Tile translate <25, 0, -45> }
                                object { Tile translate <25, 0, -35> }
                                union {  // x 25 to 30, z -25 to 0
                                    object { Tile translate <25, 0, -25> }
                                    object { Tile translate <25, 0, -15> }
                                    object { Tile translate <25, 0, -5> }
                                }
                                union {  // x 29.88 to 35.04, z -50 to 0
                                    object { PieceZ translate <30, 0, -50> }
                                    object { Tile translate <30, 0, -50> }
                                    object { Tile translate <30, 0, -40> }
                                    object { Tile translate <30, 0, -30> }
                                    object { Tile translate <30, 0, -20> }
                                    object { Tile translate <30, 0, -10> }
                                    object { FinePieceZ translate <35, 0, -50> }
                                }
                            }
                            union {  // x 35 to 45, z -50 to 0
                                object { Tile translate <35, 0, -45> }
                                object { Tile translate <35, 0, -35> }
                                union {  // x 35 to 40, z -25 to 0
                                    object { Tile translate <35, 0, -25> }
                                    object { Tile translate <35, 0, -15> }
                                    object { Tile translate <35, 0, -5> }
                                }
                                union {  // x 39.88 to 45, z -50 to 0
                                    object { PieceZ translate <40, 0, -50> }
                                    object { Tile translate <40, 0, -50> }
                                    object { Tile translate <40, 0, -40> }
                                    object { Tile translate <40, 0, -30> }
                                    object { Tile translate <40, 0, -20> }
                                    object { Tile translate <40, 0, -10> }
                                }
                            }
                            union {  // x 44.96 to 50, z -50 to 0
                                object { FinePieceZ translate <45, 0, -50> }
                                object { Tile translate <45, 0, -45> }
                                object { Tile translate <45, 0, -35> }
                                object { Tile translate <45, 0, -25> }
                                object { Tile translate <45, 0, -15> }
                                object { Tile translate <45, 0, -5> }
                            }
                        }
                    }
                }
                union {  // x 49.88 to 100.12, z -100.12 to -50
                    object { FarPieceX translate <50, 0, -100> }
                    object { FarPieceX translate <50, 0, -90> }
                    object { FarPieceX translate <50, 0, -80> }
                    union {  // x 49.88 to 100.12, z -100 to -50
                        object { PieceZ translate <50, 0, -100> }
                        object { PieceZ translate <60, 0, -100> }
                        object { PieceZ translate <70, 0, -100> }
                        object { PieceZ translate <80, 0, -100> }
                        object { PieceZ translate <90, 0, -100> }
                        object { PieceZ translate <100, 0, -100> }
                        object { FarPieceX translate <50, 0, -70> }
                        object { FarPieceX translate <50, 0, -60> }
                    }
                }
                union {  // x 49.88 to 100.12, z -50.12 to 0
                    object { FarPieceX translate <50, 0, -50> }
                    object { MidPieceX translate <50, 0, -40> }
                    object { MidPieceX translate <50, 0, -30> }
                    union {  // x 49.88 to 100.12, z -50 to 0
                        object { PieceZ translate <50, 0, -50> }
                        object { PieceZ translate <60, 0, -50> }
                        object { PieceZ translate <70, 0, -50> }
                        object { PieceZ translate <80, 0, -50> }
                        object { PieceZ translate <90, 0, -50> }
                        object { PieceZ translate <100, 0, -50> }
                        object { MidPieceX translate <50, 0, -20> }
                        object { PieceX translate <50, 0, -10> }
                    }
                }
            }
        }
        union {  // x -100.12 to 0.12, z -0.12 to 100.12
            union {  // x -100.12 to -49.88, z -0.12 to 50
                object { PieceX translate <-100, 0, 0> }
                object { PieceX translate <-100, 0, 10> }
                object { MidPieceX translate <-100, 0, 20> }
                union {  // x -100.12 to -49.88, z 0 to 50
                    object { PieceZ translate <-100, 0, 0> }
                    object { PieceZ translate <-90, 0, 0> }
                    object { PieceZ translate <-80, 0, 0> }
                    object { PieceZ translate <-70, 0, 0> }
                    object { PieceZ translate <-60, 0, 0> }
                    object { PieceZ translate <-50, 0, 0> }
                    object { MidPieceX translate <-100, 0, 30> }
                    object { MidPieceX translate <-100, 0, 40> }
                }
            }
            union {  // x -100.12 to -49.88, z 49.88 to 100.12
                object { PieceZ translate <-100, 0, 50> }
                object { PieceZ translate <-90, 0, 50> }
                object { PieceZ translate <-80, 0, 50> }
                union {  // x -100 to -49.88, z 49.88 to 100.12
                    union {  // x -100 to -50, z 49.88 to 100.12
                        object { FarPieceX translate <-100, 0, 50> }
                        object { FarPieceX translate <-100, 0, 60> }
                        object { FarPieceX translate <-100, 0, 70> }
                        union {  // x -100 to -50, z 79.88 to 100.12
                            object { FarPieceX translate <-100, 0, 80> }
                            object { FarPieceX translate <-100, 0, 90> }
                            object { FarPieceX translate <-100, 0, 100> }
                        }
                    }
                    object { PieceZ translate <-70, 0, 50> }
                    object { PieceZ translate <-60, 0, 50> }
                    object { PieceZ translate <-50, 0, 50> }
                }
            }
            union {  // x -50 to 0.12, z -0.12 to 50
                object { PieceX translate <-50, 0, 0> }
                object { PieceX translate <-50, 0, 10> }
                union {  // x -15.04 to 0, z 0 to 5.04
                    object { FineEndZ translate <-15, 0, 0> }
                    object { Tile translate <-10, 0, 0> }
                    object { FineEndX translate <-15, 0, 5> }
                    object { FineEndZ translate <-5, 0, 0> }
                }
                union {  // x -50 to 0.12, z 0 to 50
                    object { MidPieceX translate <-50, 0, 20> }
                    object { PieceZ translate <-40, 0, 0> }
                    object { PieceZ translate <-30, 0, 0> }
                    object { PieceZ translate <-20, 0, 0> }
                    object { PieceZ translate <-10, 0, 0> }
                    object { PieceZ translate <0, 0, 0> }
                    object { MidPieceX translate <-50, 0, 30> }
                    object { MidPieceX translate <-50, 0, 40> }
                }
            }
            union {  // x -50 to 0.12, z 49.88 to 100.12
                union {  // x -50 to 0, z 49.88 to 100.12
                    object { PieceZ translate <-40, 0, 50> }
                    object { PieceZ translate <-30, 0, 50> }
                    object { FarPieceX translate <-50, 0, 50> }
                    object { FarPieceX translate <-50, 0, 60> }
                    object { FarPieceX translate <-50, 0, 70> }
                    object { FarPieceX translate <-50, 0, 80> }
                    object { FarPieceX translate <-50, 0, 90> }
                    object { FarPieceX translate <-50, 0, 100> }
                }
                object { PieceZ translate <-20, 0, 50> }
                object { PieceZ translate <-10, 0, 50> }
                object { PieceZ translate <0, 0, 50> }
            }
        }
        union {  // x 0 to 100.12, z -0.12 to 100.12
            union {  // x 0 to 50, z -0.12 to 50
                union {  // x 0 to 15.04, z 0 to 5
                    object { Tile translate <0, 0, 0> }
                    object { FineEndZ translate <5, 0, 0> }
                    object { Tile translate <10, 0, 0> }
                    object { FineEndZ translate <15, 0, 0> }
                }
                union {  // x 0 to 50, z -0.12 to 5.04
                    object { Tile translate <20, 0, 0> }
                    object { PieceX translate <0, 0, 0> }
                    object { FineEndZ translate <25, 0, 0> }
                    object { FinePieceX translate <0, 0, 5> }
                }
                union {  // x 30 to 45.04, z 0 to 5
                    object { Tile translate <30, 0, 0> }
                    object { FineEndZ translate <35, 0, 0> }
                    object { Tile translate <40, 0, 0> }
                    object { FineEndZ translate <45, 0, 0> }
                }
                union {  // x 0 to 50, z 0 to 50
                    object { PieceX translate <0, 0, 10> }
                    object { MidPieceX translate <0, 0, 20> }
                    object { PieceZ translate <10, 0, 0> }
                    object { PieceZ translate <20, 0, 0> }
                    object { PieceZ translate <30, 0, 0> }
                    object { PieceZ translate <40, 0, 0> }
                    object { MidPieceX translate <0, 0, 30> }
                    object { MidPieceX translate <0, 0, 40> }
                }
            }
            union {  // x 0 to 50, z 49.88 to 100.12
                object { FarPieceX translate <0, 0, 50> }
                object { FarPieceX translate <0, 0, 60> }
                object { FarPieceX translate <0, 0, 70> }
                union {  // x 0 to 50, z 50 to 100.12
                    union {  // x 9.88 to 40.12, z 50 to 100
                        object { PieceZ translate <10, 0, 50> }
                        object { PieceZ translate <20, 0, 50> }
                        object { PieceZ translate <30, 0, 50> }
                        object { PieceZ translate <40, 0, 50> }
                    }
                    object { FarPieceX translate <0, 0, 80> }
                    object { FarPieceX translate <0, 0, 90> }
                    object { FarPieceX translate <0, 0, 100> }
                }
            }
            union {  // x 49.88 to 100.12, z -0.12 to 50
                object { PieceX translate <50, 0, 0> }
                object { PieceX translate <50, 0, 10> }
                object { MidPieceX translate <50, 0, 20> }
                union {  // x 49.88 to 100.12, z 0 to 50
                    object { PieceZ translate <50, 0, 0> }
                    object { PieceZ translate <60, 0, 0> }
                    object { PieceZ translate <70, 0, 0> }
                    object { PieceZ translate <80, 0, 0> }
                    object { PieceZ translate <90, 0, 0> }
                    object { PieceZ translate <100, 0, 0> }
                    object { MidPieceX translate <50, 0, 30> }
                    object { MidPieceX translate <50, 0, 40> }
                }
            }
            union {  // x 49.88 to 100.12, z 49.88 to 100.12
                object { PieceZ translate <50, 0, 50> }
                object { PieceZ translate <60, 0, 50> }
                object { PieceZ translate <70, 0, 50> }
                union {  // x 50 to 100.12, z 49.88 to 100.12
                    union {  // x 50 to 100, z 49.88 to 100.12
                        object { FarPieceX translate <50, 0, 50> }
                        object { FarPieceX translate <50, 0, 60> }
                        object { FarPieceX translate <50, 0, 70> }
                        union {  // x 50 to 100, z 79.88 to 100.12
                            object { FarPieceX translate <50, 0, 80> }
                            object { FarPieceX translate <50, 0, 90> }
                            object { FarPieceX translate <50, 0, 100> }
                        }
                    }
                    object { PieceZ translate <80, 0, 50> }
                    object { PieceZ translate <90, 0, 50> }
                    object { PieceZ translate <100, 0, 50> }
                }
            }
        }
    }

    // boundary walls along z, each a member of its own: a group of walls all round would
    // hold every point of the arena and so never spare a test
    object { WallZ translate <Span, 0, 0> }
    object { WallZ rotate <0, 180, 0> translate <-Span, 0, 0> }

    // the far half: its wall, the light towers standing there and the ramp
    union {
        object { WallX translate <0, 0, -Span> }
        union {
            union {
                object { Tower translate <-70, 0, -64> }
                object { Tower translate <-6, 0, -96> }
                object { Tower translate <-6, 0, -64> }
            }
            union {
                object { Tower translate <-6, 0, -32> }
                object { Tower translate <Corner * cos(radians(45)), 0, -(Corner * sin(radians(45)))> }
            }
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

    // the near half: its wall and the light towers behind the start
    union {
        object { WallX rotate <0, 180, 0> translate <0, 0, Span> }
        union {
            union {
                object { Tower translate <-70, 0, 32> }
                object { Tower translate <-6, 0, 32> }
                object { Tower translate <-6, 0, 64> }
            }
            union {
                object { Tower translate <64, 0, 32> }
                object { Tower translate <Corner * cos(radians(45)), 0, Corner * sin(radians(45))> }
            }
        }
    }
}
