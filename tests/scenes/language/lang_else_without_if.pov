// expect: ERROR (9001): tokenizer - #else without #if in line 3
sphere { <0, 0, 0>, 1
  #else
}
