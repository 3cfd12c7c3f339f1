// expect: ERROR (9001): tokenizer - #end without #for, #if or #macro in line 2
#end
