// Recursive quad subdivision, the four ways of drawing a leaf, and the frame cut into pieces
// that the threads of the pool subdivide while the calling thread draws.
#include "render/quad_renderer.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <utility>

#include "base/worker_pool.h"
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

static bool sameObject(const Sample& centre, const Sample& c0, const Sample& c1, const Sample& c2,
                       const Sample& c3) {
    const Object* object = centre.hit.object;
    return c0.hit.object == object && c1.hit.object == object && c2.hit.object == object &&
           c3.hit.object == object;
}

// A quad's samples lie in rows far apart in the grid and were last written long ago or by
// another thread: asked for ahead of their use, their loads overlap instead of waiting in turn.
// What is read of a sample lies in its first 48 bytes, in the lines of its start and its
// object. Both helpers are inlined: a call to a function that only prefetches counts as one
// without effect, and the compiler drops it.
[[gnu::always_inline]] static inline void prefetch(const Sample& s) {
    __builtin_prefetch(&s);
    __builtin_prefetch(&s.hit.object);
}

[[gnu::always_inline]] static inline void prefetchLeaf(const QuadLeaf& leaf) {
    const int hw = (leaf.x1 - leaf.x0) / 2, hh = (leaf.y1 - leaf.y0) / 2;
    for (const Sample* s : {&sampleGrid.at(leaf.x0 + hw, leaf.y0 + hh), &sampleGrid.at(leaf.x0, leaf.y0),
                            &sampleGrid.at(leaf.x1, leaf.y0), &sampleGrid.at(leaf.x0, leaf.y1),
                            &sampleGrid.at(leaf.x1, leaf.y1)})
        prefetch(*s);
}

