// expect: ok - camera and light statements before the object, with names and expressions
#declare Height = 2;
camera { location <0, Height, -10> look_at <0, 1, 0> }
light_source {
    <-5, Height * 5, -5>   // world coordinates, read as written
    color rgb <1, 0.5, 0.25>
}
#declare Eye = 3;
// The last statement of each kind wins.
camera { location <Eye, Eye, Eye> look_at <0, 0, (1)> }
sphere { <0, 0, 0>, 1 }
