// expect: ERROR (9001): tokenizer - not a regular file: objects/. in line 2
#include "."
