// expect: ERROR (9001): tokenizer - #usual_arithmetic must be the first word of a file in line 3
sphere { <0, 0, 0>, 1
#usual_arithmetic
}
