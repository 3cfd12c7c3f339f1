// expect: ERROR (9000): parser - Expected at least 2 object in csg in line 5
#declare S = sphere { <0, 0, 0>, 1 }
// The second and third names are read as texture items of the first.
union { S S S
}
