// expect: ERROR (9001): tokenizer - #for without #end in line 3
union {
  #for (I, 0, 1)
    sphere { <I, 0, 0>, 1 }
}
