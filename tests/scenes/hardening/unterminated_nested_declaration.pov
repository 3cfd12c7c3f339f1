// expect: ERROR (9001): tokenizer - Unterminated declare statement in line
#declare A = #declare B = #declare C = 1
