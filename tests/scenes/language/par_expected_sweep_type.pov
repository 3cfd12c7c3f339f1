// expect: ERROR (9000): parser - Expected sweep_type in line 2
prism { 0, 1, 3, <0, 0>, <1, 0>, <0, 1> }
