// expect: ERROR (9000): parser - Expected } in line 2
torus { 2, 0.5; }
