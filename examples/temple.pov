// A small temple written once: shared textures from stone.inc, a column macro, two rows of
// columns and the steps made by loops, and golden balls scattered by a random stream.
#usual_arithmetic
camera { location <9, 6, -16> look_at <0, 2.2, 0> }
light_source { <-12, 20, -14> color rgb <1, 1, 1> }
#include "stone.inc"

#declare Columns = 7;       // in each row
#declare Spacing = 1.5;
#declare Height = 4;
#declare Half = (Columns - 1) * Spacing / 2;

// A fluted column standing at <x, 0, z>: base, shaft and capital.
#macro Column(Where)
    union {
        box { Where + <-0.45, 0, -0.45>, Where + <0.45, 0.2, 0.45> }
        cylinder { Where, Where + <0, Height, 0>, 0.3 }
        #for (F, 0, 7)
            cylinder { Where + <0.3 * cos(F * pi / 4), 0.2, 0.3 * sin(F * pi / 4)>,
                       Where + <0.3 * cos(F * pi / 4), Height - 0.2, 0.3 * sin(F * pi / 4)>, 0.05 }
        #end
        box { Where + <-0.45, Height, -0.45>, Where + <0.45, Height + 0.25, 0.45> }
        texture { Marble }
    }
#end

#declare S = seed(2026);
union {
    plane { <0, 1, 0>, -0.75 texture { Slate } }
    // three steps, each a little smaller than the one below
    #for (Step, 0, 2)
        box { <-Half - 1.8 + Step * 0.4, -0.75 + Step * 0.25, -3.3 + Step * 0.4>,
              <Half + 1.8 - Step * 0.4, -0.5 + Step * 0.25, 3.3 - Step * 0.4> texture { Marble } }
    #end
    #for (Row, -1, 1, 2)
        #for (I, 0, Columns - 1)
            Column(<-Half + I * Spacing, 0, Row * 2>)
        #end
    #end
    // the roof: a slab and a gable
    box { <-Half - 0.8, Height + 0.25, -2.8>, <Half + 0.8, Height + 0.6, 2.8> texture { Marble } }
    prism { linear_sweep -Half - 0.8, Half + 0.8, 3, <0, -2.8>, <0, 2.8>, <-1.3, 0>
        rotate <0, 0, -90> translate <0, Height + 0.6, 0> texture { Marble } }
    #for (I, 1, 12)
        sphere { <(rand(S) - 0.5) * 2 * Half, 0.25, -4.2 - rand(S) * 2>, 0.15 + rand(S) * 0.15 texture { Gold } }
    #end
}
