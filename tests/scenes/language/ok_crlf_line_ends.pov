// expect: ok CR LF line ends: union of a sphere radius 2 at (1,2,3) and a box, as with LF
/* a block comment
   over two lines */
#declare R = 2; // a declaration
union {
  sphere { <1, 2, 3>, R } // after a statement

  box { <0, 0, 0>, <1, 1, 1> } /**/
}
