// expect: ok three prisms with 3, 3 and 5 segments; the first with heights 0 and 1
union {
  prism { linear_sweep 1, 0, 4, <0, 0>, <1, 0>, <1, 1>, <0, 0> }
  prism { linear_sweep 0, 2, 3, <0, 0>, <1, 0>, <1, 1> }
  prism { conic_sweep 0.5, 1, 6, <0, 0>, <1, 0>, <0, 0>, <5, 5>, <6, 5>, <5, 6> }
}
