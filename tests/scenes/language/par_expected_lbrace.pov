// expect: ERROR (9000): parser - Expected { in line 3
union
  sphere { <0, 0, 0>, 1 }
