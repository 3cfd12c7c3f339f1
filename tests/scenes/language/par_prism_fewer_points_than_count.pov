// expect: ERROR (9000): parser - Expected , in line 4
prism { linear_sweep 0, 1, 2000000000,
  <0, 0>, <1, 0>, <0, 1>
}
