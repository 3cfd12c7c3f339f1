// expect: ERROR (9000): parser - Expected , in line 3
torus { 2, 0.5
  matrix < 1, 0, 0, 0, 1, 0, 0, 0, 1, 5, 6 >
}
