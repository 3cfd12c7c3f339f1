// expect: ERROR (9000): parser - Expected a vector in line 3
#declare A = 1;
sphere { <0, 0, 0>, A.x }
