// expect: ERROR (9000): parser - Expected < in line 3
sphere { <0, 0, 0>, 1
  translate 2
}
