// expect: ERROR (9000): parser - Expected a number in line 3
#declare P = <1, 2, 3>;
sphere { <0, 0, 0> + P * P, 1 }
