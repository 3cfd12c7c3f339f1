// expect: ERROR (9000): parser - Expected at most 100 nested substitutions in line 2
#declare T = texture { T finish { ambient 1 } }
sphere { <0, 0, 0>, 1 translate <0, 0, 0> T }
