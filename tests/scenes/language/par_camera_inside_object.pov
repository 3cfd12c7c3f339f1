// expect: ERROR (9000): parser - Expected } in line 5
// A camera statement belongs before the object, not inside it.
union {
  sphere { <0, 0, 0>, 1 } sphere { <1, 0, 0>, 1 }
  camera { location <0, 0, -5> look_at <0, 0, 0> }
}
