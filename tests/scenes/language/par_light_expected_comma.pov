// expect: ERROR (9000): parser - Expected , in line 2
light_source { <0, 10> color rgb <1, 1, 1> }
sphere { <0, 0, 0>, 1 }
