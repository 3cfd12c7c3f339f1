// A grey ball off the origin, so that its placement (half a turn about y, then a move to
// <200, 35, -267>) puts it at <160, 35, -267>, left of where a move alone would.
sphere { <40, 0, 0>, 15
    texture { finish { ambient 0.6 diffuse 0 } }
}
