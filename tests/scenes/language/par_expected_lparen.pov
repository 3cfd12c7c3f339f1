// expect: ERROR (9000): parser - Expected ( in line 2
sphere { <0, 0, 0>, sqrt 4 }
