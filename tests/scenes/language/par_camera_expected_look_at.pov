// expect: ERROR (9000): parser - Expected look_at in line 4
camera {
  location <0, 0, -5>
  <0, 0, 0>
}
sphere { <0, 0, 0>, 1 }
