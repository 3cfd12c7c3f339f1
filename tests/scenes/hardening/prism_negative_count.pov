// expect: ERROR (9000): parser - Expected at least 2 points in prism in line 2
prism { linear_sweep 0, 1, -2000000000, <0, 0>, <1, 0>, <1, 1> }
