// Tracing of grid samples and the shading terms, on hand-made objects whose spans and
// normals the tests choose.
#include <gtest/gtest.h>

#include <cmath>

#include "base/statistics.h"
#include "objects/object.h"
#include "render/camera.h"
#include "render/sample_grid.h"
#include "render/shading.h"

namespace {

// A test solid: reports one span starting at a chosen distance along every ray (when
// solid), and a chosen normal everywhere.
struct Slab : Object {
    bool solid = true;
    double entryDistance = 1;
    Vector3 surfaceNormal{0, 0, 1};
    int queries = 0;
};

int intersectSlab(Object* object, const Ray& ray, IntersectionStack* stack) {
    auto* slab = static_cast<Slab*>(object);
    ++slab->queries;
    if (!slab->solid) return 0;
    Intersection span;
    span.entry.object = object;
    span.entry.distance = slab->entryDistance;
    span.entry.point = ray.origin + slab->entryDistance * ray.direction;
    span.exit = span.entry;
    span.exit.distance = slab->entryDistance + 1;
    pushIntersection(stack, span);
    return 1;
}

Vector3* slabNormal(Vector3* out, const Hit& hit) {
    *out = static_cast<Slab*>(hit.object)->surfaceNormal;
    return out;
}

constexpr ObjectMethods SlabMethods = {
    .intersect = intersectSlab,
    .normal = slabNormal,
    .copy = nullptr,
    .translate = nullptr,
    .rotate = nullptr,
    .scale = nullptr,
    .transform = nullptr,
    .destroy = nullptr,
    .prepare = nullptr,
};

class Shading : public ::testing::Test {
protected:
    void SetUp() override {
        stats = Statistics{};
        sceneList = nullptr;
        light = sceneLight();
        light->colour = {1, 1, 1};
        light->location = {200, 500, 200};
        texture.colour = {0.5, 0.25, 1};
        for (Slab* s : {&surface, &blocker, &other}) {
            init_object(s, &SlabMethods);  // a fresh id: shadow caches are kept by id
            s->texture = &texture;
            s->light = light;
        }
    }
    void TearDown() override { sceneList = nullptr; }

    // A hit on surface at point, facing the light, seen along the reverse of its normal.
    Hit facingLight(const Vector3& point, Ray& ray) {
        surface.surfaceNormal = normalize(light->location - point);
        initRay(ray, point + 2 * surface.surfaceNormal, -surface.surfaceNormal);
        Hit hit;
        hit.object = &surface;
        hit.distance = 2;
        hit.point = point;
        return hit;
    }

