// expect: ERROR (1800): transform - Singular matrix in MInvers.
torus { 2, 0.5
  matrix < 1, 0, 0, 0, 1, 0, 0, 0, 0, 5, 6, 7 >
}
