// expect: ERROR (9001): tokenizer - Unknown token in line 2 : &
sphere { <0, 0, 0>, 1 & 2 }
