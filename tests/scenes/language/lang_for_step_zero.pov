// expect: ERROR (9001): tokenizer - The step of #for is zero in line 2
#for (I, 0, 1, 0)
#end
