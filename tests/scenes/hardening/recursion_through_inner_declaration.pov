// expect: ERROR (9000): parser - Expected at most 100 nested substitutions in line 4
// A's text declares B as A and then uses B, so A and B take turns without end.
#declare A =
  #declare B = A;
  B;
sphere { <0, 0, 0>, A }
