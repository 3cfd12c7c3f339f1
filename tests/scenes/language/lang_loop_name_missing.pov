// expect: ERROR (9000): parser - Expected a loop name in line 2
#for (1, 2, 3) #end
