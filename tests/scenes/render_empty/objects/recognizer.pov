// Placed (half a turn about y, then moved by <200, 35, -267>) at <0, 0, 250>, behind the
// camera.
sphere { <200, -35, -517>, 1 }
