// expect: ERROR (9000): parser - Expected , in line 4
// Room for two billion points must not be taken before they are read.
prism { linear_sweep 0, 1, 2000000000,
  <0, 0>, <1, 0>, <1, 1> }
