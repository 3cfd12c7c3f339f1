// expect: ok spheres with radii 14, 11, 8, -5, 10, 2, 9, pi, 45, 3 in this order
#declare R = 1 + 2;
union {
  sphere { <0, 0, 0>, 2*3+4 }
  sphere { <0, 0, 0>, 10-2-3 }
  sphere { <0, 0, 0>, 8/2/2 }
  sphere { <0, 0, 0>, -2+3 }
  sphere { <0, 0, 0>, (2*3)+4 }
  sphere { <0, 0, 0>, cos(0)*2 }
  sphere { <0, 0, 0>, R*3 }
  sphere { <0, 0, 0>, radians(180) }
  sphere { <0, 0, 0>, degrees(atan(1)) }
  sphere { <0, 0, 0>, sqrt(9) }
}
