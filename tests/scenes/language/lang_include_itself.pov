// expect: ERROR (9001): tokenizer - 'objects/cycle.pov' includes itself in line 2
#include "cycle.pov"
