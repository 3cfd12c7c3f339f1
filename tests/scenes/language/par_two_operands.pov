// expect: ERROR (9000): parser - Expected a number in line 2
sphere { <0, 2 3, 0>, 1 }
