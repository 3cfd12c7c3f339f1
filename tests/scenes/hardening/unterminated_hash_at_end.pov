// expect: ERROR (9001): tokenizer - Could not read a name in line 2
#declare