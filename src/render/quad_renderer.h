// The adaptive quad renderer: recursive subdivision of the grid where colour or object
// changes, leaves drawn as Gouraud-shaded fans. Every thread of the pool subdivides pieces of
// the frame; the calling thread draws their leaves in the order of a single-threaded frame.
#pragma once

#include <vector>

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

// A quad that is drawn whole: grid corners (x0, y0) and (x1, y1).
struct QuadLeaf {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// Traces the quad with corners c0 (x0, y0), c1 (x1, y0), c2 (x0, y1), c3 (x1, y1) and
// either splits it into four or appends it to leaves.
void subdivideQuad(std::vector<QuadLeaf>& leaves, Sample& c0, Sample& c1, Sample& c2, Sample& c3, int depth);

// A quad below the ones that are always split: what one thread traces at a time. Pieces share
// only the samples on their common edges.
struct QuadPieceOutline {
    std::vector<Sample*> before;  // samples the always-split quads above it trace first
    Sample* corners[4] = {};
    int depth = 0;
};

// The pieces of the whole sample grid in frame order, each with the samples traced since the
// previous one, so that one thread taking them in order traces every sample in the order
// subdivideQuad on the whole grid does.
std::vector<QuadPieceOutline> outlineQuadPieces();
// Draws a leaf from its traced corners and centre.
void drawLeaf(Presenter& presenter, const QuadLeaf& leaf);

// One quad frame of the whole grid; sets quadsDrawn.
void renderQuadFrame(Presenter& presenter);

// Objects in the tree below object and its following siblings, CSG nodes included.
int countObjects(const Object* object);
