// expect: ERROR (9000): parser - Expected an integer in line 2
prism { conic_sweep 0, 1, 4294967298, <0, 0>, <1, 0>, <1, 1> }
