// expect: ERROR (9000): parser - Expected a vector in line 3
#declare P = <1, 2, 3>;
sphere { P + 1, 1 }
