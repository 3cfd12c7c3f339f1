// expect: ERROR (9000): parser - Expected color in line 3
light_source { <0, 10, 0>
  rgb <1, 1, 1> }
sphere { <0, 0, 0>, 1 }
