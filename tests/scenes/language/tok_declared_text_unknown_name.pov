// expect: ERROR (9001): tokenizer - Unknown identifier 'Size' in line 3
#declare R =
  Size * 2;
sphere { <0, 0, 0>, 1 }
