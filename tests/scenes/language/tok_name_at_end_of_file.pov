// expect: ERROR (9001): tokenizer - Could not read a name in line 4
union {
  sphere { <0, 0, 0>, 1 }
  sphere