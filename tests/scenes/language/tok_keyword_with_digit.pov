// expect: ERROR (9001): tokenizer - Unknown identifier 'phong_size2' in line 4
sphere { <0, 0, 0>, 1
  finish {
    phong_size2 }
}
