// expect: ok a union of a unit sphere and a box, comments between every pair of tokens
/* leading */ union /**/ { // after the brace
  sphere/*x*/{/*x*/</*x*/0/*x*/,/*x*/0,//
0>/**/,/**/1/**/}
  box { <0,0,0> , <1,1,1> } /*** many stars ***/
/*/ a slash right after the opening, still a comment */
}// trailing comment without a newline