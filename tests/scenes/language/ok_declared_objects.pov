// expect: ok two distinct spheres from one declaration, both with the red texture
#declare Red = texture { pigment { color rgb <1, 0, 0> } }
#declare S = sphere { <0, 0, 0>, 1 texture { Red } }
union {
  object { S }
  object { S translate <1, 0, 0> }
}