void drawLeaf(Presenter& presenter, const QuadLeaf& leaf) {
    const int hw = (leaf.x1 - leaf.x0) / 2, hh = (leaf.y1 - leaf.y0) / 2;
    const Sample& centre = sampleGrid.at(leaf.x0 + hw, leaf.y0 + hh);
    const Sample& c0 = sampleGrid.at(leaf.x0, leaf.y0);
    const Sample& c1 = sampleGrid.at(leaf.x1, leaf.y0);
    const Sample& c2 = sampleGrid.at(leaf.x0, leaf.y1);
    const Sample& c3 = sampleGrid.at(leaf.x1, leaf.y1);
    if (objectCountView) {
        drawObjectCount(presenter, c0, c1, c2, c3, hw, hh);
    } else if (fillPolygons && (!borderMode || sameObject(centre, c0, c1, c2, c3))) {
        const Sample* fan[] = {&centre, &c0, &c1, &c3, &c2, &c0};
        presenter.fan(fan, 6);
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

void subdivideQuad(std::vector<QuadLeaf>& leaves, Sample& c0, Sample& c1, Sample& c2, Sample& c3, int depth) {
    const int x0 = c0.column, y0 = c0.row, x1 = c3.column, y1 = c3.row;
    const int hw = (x1 - x0) / 2, hh = (y1 - y0) / 2;
    Sample& centre = sampleGrid.at(x0 + hw, y0 + hh);
    for (Sample* s : {&centre, &c0, &c1, &c2, &c3}) traceSample(*s);

    const bool same = sameObject(centre, c0, c1, c2, c3);
    const double deviation = colourDeviation(centre, c0, c1, c2, c3);

    bool split = false;
    if (hw >= ALWAYS_SPLIT_HALF_SIZE || hh >= ALWAYS_SPLIT_HALF_SIZE)
        split = true;
    else if (depth < maxDepth && hw > 0 && hh > 0)
        split = (borderMode && !same) || deviation >= COLOUR_SPLIT || (!same && deviation >= BORDER_COLOUR_SPLIT);

    if (!split) {
        leaves.push_back({x0, y0, x1, y1});
        return;
    }
    // Edge midpoints; with odd sizes the halves differ by one pixel but share their edges.
    Sample& midY0 = sampleGrid.at(x0 + hw, y0);
    Sample& midX0 = sampleGrid.at(x0, y0 + hh);
    Sample& midX1 = sampleGrid.at(x1, y0 + hh);
    Sample& midY1 = sampleGrid.at(x0 + hw, y1);
    const int qw = hw / 2, qh = hh / 2;  // the centres of the four halves
    for (const Sample* s : {&midY0, &midX0, &midX1, &midY1, &sampleGrid.at(x0 + qw, y0 + qh),
                            &sampleGrid.at(x0 + hw + qw, y0 + qh), &sampleGrid.at(x0 + qw, y0 + hh + qh),
                            &sampleGrid.at(x0 + hw + qw, y0 + hh + qh)})
        prefetch(*s);
    subdivideQuad(leaves, c0, midY0, midX0, centre, depth + 1);
    subdivideQuad(leaves, midY0, c1, centre, midX1, depth + 1);
    subdivideQuad(leaves, midX0, centre, c2, midY1, depth + 1);
    subdivideQuad(leaves, centre, midX1, midY1, c3, depth + 1);
}

// Follows subdivideQuad through the splits that the size alone forces and lists the quads below.
static void outlinePieces(std::vector<QuadPieceOutline>& pieces, std::vector<Sample*>& before, Sample& c0, Sample& c1,
                          Sample& c2, Sample& c3, int depth) {
    const int x0 = c0.column, y0 = c0.row, x1 = c3.column, y1 = c3.row;
    const int hw = (x1 - x0) / 2, hh = (y1 - y0) / 2;
    if (hw < ALWAYS_SPLIT_HALF_SIZE && hh < ALWAYS_SPLIT_HALF_SIZE) {
        pieces.push_back({std::move(before), {&c0, &c1, &c2, &c3}, depth});
        before.clear();
        return;
    }
    Sample& centre = sampleGrid.at(x0 + hw, y0 + hh);
    before.insert(before.end(), {&centre, &c0, &c1, &c2, &c3});
    Sample& midY0 = sampleGrid.at(x0 + hw, y0);
    Sample& midX0 = sampleGrid.at(x0, y0 + hh);
    Sample& midX1 = sampleGrid.at(x1, y0 + hh);
    Sample& midY1 = sampleGrid.at(x0 + hw, y1);
    outlinePieces(pieces, before, c0, midY0, midX0, centre, depth + 1);
    outlinePieces(pieces, before, midY0, c1, centre, midX1, depth + 1);
    outlinePieces(pieces, before, midX0, centre, c2, midY1, depth + 1);
    outlinePieces(pieces, before, centre, midX1, midY1, c3, depth + 1);
}

std::vector<QuadPieceOutline> outlineQuadPieces() {
    std::vector<QuadPieceOutline> pieces;
    std::vector<Sample*> before;
    const int w = sampleGrid.width, h = sampleGrid.height;
    outlinePieces(pieces, before, sampleGrid.at(0, 0), sampleGrid.at(w - 1, 0), sampleGrid.at(0, h - 1),
                  sampleGrid.at(w - 1, h - 1), 0);
    return pieces;
}

namespace {

struct QuadPiece {
    QuadPieceOutline outline;
    std::vector<QuadLeaf> leaves;  // what to draw, in drawing order; kept between frames
    std::atomic<int> traced{-1};   // the frame's round once leaves is complete
};

struct QuadPlan {
    const Sample* grid = nullptr;  // the samples the pieces point into
    int width = 0, height = 0;     // and their layout: a new grid may reuse the old one's memory
    std::deque<QuadPiece> pieces;  // in the order a single thread meets them; never moved
};

QuadPlan plan;

// The pieces depend on the grid size only; they are made again for a new grid.
void planPieces() {
    if (plan.grid == sampleGrid.samples.data() && plan.width == sampleGrid.width && plan.height == sampleGrid.height)
        return;
    plan.pieces.clear();
    for (QuadPieceOutline& outline : outlineQuadPieces()) plan.pieces.emplace_back().outline = std::move(outline);
    plan.grid = sampleGrid.samples.data();
    plan.width = sampleGrid.width;
    plan.height = sampleGrid.height;
}

struct QuadFrameJob {
    int round = 0;               // counts quad frames; marks the pieces traced in this one
    std::atomic<int> next{0};    // the first piece no thread has taken yet
    std::mutex mutex;
    std::condition_variable pieceTraced;
};

QuadFrameJob job;

// How far ahead of the leaf being drawn its successors' samples are asked for.
constexpr std::size_t LEAVES_AHEAD = 4;

void tracePiece(QuadPiece& piece) {
    piece.leaves.clear();
    const QuadPieceOutline& outline = piece.outline;
    for (Sample* s : outline.before) traceSample(*s);
    subdivideQuad(piece.leaves, *outline.corners[0], *outline.corners[1], *outline.corners[2], *outline.corners[3],
                  outline.depth);
    piece.traced.store(job.round, std::memory_order_release);
}

// Traces the first piece nobody has taken; false when none is left.
bool traceNextPiece() {
    const int i = job.next.fetch_add(1, std::memory_order_relaxed);
    if (i >= static_cast<int>(plan.pieces.size())) return false;
    tracePiece(plan.pieces[static_cast<std::size_t>(i)]);
    return true;
}

void workerShare(void*, int) {
    while (traceNextPiece()) {
        // The lock orders this wake-up after the drawing thread's last look at the stamp.
        { std::lock_guard<std::mutex> lock(job.mutex); }
        job.pieceTraced.notify_one();
    }
}

}  // namespace

void renderQuadFrame(Presenter& presenter) {
    planPieces();
    ++job.round;
    job.next.store(0, std::memory_order_relaxed);
    startJob(workerShare, nullptr);
    int leaves = 0;
    // Pieces are drawn in order as soon as they are traced; while the next one is still being
    // traced elsewhere, this thread traces later ones. The leaves' samples are final once their
    // piece is stamped, since every sample is traced once per frame.
    for (QuadPiece& piece : plan.pieces) {
        while (piece.traced.load(std::memory_order_acquire) != job.round) {
            if (traceNextPiece()) continue;
            std::unique_lock<std::mutex> lock(job.mutex);
            job.pieceTraced.wait(lock, [&] { return piece.traced.load(std::memory_order_acquire) == job.round; });
        }
        const std::vector<QuadLeaf>& drawn = piece.leaves;
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            if (i + LEAVES_AHEAD < drawn.size()) prefetchLeaf(drawn[i + LEAVES_AHEAD]);
            drawLeaf(presenter, drawn[i]);
        }
        leaves += static_cast<int>(piece.leaves.size());
    }
    finishJob();
    quadsDrawn = leaves;
}
