// expect: ERROR (9000): parser - Expected a random stream in line 2
sphere { <0, 0, 0>, rand(1) }
