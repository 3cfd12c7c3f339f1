// expect: ERROR (9001): tokenizer - Wrong declare statement in line 2
#define R = 1;
sphere { <0, 0, 0>, 1 }
