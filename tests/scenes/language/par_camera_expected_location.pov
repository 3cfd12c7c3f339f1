// expect: ERROR (9000): parser - Expected location in line 3
camera {
  look_at <0, 0, 0>
}
sphere { <0, 0, 0>, 1 }
