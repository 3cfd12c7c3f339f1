// expect: ERROR (9000): parser - Expected } in line 4
sphere { <0, 0, 0>, 1
  pigment { color rgb <1, 0, 0> }
  translate <1, 0, 0>
}
