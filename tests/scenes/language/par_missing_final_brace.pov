// expect: ERROR (9000): parser - Expected } in line 6
union {
  sphere { <0, 0, 0>, 1 }
  sphere { <1, 0, 0>, 1 }

