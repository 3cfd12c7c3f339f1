// expect: ERROR (9001): tokenizer - Unknown token in line 2 : !aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa
!aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa
