// expect: ERROR (9001): tokenizer - Unterminated declare statement in line 2
#declare U = union { sphere { <0, 0, 0>, 1 } box { <0, 0, 0>, <1, 1, 1> }
sphere { <0, 0, 0>, 1 }
