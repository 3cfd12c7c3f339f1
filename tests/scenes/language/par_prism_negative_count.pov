// expect: ERROR (9000): parser - Expected at least 2 points in prism in line 3
prism { conic_sweep 0, 1,
  -4 }
