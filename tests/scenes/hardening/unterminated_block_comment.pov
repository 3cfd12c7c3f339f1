// expect: ERROR (9001): tokenizer - Unterminated comment in line 3
sphere { <0, 0, 0>,
  /* the radius is
