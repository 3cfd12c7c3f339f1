// expect: ERROR (9000): parser - Expected rgb in line 4
sphere { <0, 0, 0>, 1
  pigment { color
    <1, 0, 0> }
}
