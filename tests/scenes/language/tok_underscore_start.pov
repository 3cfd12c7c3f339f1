// expect: ERROR (9001): tokenizer - Unknown token in line 4 : _size
/* A name cannot start with an underscore,
   so the word is no name at all. */
sphere { <0, 0, 0>, _size }
