// The animation clock, read by scene expressions as `clock`: set before a frame's scene is read.
#pragma once

// From 0 at an animation's first frame to 1 at its last; 0 when nothing is animated.
inline double sceneClock = 0;
