// The adaptive quad renderer on an empty scene and on one sphere: which samples are
// traced, which quads are split, and how leaves are drawn.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <utility>

#include "objects/object.h"
#include "objects/sphere.h"
#include "render/refinement.h"
#include "render_fixture.h"

namespace {

struct Leaf {
    int x0, y0, x1, y1;
};

// Fans and quads list c0 (x0, y0) first and c3 (x1, y1) third among the corners.
Leaf leafOf(const RecordedCall& call) {
    const int first = call.kind == DrawCall::Fan ? 1 : 0;
    const RecordedVertex& c0 = call.vertices[first];
    const RecordedVertex& c3 = call.vertices[first + 2];
    return {c0.column, c0.row, c3.column, c3.row};
}

std::vector<Leaf> leaves(const RecordingPresenter& p) {
    std::vector<Leaf> out;
    for (const RecordedCall& c : p.calls)
        if (c.kind == DrawCall::Fan || c.kind == DrawCall::FlatQuad) out.push_back(leafOf(c));
    return out;
}

// Samples whose stamp says they were traced in the given frame.
int samplesTracedIn(int frame) {
    int n = 0;
    for (const Sample& s : sampleGrid.samples) n += s.stamp == frame;
    return n;
}

// Corners and centre of every leaf.
std::set<std::pair<int, int>> leafSamples(const std::vector<Leaf>& all) {
    std::set<std::pair<int, int>> out;
    for (const Leaf& l : all) {
        out.insert({l.x0, l.y0});
        out.insert({l.x1, l.y0});
        out.insert({l.x0, l.y1});
        out.insert({l.x1, l.y1});
        out.insert({l.x0 + (l.x1 - l.x0) / 2, l.y0 + (l.y1 - l.y0) / 2});
    }
    return out;
}

class QuadRenderer : public RenderTest {
protected:
    // A sphere of radius 1 straight ahead, 5 units away.
    Object* sphereAhead() {
        const Vector3 c = camera.location + 5 * normalize(camera.direction);
        return keep(make_sphere(c.x, c.y, c.z, 1));
    }
    bool sameObject(const Leaf& l) {
        const Object* o = sampleGrid.at(l.x0 + (l.x1 - l.x0) / 2, l.y0 + (l.y1 - l.y0) / 2).hit.object;
        return sampleGrid.at(l.x0, l.y0).hit.object == o && sampleGrid.at(l.x1, l.y0).hit.object == o &&
               sampleGrid.at(l.x0, l.y1).hit.object == o && sampleGrid.at(l.x1, l.y1).hit.object == o;
    }
};

TEST_F(QuadRenderer, EmptySceneIsDrawnAs256QuadsOf40By30) {
    openWindow640x480();
    renderFrame(screen);
    EXPECT_EQ(maxDepth, 8);
    EXPECT_EQ(quadsDrawn, 256);
    EXPECT_EQ(screen.count(DrawCall::Fan), 256);
    EXPECT_EQ(screen.count(DrawCall::Clear), 0);
    ASSERT_EQ(screen.calls.back().kind, DrawCall::Swap);
    EXPECT_EQ(frameNumber, 1);

    const std::vector<Leaf> all = leaves(screen);
    for (const Leaf& l : all) {
        EXPECT_EQ(l.x1 - l.x0, 40);
        EXPECT_EQ(l.y1 - l.y0, 30);
    }
    // Only leaf corners and centres were traced, each exactly once.
    const auto traced = leafSamples(all);
    EXPECT_EQ(samplesTracedIn(0), static_cast<int>(traced.size()));
    for (const auto& [x, y] : traced) EXPECT_EQ(sampleGrid.at(x, y).stamp, 0);
    EXPECT_EQ(stats.primaryRays, static_cast<int>(traced.size()));
    EXPECT_EQ(raysThisFrame, stats.primaryRays);
}

TEST_F(QuadRenderer, FanRunsFromTheCentreRoundTheCornersAndCloses) {
    openWindow640x480();
    renderFrame(screen);
    const RecordedCall& fan = screen.calls.front();
    ASSERT_EQ(fan.kind, DrawCall::Fan);
    const int expected[6][2] = {{20, 15}, {0, 0}, {40, 0}, {40, 30}, {0, 30}, {0, 0}};
    ASSERT_EQ(fan.vertices.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(fan.vertices[i].column, expected[i][0]);
        EXPECT_EQ(fan.vertices[i].row, expected[i][1]);
    }
}

TEST_F(QuadRenderer, SceneThatMissesEverywhereIsLikeAnEmptyOne) {
    openWindow640x480();
    const Vector3 behind = camera.location - 5 * camera.direction;
    sceneList = keep(make_sphere(behind.x, behind.y, behind.z, 1));
    renderFrame(screen);
    EXPECT_EQ(quadsDrawn, 256);
    for (const Sample& s : sampleGrid.samples) EXPECT_EQ(s.hit.object, nullptr);
}

TEST_F(QuadRenderer, SphereIsRefinedAlongItsOutlineAndEachSampleTracedOncePerFrame) {
    openWindow640x480();
    sceneList = sphereAhead();
    renderFrame(screen);
    EXPECT_GT(quadsDrawn, 256);
    EXPECT_EQ(screen.count(DrawCall::Fan), quadsDrawn);
    EXPECT_EQ(stats.primaryRays, samplesTracedIn(0));

    const std::vector<Leaf> all = leaves(screen);
    EXPECT_EQ(samplesTracedIn(0), static_cast<int>(leafSamples(all).size()));
    int finest = 0;
    for (const Leaf& l : all) {
        const int hw = (l.x1 - l.x0) / 2, hh = (l.y1 - l.y0) / 2;
        EXPECT_LT(hw, 32);
        EXPECT_LT(hh, 32);
        if (hw == 1) ++finest;
        // Leaves of four or more pixels each way lie above the depth limit, so they had
        // to be flat and on one object.
        if (hw < 2 || hh < 2) continue;
        const Sample& centre = sampleGrid.at(l.x0 + hw, l.y0 + hh);
        const Vector3 d = centre.colour * 4 - sampleGrid.at(l.x0, l.y0).colour - sampleGrid.at(l.x1, l.y0).colour -
                          sampleGrid.at(l.x0, l.y1).colour - sampleGrid.at(l.x1, l.y1).colour;
        EXPECT_LT(dot(d, d), 0.01);
        if (!sameObject(l)) {
            EXPECT_LT(dot(d, d), 0.0001);
        }
    }
    EXPECT_GT(finest, 0);  // the outline reaches the depth limit

    // The next frame traces the same samples again, once each.
    const int firstFrame = stats.primaryRays;
    screen.calls.clear();
    renderFrame(screen);
    EXPECT_EQ(stats.primaryRays, 2 * firstFrame);
    EXPECT_EQ(samplesTracedIn(1), firstFrame);
}

TEST_F(QuadRenderer, FanVerticesCarryTheSampleColours) {
    openWindow640x480();
    sceneList = sphereAhead();
    renderFrame(screen);
    bool lit = false;
    for (const RecordedCall& c : screen.calls) {
        if (c.kind != DrawCall::Fan) continue;
        for (const RecordedVertex& v : c.vertices) {
            EXPECT_EQ(v.colour, sampleGrid.at(v.column, v.row).colour);
            lit = lit || v.colour.x > 0.1;
        }
    }
    EXPECT_TRUE(lit);
}

TEST_F(QuadRenderer, CoarseQualityStopsAtTheHalfSizeRule) {
    openWindow640x480();
    sceneList = sphereAhead();
    qualityLevel = 9;
    renderFrame(screen);
    EXPECT_EQ(maxDepth, 0);
    EXPECT_EQ(quadsDrawn, 256);

    // Level 0 allows one level more than level 1.
    qualityLevel = 0;
    renderFrame(screen);
    EXPECT_EQ(maxDepth, 9);
    const int finer = quadsDrawn;
    qualityLevel = 1;
    renderFrame(screen);
    EXPECT_GT(finer, quadsDrawn);
}

TEST_F(QuadRenderer, HalfSizeOf32IsAlwaysSplit) {
    qualityLevel = 9;  // no depth left for colour or object splits
    reshapeWindow(setup, 64, 62);  // half-sizes 32 and 31
    renderFrame(screen);
    EXPECT_EQ(quadsDrawn, 4);
    reshapeWindow(setup, 62, 62);
    renderFrame(screen);
    EXPECT_EQ(quadsDrawn, 1);
}

TEST_F(QuadRenderer, BorderModeDrawsMixedLeavesWhite) {
    openWindow640x480();
    sceneList = sphereAhead();
    borderMode = 1;
    renderFrame(screen);
    int white = 0;
    for (const RecordedCall& c : screen.calls) {
        if (c.kind == DrawCall::FlatQuad) {
            ++white;
            EXPECT_EQ(c.colour, (Vector3{1, 1, 1}));
            EXPECT_FALSE(sameObject(leafOf(c)));
            const Leaf l = leafOf(c);
            EXPECT_LE(l.x1 - l.x0, 3);  // only at the depth limit
        } else if (c.kind == DrawCall::Fan) {
            EXPECT_TRUE(sameObject(leafOf(c)));
        }
    }
    EXPECT_GT(white, 0);
}

TEST_F(QuadRenderer, OutlineModeClearsAndDrawsWhiteQuads) {
    openWindow640x480();
    fillPolygons = 0;
    renderFrame(screen);
    ASSERT_GE(screen.calls.size(), 4u);
    EXPECT_EQ(screen.calls[0].kind, DrawCall::Clear);
    EXPECT_EQ(screen.calls[1].kind, DrawCall::PointSmoothing);
    EXPECT_EQ(screen.calls[1].value, 0);
    EXPECT_EQ(screen.calls[2].kind, DrawCall::PointSize);
    EXPECT_EQ(screen.calls[2].value, 1);
    EXPECT_EQ(screen.calls[3].kind, DrawCall::FlatQuad);
    EXPECT_EQ(screen.calls[3].colour, (Vector3{1, 1, 1}));
    // Corners in the order c0, c1, c3, c2.
    EXPECT_EQ(screen.calls[3].vertices[1].column, 40);
    EXPECT_EQ(screen.calls[3].vertices[2].row, 30);
    EXPECT_EQ(screen.calls[3].vertices[3].column, 0);
    EXPECT_EQ(screen.count(DrawCall::FlatQuad), 256);
    EXPECT_EQ(screen.count(DrawCall::Fan), 0);
}

TEST_F(QuadRenderer, ObjectCountViewShowsTheSceneSizeInGrey) {
    openWindow640x480();
    sceneList = sphereAhead();
    objectCountView = 1;
    qualityLevel = 9;
    renderFrame(screen);
    const double g = 1.0 / objectCount;
    EXPECT_EQ(screen.count(DrawCall::FlatQuad), 256);
    EXPECT_EQ(screen.count(DrawCall::Text), 256);
    const RecordedCall& quad = screen.calls[0];
    const RecordedCall& text = screen.calls[1];
    ASSERT_EQ(quad.kind, DrawCall::FlatQuad);
    EXPECT_EQ(quad.colour, (Vector3{g, g, g}));
    ASSERT_EQ(text.kind, DrawCall::Text);
    EXPECT_EQ(text.text, "1");
    EXPECT_EQ(text.vertices[0].column, 0 + 20 - 4);
    EXPECT_EQ(text.vertices[0].row, 0 + 15 - 6);
    EXPECT_EQ(text.colour, (Vector3{1 - g, 1 - g, 1 - g}));
}

TEST_F(QuadRenderer, ObjectCountViewWritesNoTextInSmallQuads) {
    reshapeWindow(setup, 30, 30);  // one leaf with half-sizes of 15
    objectCountView = 1;
    qualityLevel = 9;
    renderFrame(screen);
    EXPECT_EQ(screen.count(DrawCall::Text), 1);
    reshapeWindow(setup, 14, 30);  // half width 7
    screen.calls.clear();
    renderFrame(screen);
    EXPECT_EQ(screen.count(DrawCall::FlatQuad), 1);
    EXPECT_EQ(screen.count(DrawCall::Text), 0);
}

// A still view refined pass by pass in steps of a few rows at a time ends as the full trace does
// with the same samples per pixel: sample 0 from the grid, the rest through the shared pattern.
TEST_F(QuadRenderer, RefinementInStepsIsTheSupersampledFullTrace) {
    reshapeWindow(setup, 40, 30);
    sceneList = sphereAhead();
    static std::atomic<std::uint32_t> ticks{0};  // the pool's threads read the clock too
    readTicks = [] { return ++ticks; };          // each row taken costs a tick
    for (int samples : {1, 5}) {
        SCOPED_TRACE(samples);
        Refinement refinement;
        startRefinement(refinement, 40, 30, samples);
        int passes = 0, steps = 0;
        for (; !refinementDone(refinement); ++steps) {
            const bool passDone = refineFor(refinement, 4);
            passes += passDone;
            EXPECT_EQ(passDone, refinement.nextRow == 0);
        }
        EXPECT_EQ(passes, samples);
        EXPECT_GT(steps, 3 * samples);
        EXPECT_FALSE(refineFor(refinement, 4));

        // quadray-render's full trace, top row first; the refinement's rows go from the bottom.
        std::vector<std::uint8_t> full, expected;
        traceFullPicture({40, 30, 0, 0, 40, 30, samples}, [&full](const std::uint8_t* rows, int count) {
            full.insert(full.end(), rows, rows + count * 40 * 3);
        });
        for (int y = 29; y >= 0; --y) expected.insert(expected.end(), &full[y * 120], &full[y * 120 + 120]);
        EXPECT_EQ(refinement.picture, expected);
    }
    Refinement empty;  // a window of no width
    startRefinement(empty, 0, 30, 2);
    refineCompletely(empty);
    EXPECT_TRUE(refinementDone(empty));
}

// Whatever the picture depends on changes the view; a new scene does too.
TEST_F(QuadRenderer, ViewChangesWithCameraSizeFlagsAndScene) {
    openWindow640x480();
    const ViewState start = currentView();
    EXPECT_EQ(currentView(), start);
    const std::vector<int*> flags = {&frameless, &qualityLevel, &fillPolygons, &borderMode, &objectCountView,
                                     &refineEnabled};
    for (int* flag : flags) {
        *flag = !*flag;
        EXPECT_NE(currentView(), start);
        *flag = !*flag;
    }
    camera.location.x += 1e-9;
    EXPECT_NE(currentView(), start);
    camera.location.x -= 1e-9;
    EXPECT_EQ(currentView(), start);
    noteNewScene();
    EXPECT_NE(currentView(), start);
    const ViewState scene = currentView();
    sampleGrid.width += 1;  // as a wider window has it
    EXPECT_NE(currentView(), scene);
}

TEST(CountObjects, CountsSiblingsChildrenAndNodes) {
    Object node, a, b, c, top2;
    node.children = &a;
    a.next = &b;
    b.children = &c;
    node.next = &top2;
    EXPECT_EQ(countObjects(nullptr), 0);
    EXPECT_EQ(countObjects(&c), 1);
    EXPECT_EQ(countObjects(&node), 5);
}

}  // namespace
