// The floor, y = 0, lit by its ambient term alone so that every floor pixel is one grey.
plane { <0, 1, 0>, 0
    texture { finish { ambient 0.4 diffuse 0 } }
}
