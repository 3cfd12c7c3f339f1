// Recursive quad subdivision and the four ways of drawing a leaf.
#include "render/quad_renderer.h"

#include <cstdio>

#include "objects/object.h"
#include "render/frame.h"
#include "render/presenter.h"
#include "render/sample_grid.h"
#include "render/shading.h"

int maxDepth = 0;
int quadsDrawn = 0;

static constexpr Vector3 WHITE{1, 1, 1};

int countObjects(const Object* object) {
    if (!object) return 0;
    return countObjects(object->next) + 1 + countObjects(object->children);
}

static void drawObjectCount(Presenter& presenter, const Sample& c0, const Sample& c1, const Sample& c2,
                            const Sample& c3, int hw, int hh) {
    const int n = countObjects(sceneList);
    const double g = objectCount > 0 ? static_cast<double>(n) / objectCount : 0.0;
    presenter.flatQuad({g, g, g}, c0, c1, c3, c2);
    if (hw >= 8 && hh >= 6) {
        char label[16];
        std::snprintf(label, sizeof label, "%i", n);
        presenter.text(c0.column + hw - 4, c0.row + hh - 6, label, {1 - g, 1 - g, 1 - g});
    }
}

static void drawLeaf(Presenter& presenter, const Sample& centre, const Sample& c0, const Sample& c1,
                     const Sample& c2, const Sample& c3, int hw, int hh, bool same) {
    ++quadsDrawn;
    if (objectCountView) {
        drawObjectCount(presenter, c0, c1, c2, c3, hw, hh);
    } else if (fillPolygons && (!borderMode || same)) {
        presenter.fan({&centre, &c0, &c1, &c3, &c2, &c0});
    } else if (fillPolygons) {
        presenter.flatQuad(WHITE, c0, c1, c3, c2);  // a border between objects
    } else {
        presenter.setPointSmoothing(false);
        presenter.setPointSize(1);
        presenter.flatQuad(WHITE, c0, c1, c3, c2);  // outlined by the line polygon mode
    }
}

// Squared length of 4·centre − the four corners: how far the quad is from flat.
static double colourDeviation(const Sample& centre, const Sample& c0, const Sample& c1, const Sample& c2,
                              const Sample& c3) {
    const Vector3 d = centre.colour * 4 - c0.colour - c1.colour - c2.colour - c3.colour;
    return dot(d, d);
}

void renderQuad(Presenter& presenter, Sample& c0, Sample& c1, Sample& c2, Sample& c3, int depth) {
    const int x0 = c0.column, y0 = c0.row, x1 = c3.column, y1 = c3.row;
    const int hw = (x1 - x0) / 2, hh = (y1 - y0) / 2;
    Sample& centre = sampleGrid.at(x0 + hw, y0 + hh);
    for (Sample* s : {&centre, &c0, &c1, &c2, &c3}) traceSample(*s);

    const Object* object = centre.hit.object;
    const bool same = c0.hit.object == object && c1.hit.object == object && c2.hit.object == object &&
                      c3.hit.object == object;
    const double deviation = colourDeviation(centre, c0, c1, c2, c3);

    bool split = false;
    if (hw >= ALWAYS_SPLIT_HALF_SIZE || hh >= ALWAYS_SPLIT_HALF_SIZE)
        split = true;
    else if (depth < maxDepth && hw > 0 && hh > 0)
        split = (borderMode && !same) || deviation >= COLOUR_SPLIT || (!same && deviation >= BORDER_COLOUR_SPLIT);

    if (!split) {
        drawLeaf(presenter, centre, c0, c1, c2, c3, hw, hh, same);
        return;
    }
    // Edge midpoints; with odd sizes the halves differ by one pixel but share their edges.
    Sample& midY0 = sampleGrid.at(x0 + hw, y0);
    Sample& midX0 = sampleGrid.at(x0, y0 + hh);
    Sample& midX1 = sampleGrid.at(x1, y0 + hh);
    Sample& midY1 = sampleGrid.at(x0 + hw, y1);
    renderQuad(presenter, c0, midY0, midX0, centre, depth + 1);
    renderQuad(presenter, midY0, c1, centre, midX1, depth + 1);
    renderQuad(presenter, midX0, centre, c2, midY1, depth + 1);
    renderQuad(presenter, centre, midX1, midY1, c3, depth + 1);
}
