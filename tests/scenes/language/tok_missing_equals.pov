// expect: ERROR (9001): tokenizer - Missing '=' in declare statement in line 3
#declare R
  1;
sphere { <0, 0, 0>, R }
