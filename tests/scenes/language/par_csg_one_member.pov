// expect: ERROR (9000): parser - Expected at least 2 object in csg in line 4
union {
  sphere { <0, 0, 0>, 1 }
}
