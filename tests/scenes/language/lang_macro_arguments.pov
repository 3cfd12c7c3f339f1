// expect: ERROR (9001): tokenizer - Macro 'Ball' takes 2 arguments, not 1, in line 3
#macro Ball(X, R) sphere { <X, 0, 0>, R } #end
Ball(1)
