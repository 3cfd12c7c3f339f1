// expect: ERROR (9001): tokenizer - Unknown token in line 3 : $radius
sphere { <0, 0, 0>,
$radius }
