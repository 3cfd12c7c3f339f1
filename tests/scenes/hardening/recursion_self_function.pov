// expect: ERROR (9000): parser - Expected at most 100 nested substitutions in line 2
#declare A = sqrt(A * 2);
sphere { <0, 0, 0>, A }
