// expect: ERROR (9001): tokenizer - Unterminated declare statement in line 3
sphere { <0, 0, 0>, 1
#declare R = 1 + 2
