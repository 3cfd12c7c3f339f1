// expect: ERROR (9001): tokenizer - Unknown identifier 'Sphere' in line 2
Sphere { <0, 0, 0>, 1 }
