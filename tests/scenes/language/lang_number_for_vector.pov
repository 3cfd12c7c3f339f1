// expect: ERROR (9000): parser - Expected < in line 3
#declare R = 2;
sphere { R, 1 }
