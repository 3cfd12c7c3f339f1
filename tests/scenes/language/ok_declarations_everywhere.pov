// expect: ok union: sphere at (0.5,0,0) radius 6, box (0,0,0)-(3,4,1), unit sphere with colour (0.5,0.5,1)
#declare Base = 1;
#declare Half = Base / 2;
union #declare A = 3; {
  sphere { < #declare B = 4; Half , 0 #declare C = sphere { <0, 0, 0>, 1 #declare D = 5; } , 0 > , Base + D }
  box { <0, 0, 0>, <A, B, 1> }
  #declare Tex = texture { pigment { color rgb <Half, Half, Base> } }
  object { C Tex }
}
