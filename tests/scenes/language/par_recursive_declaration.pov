// expect: ERROR (9000): parser - Expected at most 100 nested substitutions in line 2
#declare R = R + 1;
sphere { <0, 0, 0>, R }
