// expect: ERROR (9000): parser - Expected an object in line 3
#macro Half(X) X / 2 #end
union { sphere { <0, 0, 0>, 1 } object { Half(1) } }
