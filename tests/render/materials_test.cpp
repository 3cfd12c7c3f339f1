// Several lights, mirrors, glass, the checker and the background, traced through real solids
// built in code and compared as pictures or along chosen rays.
#include <gtest/gtest.h>

#include <vector>

#include "base/statistics.h"
#include "math/transform.h"
#include "objects/object.h"
#include "objects/plane.h"
#include "objects/sphere.h"
#include "render/camera.h"
#include "render/lights.h"
#include "render/pattern.h"
#include "render/shading.h"

namespace {

constexpr double ONE_LEVEL = 1.0 / 255;

struct Picture {
    std::vector<Vector3> colours;
    std::vector<const Object*> objects;  // what each pixel's primary ray met
};

class Materials : public ::testing::Test {
protected:
    void SetUp() override {
        stats = Statistics{};
        *sceneLight() = {{1, 1, 1}, LIGHT_LOCATION};
        camera = {{0, 1.5, -6}, {0, 0, 1}, {4.0 / 3, 0, 0}, {0, 1, 0}};
        lookAt(0, 0.8, 0);
        ground.colour = {0.3, 0.6, 0.9};
        add(make_plane(0, 1, 0, 0), ground);
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

    Picture render() {
        forgetShadowCaches();
        Picture picture;
        for (int row = 0; row < 36; ++row) {
            for (int column = 0; column < 48; ++column) {
                Ray ray;
                primaryRay(ray, column, row, 48, 36);
                Hit hit;
                picture.colours.push_back(tracePrimaryRay(ray, hit));
                picture.objects.push_back(hit.object);
            }
        }
        return picture;
    }

    // The colour seen along the primary ray from eye through target.
    Vector3 look(const Vector3& eye, const Vector3& target) {
        forgetShadowCaches();
        Ray ray;
        initRay(ray, eye, target - eye);
        Hit hit;
        return tracePrimaryRay(ray, hit);
    }

    Texture ground, ball;
    std::vector<Object*> built;
};

void expectNear(const Vector3& a, const Vector3& b, double tolerance) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

// Each light has its own shadow ray and cache: with two lights the caches hit and block as with
// each light alone (the pictures adding up, and one listed light being the start light, are
// checked through quadray-render by tests/e2e/materials.sh).
TEST_F(Materials, LightsKeepTheirOwnShadowCaches) {
    ball.phong = 0.6;
    add(make_sphere(0.4, 1, 1, 1), ball);
    const Light warm{{0.7, 0.5, 0.2}, {-300, 400, -100}}, cold{{0.1, 0.3, 0.6}, {250, 300, -400}};
    setSceneLights({warm});
    render();
    setSceneLights({cold});
    render();
    const Statistics alone = stats;
    stats = Statistics{};
    setSceneLights({warm, cold});
    render();
    EXPECT_GT(stats.shadowCacheHits, 0);
    EXPECT_EQ(stats.shadowCacheHits, alone.shadowCacheHits);  // as if the other light were not there
    EXPECT_EQ(stats.shadowRaysBlocked, alone.shadowRaysBlocked);
}

// Clear glass that bends nothing is invisible, its shadow included (the ground is checkered,
// so a shifted ray would show); tinted glass colours its shadow, and neither blocks light.
TEST_F(Materials, GlassLetsLightThrough) {
    ground.pattern = Pattern::checker;
    ground.checkerColour = {0.9, 0.9, 0.2};
    add(make_sphere(0.4, 1, 1, 1), ball);
    const Picture without = render();
    Texture glass;
    glass.transmit = 1;
    glass.ambient = {0, 0, 0};
    const Object* sphere = add(make_sphere(-0.6, 0.7, -1.5, 0.7), glass);
    const Picture with = render();
    int throughGlass = 0;
    for (std::size_t i = 0; i < with.colours.size(); ++i) {
        expectNear(with.colours[i], without.colours[i], ONE_LEVEL);
        throughGlass += with.objects[i] == sphere;
    }
    EXPECT_GT(throughGlass, 20);
    EXPECT_GT(stats.refractedRays, 2 * throughGlass - 1);

    glass.transmit = 0.5;
    glass.colour = {1, 0.5, 0};
    ground.pattern = Pattern::plain;
    ground.colour = {1, 1, 1};
    ground.ambient = {0, 0, 0};
    sceneLight()->location = {-0.3, 1000, -1.5};
    stats = Statistics{};
    // Seen from the side, under the glass: two crossings, each passing half the light tinted
    // by (1, 0.5, 0).
    expectNear(look({3, 0.02, -1.5}, {-0.3, 0, -1.5}), {0.6 * 0.25, 0.6 * 0.0625, 0}, 1e-6);
    EXPECT_EQ(stats.shadowRaysBlocked, 0);
}

// The eye at (0, 1, -5) sees the ball's centre (0, 1, 0) mirrored in the ground at (0, 0, -2.5).
TEST_F(Materials, MirrorShowsTheBallWhereGeometryPutsIt) {
    ball.colour = {1, 0, 0};
    ball.ambient = {0.5, 0, 0};
    add(make_sphere(0, 1, 0, 1), ball);
    ground.colour = ground.ambient = {0, 0, 0};
    ground.diffuse = 0;  // no light terms of its own: the reflection is added all the same
    ground.reflection = 0.5;
    backgroundColour = {0, 0, 0.8};
    const Vector3 eye{0, 1, -5};

    // The underside of the ball faces away from the light: half its ambient red.
    expectNear(look(eye, {0, 0, -2.5}), {0.25, 0, 0}, 1e-12);
    expectNear(look(eye, {3, 0, -2.5}), {0, 0, 0.4}, 1e-12);  // mirrored past the ball
    EXPECT_EQ(look(eye, {0, 5, 10}), backgroundColour);          // a primary ray meeting nothing
    EXPECT_EQ(stats.reflectedRays, 2);

    traceDepth = 0;
    ground.ambient = {0.2, 0.2, 0.2};
    EXPECT_EQ(look(eye, {0, 0, -2.5}), ground.ambient);
    EXPECT_EQ(stats.reflectedRays, 2);
}

// A ray into glass of ior 1.5 at 45° bends towards the normal; the checkered ground below
// tells where it lands: x 1.78 in a red cube, where the straight ray lands at x 2.25 in a blue one.
TEST_F(Materials, RefractionFollowsSnell) {
    Texture glass;
    glass.transmit = 1;
    glass.ior = 1.5;
    glass.ambient = {0, 0, 0};
    ground.pattern = Pattern::checker;
    ground.colour = {1, 0, 0};
    ground.checkerColour = {0, 0, 1};
    ground.ambient = {0, 0, 0};
    ground.diffuse = 1;
    sceneList = nullptr;
    add(make_plane(0, 1, 0, 1), ground);  // the ground at y = -1
    add(make_plane(0, 1, 0, 0), glass);   // glass below y = 0
    sceneLight()->location = {2, 1000, 0};
    const Vector3 eye{0.25, 1, 0}, at45{1.25, 0, 0};

    const Vector3 bent = look(eye, at45);
    EXPECT_GT(bent.x, 0.99);
    EXPECT_EQ(bent.z, 0);
    EXPECT_EQ(stats.refractedRays, 1);
    EXPECT_EQ(stats.shadowRaysBlocked, 0);  // the glass above the ground dims no light

    glass.ior = 1;
    const Vector3 straight = look(eye, at45);
    EXPECT_EQ(straight.x, 0);
    EXPECT_GT(straight.z, 0.99);
}

TEST(Checker, UnitCubesOfTheObjectsOwnSpace) {
    Texture texture;
    texture.pattern = Pattern::checker;
    texture.checkerColour = {0, 0, 0};
    Object object;
    Hit hit;
    hit.object = &object;
    const std::pair<Vector3, bool> world[] = {
        {{0.5, 0.5, 0.5}, true},   {{1.5, 0.5, 0.5}, false},   {{-0.5, 0.5, 0.5}, false},
        {{1.5, 1.5, 0.5}, true},   {{0.5, -1e-12, 0.5}, true},  // a face at y = 0 stays in one cube
        {{0.5, -1e-6, 0.5}, false}, {{-2.5, -3.5, 0.5}, false},
    };
    for (const auto& [point, first] : world) {
        hit.point = point;
        EXPECT_EQ(pigmentAt(texture, hit), first ? texture.colour : texture.checkerColour) << point.x;
    }

    // Moved by half a cube along x, then scaled by 2: the cubes go with the object.
    Transformation t, scale;
    translation_transformation({0.5, 0, 0}, t);
    scaling_transformation({2, 2, 2}, scale);
    compose(t, scale);
    object.transformation = &t;
    hit.point = {1.2, 0.2, 0.2};  // local (0.35, 0.1, 0.1)
    EXPECT_EQ(pigmentAt(texture, hit), texture.colour);
    hit.point = {0.8, 0.2, 0.2};  // local (-0.05, 0.1, 0.1)
    EXPECT_EQ(pigmentAt(texture, hit), texture.checkerColour);
}

}  // namespace
