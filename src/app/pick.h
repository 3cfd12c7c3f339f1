// "What is this?": the statement of the scene text that made the object seen at a pixel, and
// the declared names, macro calls, loops and CSG statements that led to it.
#pragma once

#include <string>
#include <vector>

// For pixel (x, y), counted from the top left of a width × height picture of the current
// camera (its right vector already set for that size, as the renderer's reshape sets it), the
// lines to print: "PATH:LINE: sphere" for the statement that made the object the pixel's
// primary ray meets first, one "via PATH:LINE" for each declared name, macro call or loop that
// led to it (innermost first), one "in union at PATH:LINE" for each CSG statement around it
// (innermost first), then "point X Y Z distance D" (D from the eye, in scene units). Where the
// ray meets nothing, the one line "nothing at X,Y". Traces one ray; counts nothing.
std::vector<std::string> pickLines(int x, int y, int width, int height);
