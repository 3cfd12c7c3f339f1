// expect: ERROR (9000): parser - Expected an integer in line 3
prism { linear_sweep 0, 1,
  2.5, <0, 0>, <1, 0>, <0, 1> }
