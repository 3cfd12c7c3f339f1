// expect: ERROR (9000): parser - Expected } in line 2
camera { location <0, 0, -5> look_at <0, 0, 0> location <1, 1, 1> }
sphere { <0, 0, 0>, 1 }
