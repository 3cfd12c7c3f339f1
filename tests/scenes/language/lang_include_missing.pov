// expect: ERROR (9001): tokenizer - file not found: objects/lang_missing.inc in line 2
#include "lang_missing.inc"
