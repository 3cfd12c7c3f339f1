// expect: ERROR (9001): tokenizer - Unknown identifier 'I' in line 3
#for (I, 1, 2) #end
sphere { <0, 0, 0>, I }
