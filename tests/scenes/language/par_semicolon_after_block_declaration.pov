// expect: ERROR (9000): parser - Expected } in line 4
union { sphere { <0, 0, 0>, 1 } sphere { <1, 0, 0>, 1 }
  #declare S = sphere { <0, 0, 0>, 1 }
  ;
}
