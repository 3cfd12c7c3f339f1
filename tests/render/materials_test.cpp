// Several lights, mirrors, glass, the checker and the background, traced through real solids
// built in code and compared as pictures or along chosen rays.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/statistics.h"
#include "math/transform.h"
#include "objects/object.h"
#include "objects/plane.h"
#include "objects/sphere.h"
#include "objects/texture.h"
#include "render/camera.h"
#include "render/lights.h"
#include "render/pattern.h"
#include "render/shading.h"

namespace {

constexpr double ONE_LEVEL = 1.0 / 255;
constexpr int WIDTH = 48, HEIGHT = 36;

struct Picture {
    std::vector<Vector3> colours;
    std::vector<const Object*> objects;  // what each pixel's primary ray met
};

class Materials : public ::testing::Test {
protected:
    void SetUp() override {
        stats = Statistics{};
        sceneLight()->location = LIGHT_LOCATION;
        sceneLight()->colour = {1, 1, 1};
        camera = {{0, 1.5, -6}, {0, 0, 1}, {4.0 / 3, 0, 0}, {0, 1, 0}};
        lookAt(0, 0.8, 0);
        ball.colour = {0.9, 0.2, 0.1};
        ball.phong = 0.6;
        floorTexture.colour = {0.3, 0.6, 0.9};
        floor = add(make_plane(0, 1, 0, 0), floorTexture);
        add(make_sphere(0.4, 1, 1, 1), ball);
    }
    void TearDown() override {
        sceneList = nullptr;
        setSceneLights({});
        traceDepth = DEFAULT_TRACE_DEPTH;
        backgroundColour = {0, 0, 0};
        for (Object* o : built) o->methods->destroy(o);
    }

    Object* add(Object* object, Texture& texture) {
        object->texture = &texture;
        object->next = sceneList;
        sceneList = object;
        built.push_back(object);
        return object;
    }
    // Takes the object out of the scene again (it stays built until the test ends).
    void remove(const Object* object) {
        for (Object** link = &sceneList; *link; link = &(*link)->next)
            if (*link == object) *link = object->next;
    }

    Picture render() {
        forgetShadowCaches();
        Picture picture;
        for (int row = 0; row < HEIGHT; ++row) {
            for (int column = 0; column < WIDTH; ++column) {
                Ray ray;
                primaryRay(ray, column, row, WIDTH, HEIGHT);
                Hit hit;
                picture.colours.push_back(tracePrimaryRay(ray, hit));
                picture.objects.push_back(hit.object);
            }
        }
        return picture;
    }

    // The colour seen along one primary ray from origin towards target.
    Vector3 look(const Vector3& origin, const Vector3& target) {
        forgetShadowCaches();
        Ray ray;
        initRay(ray, origin, target - origin);
        Hit hit;
        return tracePrimaryRay(ray, hit);
    }

