// expect: ERROR (9001): tokenizer - More than 10000000 loop rounds in line 2
#for (I, 0, 1e300) #end
