// expect: ERROR (9001): tokenizer - Macro calls nested deeper than 64 in line 2
#macro Deep(N) Deep(N + 1) #end
sphere { <0, 0, 0>, Deep(1) }
