// expect: ERROR (9000): parser - Expected } in line 6
#declare R = 2;

sphere {
  <R, 0, 0>, R
  cone
}
