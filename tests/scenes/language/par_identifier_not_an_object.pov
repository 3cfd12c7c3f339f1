// expect: ERROR (9000): parser - Expected an object in line 4
#declare Red = texture { pigment { color rgb <1, 0, 0> } }
union { sphere { <0, 0, 0>, 1 } sphere { <2, 0, 0>, 1 }
  Red
}
