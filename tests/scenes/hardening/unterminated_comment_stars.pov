// expect: ERROR (9001): tokenizer - Unterminated comment in line 2
/* ends in stars ***