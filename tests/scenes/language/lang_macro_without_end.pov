// expect: ERROR (9001): tokenizer - #macro without #end in line 2
#macro Ball(X) sphere { <X, 0, 0>, 1 }
