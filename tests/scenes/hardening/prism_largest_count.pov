// expect: ERROR (9000): parser - Expected , in line 3
prism { linear_sweep 0, 1, 2147483647
}
