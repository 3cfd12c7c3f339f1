// expect: ERROR (9001): tokenizer - Could not read a number in line 2
sphere { <0, ., 0>, 1 }
