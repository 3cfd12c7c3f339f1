// expect: ok: includes, loops, conditions, macros, vectors and the new functions
#include "lang_shared.inc"
#include "lang_shared.inc"
#declare S = seed(7);
#declare Centre = <0, 1, 0>;
#macro Column(X)
  cylinder { <X, 0, 0>, <X, Height, 0>, 0.2 texture { Stone } }
#end
#declare Ring = union {
  #for (I, 0, 11)
    sphere { Centre + <cos(I * pi / 6), 0, sin(I * pi / 6)> * 3, 0.3 }
  #end
}
union {
  #for (I, 1, 20)
    Column(I)
  #end
  #if (vlength(Centre) >= 1 & !(Centre.y != 1))
    object { Ring scale 2 }
  #else
    box { <0, 0, 0>, <1, 1, 1> }
  #end
  sphere { <rand(S), abs(-1), mod(7, 3)>, max(0.5, min(1, pow(2, -1))) }
}
