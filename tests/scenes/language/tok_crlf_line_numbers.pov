// expect: ERROR (9001): tokenizer - Unknown token in line 8 : @
// Line ends are CR LF; every one counts once.
/* a block comment
   over two lines */ union {
  sphere { <0, 0, 0>, 1 } // after a statement
  /**/ box { <0, 0, 0>, <1, 1, 1> }
  #declare R = 2; // a declaration
  @
}
