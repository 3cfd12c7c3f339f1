// expect: ERROR (9001): tokenizer - #if without #end in line 2
#if (1)
sphere { <0, 0, 0>, 1 }
