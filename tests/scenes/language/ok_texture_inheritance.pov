// expect: ok red sphere keeps its own texture; box and both tori get the union's (ambient 0.3)
union {
  sphere { <0, 0, 0>, 1 pigment { color rgb <1, 0, 0> } }
  box { <0, 0, 0>, <1, 1, 1> }
  union { torus { 1, 0.1 } torus { 2, 0.1 } }
  texture { finish { ambient 0.3 } }
}