    Texture floorTexture, ball;
    Object* floor = nullptr;
    std::vector<Object*> built;
};

double largestChannel(const Vector3& c) { return std::max({c.x, c.y, c.z}); }

void expectNear(const Vector3& a, const Vector3& b, double tolerance) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST_F(Materials, OneLightInTheListLooksAndCountsAsTheStartLight) {
    const Picture start = render();
    const Statistics startCounts = stats;
    stats = Statistics{};
    setSceneLights({*sceneLight()});
    const Picture listed = render();
    for (std::size_t i = 0; i < start.colours.size(); ++i) ASSERT_EQ(start.colours[i], listed.colours[i]) << i;
    EXPECT_EQ(stats.shadowRays, startCounts.shadowRays);
    EXPECT_EQ(stats.shadowRaysBlocked, startCounts.shadowRaysBlocked);
    EXPECT_EQ(stats.shadowCacheHits, startCounts.shadowCacheHits);
    EXPECT_GT(stats.shadowRaysBlocked, 0);  // the ball's shadow is in the picture
}

// Each light adds its own terms behind its own shadow ray: two lights are the sum of each
// alone, less the ambient term that both pictures hold.
TEST_F(Materials, TwoLightsAddUpLessOneAmbient) {
    const Light warm{{0.7, 0.5, 0.2}, {-300, 400, -100}};
    const Light cold{{0.1, 0.3, 0.6}, {250, 300, -400}};
    setSceneLights({warm});
    const Picture first = render();
    setSceneLights({cold});
    const Picture second = render();
    const Statistics alone = stats;  // both lights alone, counted together
    stats = Statistics{};
    setSceneLights({warm, cold});
    const Picture both = render();

    int compared = 0;
    for (std::size_t i = 0; i < both.colours.size(); ++i) {
        if (largestChannel(first.colours[i]) >= 1 || largestChannel(second.colours[i]) >= 1 ||
            largestChannel(both.colours[i]) >= 1)
            continue;
        const Vector3 ambient = both.objects[i] ? both.objects[i]->texture->ambient : Vector3{};
        expectNear(both.colours[i], first.colours[i] + second.colours[i] - ambient, ONE_LEVEL);
        ++compared;
    }
    EXPECT_GT(compared, WIDTH * HEIGHT / 2);
    // Each light's shadow rays keep their own cache, as if the other light were not there.
    EXPECT_GT(stats.shadowCacheHits, 0);
    EXPECT_EQ(stats.shadowCacheTests, alone.shadowCacheTests);
    EXPECT_EQ(stats.shadowCacheHits, alone.shadowCacheHits);
    EXPECT_EQ(stats.shadowRaysBlocked, alone.shadowRaysBlocked);
}

// Clear glass that bends nothing is invisible, its shadow included (the floor is checkered,
// so a shifted ray would show).
TEST_F(Materials, ClearGlassWithoutBendingLeavesThePictureAsIfAbsent) {
    floorTexture.pattern = Pattern::checker;
    floorTexture.checkerColour = {0.9, 0.9, 0.2};
    const Picture without = render();
    Texture glass;
    glass.transmit = 1;
    glass.ambient = {0, 0, 0};
    glass.phong = 0;
    const Object* sphere = add(make_sphere(-0.6, 0.7, -1.5, 0.7), glass);
    const Picture with = render();

    int throughGlass = 0;
    for (std::size_t i = 0; i < with.colours.size(); ++i) {
        expectNear(with.colours[i], without.colours[i], ONE_LEVEL);
        throughGlass += with.objects[i] == sphere;
    }
    EXPECT_GT(throughGlass, 20);
    EXPECT_GT(stats.refractedRays, 2 * throughGlass - 1);
    EXPECT_EQ(stats.reflectedRays, 0);
}

// The eye at (0, 1, -5) sees the ball's centre (0, 1, 0) mirrored in the floor at (0, 0, -2.5).
TEST_F(Materials, MirrorFloorShowsTheBallWhereGeometryPutsIt) {
    remove(sceneList);  // the ball of the fixture
    Texture red;
    red.colour = {1, 0, 0};
    red.ambient = {0.5, 0, 0};
    add(make_sphere(0, 1, 0, 1), red);
    floorTexture.colour = {0, 0, 0};
    floorTexture.ambient = {0, 0, 0};
    floorTexture.diffuse = 0;  // no light terms of its own: the reflection is added all the same
    floorTexture.reflection = 0.5;
    backgroundColour = {0, 0, 0.8};
    const Vector3 eye{0, 1, -5};

    // The underside of the ball faces away from the light: half its ambient red.
    expectNear(look(eye, {0, 0, -2.5}), {0.25, 0, 0}, 1e-12);
    const Vector3 skyInMirror = look(eye, {3, 0, -2.5});  // mirrored past the ball
    expectNear(skyInMirror, {0, 0, 0.4}, 1e-12);
    EXPECT_EQ(look(eye, {0, 5, 10}), backgroundColour);  // a primary ray that meets nothing
    EXPECT_EQ(stats.reflectedRays, 2);

    traceDepth = 0;
    EXPECT_EQ(look(eye, {0, 0, -2.5}), (Vector3{0, 0, 0}));
    floorTexture.ambient = {0.2, 0.2, 0.2};
    EXPECT_EQ(look(eye, {0, 0, -2.5}), (Vector3{0.2, 0.2, 0.2}));
    EXPECT_EQ(stats.reflectedRays, 2);
}

// A ray into glass of ior 1.5 at 45° bends towards the normal (Snell); the checkered floor
// below tells where it lands: x 1.78 in a red cube, where the straight ray lands at x 2.25
// in a blue one.
TEST_F(Materials, RefractionFollowsSnell) {
    sceneList = nullptr;
    Texture glass, below;
    glass.transmit = 1;
    glass.ior = 1.5;
    glass.diffuse = glass.ambient.x = glass.ambient.y = glass.ambient.z = 0;
    below.pattern = Pattern::checker;
    below.colour = {1, 0, 0};
    below.checkerColour = {0, 0, 1};
    below.ambient = {0, 0, 0};
    below.diffuse = 1;
    add(make_plane(0, 1, 0, 1), below);  // the ground at y = -1
    add(make_plane(0, 1, 0, 0), glass);  // glass filling all below y = 0
    sceneLight()->location = {2, 1000, 0};
    const Vector3 eye{0.25, 1, 0}, straightDown45{1.25, 0, 0};

    const Vector3 bent = look(eye, straightDown45);
    EXPECT_GT(bent.x, 0.99);
    EXPECT_EQ(bent.z, 0);
    EXPECT_EQ(stats.refractedRays, 1);
    EXPECT_EQ(stats.shadowRaysBlocked, 0);  // the glass above the ground dims no light

    glass.ior = 1;
    const Vector3 straight = look(eye, straightDown45);
    EXPECT_EQ(straight.x, 0);
    EXPECT_GT(straight.z, 0.99);
}

// Tinted glass colours what it lets through and the shadow it casts, and never blocks.
TEST_F(Materials, TintedGlassColoursItsShadow) {
    remove(sceneList);  // the ball of the fixture
    Texture glass;
    glass.transmit = 0.5;
    glass.colour = {1, 0.5, 0};
    add(make_sphere(0, 1, 0, 0.5), glass);
    floorTexture.colour = {1, 1, 1};
    floorTexture.ambient = {0, 0, 0};
    sceneLight()->location = {0, 1000, 0};
    const Vector3 shadowed = look({0, 5, -5}, {0, 0, 0});
    // Two crossings of the glass, each passing half the light tinted by (1, 0.5, 0).
    EXPECT_NEAR(shadowed.x, 0.6 * 0.25, 1e-6);
    EXPECT_NEAR(shadowed.y, 0.6 * 0.0625, 1e-6);
    EXPECT_EQ(shadowed.z, 0);
    EXPECT_EQ(stats.shadowRaysBlocked, 0);
}

TEST(Checker, UnitCubesOfTheObjectsOwnSpace) {
    Texture texture;
    texture.pattern = Pattern::checker;
    texture.colour = {1, 1, 1};
    texture.checkerColour = {0, 0, 0};
    Object object;
    Hit hit;
    hit.object = &object;
    struct Case {
        Vector3 point;
        bool first;
    };
    const Case world[] = {
        {{0.5, 0.5, 0.5}, true},   {{1.5, 0.5, 0.5}, false}, {{-0.5, 0.5, 0.5}, false},
        {{1.5, 1.5, 0.5}, true},   {{0.5, -1e-12, 0.5}, true},  // a floor at y = 0 stays in one cube
        {{0.5, -1e-6, 0.5}, false}, {{-2.5, -3.5, 0.5}, false},
    };
    for (const Case& c : world) {
        hit.point = c.point;
        EXPECT_EQ(pigmentAt(texture, hit), c.first ? texture.colour : texture.checkerColour) << c.point.x;
    }

    // Moved by half a cube along x and scaled by 2: the cubes go with the object.
    Transformation t, scale;
    translation_transformation({0.5, 0, 0}, t);
    scaling_transformation({2, 2, 2}, scale);
    compose(t, scale);
    object.transformation = &t;
    hit.point = {1.2, 0.2, 0.2};  // local (0.35, 0.1, 0.1)
    EXPECT_EQ(pigmentAt(texture, hit), texture.colour);
    hit.point = {0.8, 0.2, 0.2};  // local (-0.05, 0.1, 0.1)
    EXPECT_EQ(pigmentAt(texture, hit), texture.checkerColour);
    texture.pattern = Pattern::plain;
    EXPECT_EQ(pigmentAt(texture, hit), texture.colour);
}

}  // namespace
