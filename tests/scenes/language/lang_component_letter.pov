// expect: ERROR (9000): parser - Expected x, y or z in line 3
#declare P = <1, 2, 3>;
sphere { <0, 0, 0>, P.w }
