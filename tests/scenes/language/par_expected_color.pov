// expect: ERROR (9000): parser - Expected color in line 3
sphere { <0, 0, 0>, 1
  pigment { rgb <1, 0, 0> }
}
