// expect: ERROR (9000): parser - Expected an integer in line 2
prism { linear_sweep 0, 1, sqrt(-1), <0, 0>, <1, 0>, <1, 1> }
