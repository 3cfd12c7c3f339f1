// 50 camera directions behind the camera's start, so that a move of -100 directions puts it
// straight ahead.
sphere { <-20.5641, 4.8629, 50.3797>, 2 }
