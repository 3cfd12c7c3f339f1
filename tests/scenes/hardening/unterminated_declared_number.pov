// expect: ERROR (9001): tokenizer - Unterminated declare statement in line 2
#declare R = 1 + 2
sphere { <0, 0, 0>, R
