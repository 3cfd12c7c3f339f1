// expect: ERROR (9001): tokenizer - Expected a file name in quotes after #include in line 2
#include lang_shared.inc
