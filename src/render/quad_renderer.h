// The adaptive quad renderer: recursive subdivision of the grid where colour or object
// changes, leaves drawn as Gouraud-shaded fans.
#pragma once

struct Presenter;
struct Sample;
struct Object;

// Deepest subdivision allowed by colour and object changes in this frame.
extern int maxDepth;
// Leaf quads drawn by the last quad frame.
extern int quadsDrawn;

// Half-sizes from which a quad is split whatever its depth, so no leaf exceeds 63 pixels.
inline constexpr int ALWAYS_SPLIT_HALF_SIZE = 32;
// Squared colour differences that ask for a split: always, and where objects change.
inline constexpr double COLOUR_SPLIT = 0.01;
inline constexpr double BORDER_COLOUR_SPLIT = 0.0001;

// Traces the quad with corners c0 (x0, y0), c1 (x1, y0), c2 (x0, y1), c3 (x1, y1) and
// either splits it into four or draws it; returns the leaves drawn.
int renderQuad(Presenter& presenter, Sample& c0, Sample& c1, Sample& c2, Sample& c3, int depth);

// One quad frame of the whole grid on every thread of the pool, drawn on the calling thread
// in the order a single thread would draw it; sets quadsDrawn.
void renderQuadFrame(Presenter& presenter);

// Objects in the tree below object and its following siblings, CSG nodes included.
int countObjects(const Object* object);