    Light* light = nullptr;
    Texture texture;
    Slab surface, blocker, other;
};

void expectColour(const Vector3& c, double r, double g, double b) {
    EXPECT_DOUBLE_EQ(c.x, r);
    EXPECT_DOUBLE_EQ(c.y, g);
    EXPECT_DOUBLE_EQ(c.z, b);
}

TEST_F(Shading, DefaultFinishOnAnUnshadowedSurfaceFacingTheLight) {
    Ray ray;
    const Hit hit = facingLight({1, 2, 3}, ray);
    Vector3 colour;
    EXPECT_FALSE(shadeHit(hit, colour, ray));
    expectColour(colour, 0.1 + 0.6 * 0.5, 0.1 + 0.6 * 0.25, 0.1 + 0.6 * 1);
    EXPECT_EQ(stats.shadowRays, 1);
    EXPECT_EQ(stats.shadowRaysBlocked, 0);
    EXPECT_EQ(shadowCacheOf(&surface), nullptr);
}

TEST_F(Shading, SurfaceSeenFromBehindShowsOnlyAmbientAndCastsNoShadowRay) {
    Ray ray;
    Hit hit = facingLight({1, 2, 3}, ray);
    initRay(ray, ray.origin, -ray.direction);  // now looking along the normal
    Vector3 colour{7, 7, 7};
    EXPECT_FALSE(shadeHit(hit, colour, ray));
    expectColour(colour, 0.1, 0.1, 0.1);
    EXPECT_EQ(stats.shadowRays, 0);

    hit.inverted = 1;  // the solid is the outside of the surface: the flipped normal faces us
    shadeHit(hit, colour, ray);
    EXPECT_EQ(stats.shadowRays, 1);
    // The light is behind the flipped normal, so diffuse adds nothing.
    expectColour(colour, 0.1, 0.1, 0.1);
}

TEST_F(Shading, GrazingRayCountsAsNotFacing) {
    Ray ray;
    Hit hit = facingLight({0, 0, 0}, ray);
    surface.surfaceNormal = {0, 1, 0};
    initRay(ray, {-1, 0, 0}, {1, 0, 0});
    Vector3 colour;
    shadeHit(hit, colour, ray);
    expectColour(colour, 0.1, 0.1, 0.1);
    EXPECT_EQ(stats.shadowRays, 0);
}

TEST_F(Shading, FinishWithoutLightTermsCastsNoShadowRay) {
    texture.diffuse = 0;
    texture.ambient = {0.3, 0.2, 0.1};
    Ray ray;
    const Hit hit = facingLight({1, 2, 3}, ray);
    sceneList = &blocker;
    Vector3 colour;
    EXPECT_FALSE(shadeHit(hit, colour, ray));
    expectColour(colour, 0.3, 0.2, 0.1);
    EXPECT_EQ(stats.shadowRays, 0);
    EXPECT_EQ(blocker.queries, 0);
}

TEST_F(Shading, ObjectWithoutLightLeavesTheColourAlone) {
    Ray ray;
    const Hit hit = facingLight({1, 2, 3}, ray);
    surface.light = nullptr;
    Vector3 colour{0.7, 0.8, 0.9};
    EXPECT_FALSE(shadeHit(hit, colour, ray));
    expectColour(colour, 0.7, 0.8, 0.9);
}

TEST_F(Shading, ShadowCacheRemembersTheOccluder) {
    Ray ray;
    const Hit hit = facingLight({1, 2, 3}, ray);
    other.solid = false;
    other.next = &blocker;
    sceneList = &other;
    Vector3 colour;

    EXPECT_TRUE(shadeHit(hit, colour, ray));
    expectColour(colour, 0.1, 0.1, 0.1);
    EXPECT_EQ(shadowCacheOf(&surface), &blocker);
    EXPECT_EQ(stats.shadowRays, 1);
    EXPECT_EQ(stats.shadowRaysBlocked, 1);
    EXPECT_EQ(stats.shadowCacheTests, 0);

    // Blocked again by the same occluder: one cache test, one cache hit, no scene walk.
    other.queries = 0;
    EXPECT_TRUE(shadeHit(hit, colour, ray));
    EXPECT_EQ(stats.shadowRays, 2);
    EXPECT_EQ(stats.shadowRaysBlocked, 2);
    EXPECT_EQ(stats.shadowCacheTests, 1);
    EXPECT_EQ(stats.shadowCacheHits, 1);
    EXPECT_EQ(other.queries, 0);

    // The occluder moved away: the cache misses, the scene is walked and the cache cleared.
    blocker.solid = false;
    blocker.queries = 0;
    EXPECT_FALSE(shadeHit(hit, colour, ray));
    EXPECT_EQ(stats.shadowRays, 3);
    EXPECT_EQ(stats.shadowRaysBlocked, 2);
    EXPECT_EQ(stats.shadowCacheTests, 2);
    EXPECT_EQ(stats.shadowCacheHits, 1);
    EXPECT_EQ(blocker.queries, 2);  // once through the cache, once in the scene walk
    EXPECT_EQ(shadowCacheOf(&surface), nullptr);
    expectColour(colour, 0.1 + 0.6 * 0.5, 0.1 + 0.6 * 0.25, 0.1 + 0.6 * 1);
}

TEST_F(Shading, BlackLightAddsNothingAfterTheShadowRay) {
    light->colour = {1e-10, -1e-10, 0};
    Ray ray;
    const Hit hit = facingLight({1, 2, 3}, ray);
    Vector3 colour;
    EXPECT_FALSE(shadeHit(hit, colour, ray));
    expectColour(colour, 0.1, 0.1, 0.1);
    EXPECT_EQ(stats.shadowRays, 1);
}

TEST_F(Shading, PhongHighlightAndItsCutOff) {
    texture.diffuse = 0;
    texture.phong = 0.5;
    texture.ambient = {0, 0, 0};
    // Looking straight down on a floor: the mirror direction is straight up.
    surface.surfaceNormal = {0, 1, 0};
    Hit hit;
    hit.object = &surface;
    hit.point = {0, 0, 0};
    Ray ray;
    initRay(ray, {0, 10, 0}, {0, -1, 0});
    const Vector3 toLight = normalize(light->location);
    const double h = toLight.y;  // cosine between the mirror direction and the light

    Vector3 colour;
    shadeHit(hit, colour, ray);
    const double highlight = std::pow(h, 40) * 0.5;
    expectColour(colour, highlight, highlight, highlight);

    // A light nearly in the plane: h is tiny; a small phong_size still shows it, a large one not.
    light->location = {1000, 0.5, 0};
    const double tiny = normalize(light->location).y;
    ASSERT_LT(tiny, 0.0008);
    texture.phong_size = 59;
    shadeHit(hit, colour, ray);
    EXPECT_DOUBLE_EQ(colour.x, std::pow(tiny, 59) * 0.5);
    texture.phong_size = 60;
    shadeHit(hit, colour, ray);
    expectColour(colour, 0, 0, 0);
}

TEST_F(Shading, SpecularUsesTheUnclampedCosineAndColoursAreNotClamped) {
    texture.specular = 2;
    texture.diffuse = 1;
    texture.colour = {1, 1, 1};
    Ray ray;
    const Hit hit = facingLight({1, 2, 3}, ray);
    Vector3 colour;
    shadeHit(hit, colour, ray);
    // Normal and light coincide: diffuse 1, specular 2·1^20, ambient 0.1.
    EXPECT_NEAR(colour.x, 3.1, 1e-12);
    EXPECT_NEAR(colour.z, 3.1, 1e-12);
}

class Tracing : public Shading {
protected:
    void SetUp() override {
        Shading::SetUp();
        camera = {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
        createSampleGrid(5, 5);
        frameNumber = 0;
        texture.diffuse = 0;  // ambient only, so the colour tells which object was kept
    }
    void TearDown() override {
        Shading::TearDown();
        frameNumber = 0;
    }
};

TEST_F(Tracing, MissLeavesTheSampleBlack) {
    Sample& s = sampleGrid.at(2, 3);
    s.colour = {1, 1, 1};
    traceSample(s);
    EXPECT_EQ(s.hit.object, nullptr);
    EXPECT_EQ(s.hit.distance, 10000000);
    expectColour(s.colour, 0, 0, 0);
    EXPECT_EQ(s.stamp, 0);
    EXPECT_EQ(stats.primaryRays, 1);
    EXPECT_EQ(stats.primaryRaysBuilt, 1);
}

TEST_F(Tracing, EachSampleIsTracedOncePerFrame) {
    sceneList = &surface;
    Sample& s = sampleGrid.at(0, 0);
    traceSample(s);
    traceSample(s);
    EXPECT_EQ(stats.primaryRays, 1);
    EXPECT_EQ(surface.queries, 1);
    ++frameNumber;
    traceSample(s);
    EXPECT_EQ(stats.primaryRays, 2);
    EXPECT_EQ(s.stamp, 1);
}

TEST_F(Tracing, KeepsTheNearestHitOverTheSceneList) {
    Texture near;
    near.diffuse = 0;
    near.ambient = {0.5, 0.5, 0.5};
    blocker.texture = &near;
    surface.entryDistance = 4;
    blocker.entryDistance = 3;
    other.entryDistance = 3;  // a tie keeps the earlier object
    surface.next = &blocker;
    blocker.next = &other;
    sceneList = &surface;
    Sample& s = sampleGrid.at(1, 1);
    traceSample(s);
    EXPECT_EQ(s.hit.object, &blocker);
    EXPECT_EQ(s.hit.distance, 3);
    expectColour(s.colour, 0.5, 0.5, 0.5);
}

// The eye inside a solid sees where the view leaves it, from inside: the exit hit, with its
// normal turned towards the eye, and another object in front of that wall still hides it.
TEST_F(Tracing, EyeInsideASolidSeesTheWayOut) {
    surface.entryDistance = 0;
    surface.surfaceNormal = {0, 0, 1};  // the outward normal of the far wall points away from the eye
    texture.diffuse = 0.6;              // shaded, so a shadow ray shows that the wall faces the eye
    sceneList = &surface;
    Sample& s = sampleGrid.at(1, 1);
    traceSample(s);
    EXPECT_EQ(s.hit.object, &surface);
    EXPECT_EQ(s.hit.distance, 1);
    EXPECT_EQ(s.hit.inverted, 1);
    EXPECT_EQ(stats.shadowRays, 1);

    blocker.entryDistance = 0.5;
    surface.next = &blocker;
    Sample& t = sampleGrid.at(2, 1);
    traceSample(t);
    surface.next = nullptr;
    EXPECT_EQ(t.hit.object, &blocker);
    EXPECT_EQ(t.hit.distance, 0.5);
}

TEST_F(Tracing, PrimaryRayComesFromTheCamera) {
    // The sample's ray direction reaches the slab's hit point at distance 1.
    sceneList = &surface;
    Sample& s = sampleGrid.at(4, 1);
    traceSample(s);
    const Vector3 expected{4.0 / 5 - 0.5, 1.0 / 5 - 0.5, 1};
    EXPECT_EQ(s.hit.point, expected);
}

}  // namespace
