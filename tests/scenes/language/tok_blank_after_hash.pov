// expect: ERROR (9001): tokenizer - Wrong declare statement in line 3
sphere { <0, 0, 0>,
  # declare R = 1;
  1 }
