// expect: ok tori placed at (2,0,0), (1,0,0), turned a quarter about y, moved by (5,6,7), left alone
union {
  torus { 1, 0.1 translate <1, 0, 0> scale <2, 2, 2> }
  torus { 1, 0.1 scale <2, 2, 2> translate <1, 0, 0> }
  torus { 1, 0.1 rotate <0, 90, 0> }
  torus { 1, 0.1 matrix < 1, 0, 0, 0, 1, 0, 0, 0, 1, 5, 6, 7 > }
  torus { 1, 0.1 }
}
