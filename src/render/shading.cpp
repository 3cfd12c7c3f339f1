// Tracing a grid sample against the scene and shading its nearest hit with one point
// light, one shadow ray and a per-object, per-thread cache of the last occluder.
#include "render/shading.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

#include "base/statistics.h"
#include "objects/object.h"
#include "render/camera.h"
#include "render/sample_grid.h"

Object* sceneList = nullptr;
int traceDepth = DEFAULT_TRACE_DEPTH;

// Larger than any ray can reach, so the first hit always replaces it.
static constexpr double FARTHER_THAN_ANY_HIT = 2e10;
// Below this cosine a highlight of a high phong_size cannot show.
static constexpr double PHONG_CUTOFF = 0.0008;
static constexpr double PHONG_SIZE_CUTOFF = 60;

// The last occluder of every object's shadow rays, by object id. Each thread keeps its own,
// so threads never write to the scene.
static thread_local std::vector<Object*> shadowCaches;
// Caches name objects of one scene: a thread whose caches are of an older scene drops them.
// Scenes are replaced between frames only, while the workers wait.
static int sceneGeneration = 0;
static thread_local int cachedGeneration = 0;

void forgetShadowCaches() { ++sceneGeneration; }

static Object*& shadowCache(const Object* object) {
    if (cachedGeneration != sceneGeneration) {
        shadowCaches.clear();
        cachedGeneration = sceneGeneration;
    }
    const auto id = static_cast<std::size_t>(object->id);
    if (id >= shadowCaches.size()) shadowCaches.resize(std::max(id + 1, static_cast<std::size_t>(objectCount)));
    return shadowCaches[id];
}

Object* shadowCacheOf(const Object* object) { return shadowCache(object); }

Vector3 tracePrimaryRay(const Ray& ray, Hit& hit) {
    hit.distance = FARTHER_THAN_ANY_HIT;
    hit.object = nullptr;
    for (Object* object = sceneList; object; object = object->next) {
        Hit visible;
        if (nearestVisibleHit(object, ray, visible) && visible.distance < hit.distance) hit = visible;
    }

    Vector3 colour{0, 0, 0};
    if (!hit.object)
        hit.distance = MAX_RAY_DISTANCE;
    else
        shadeHit(hit, colour, ray);
    ++stats.primaryRays;
    return colour;
}

static void traceNow(Sample& sample) {
    Ray ray;
    primaryRay(ray, sample.column, sample.row, sampleGrid.width, sampleGrid.height);
    ++stats.primaryRaysBuilt;
    sample.colour = tracePrimaryRay(ray, sample.hit);
}

void traceSample(Sample& sample) {
    const int frame = frameNumber;
    int seen = sample.stamp.load(std::memory_order_acquire);
    for (;;) {
        if (seen == frame) return;
        if (seen == SAMPLE_BEING_TRACED) {  // by another thread: a few microseconds at most
            std::this_thread::yield();
            seen = sample.stamp.load(std::memory_order_acquire);
        } else if (sample.stamp.compare_exchange_weak(seen, SAMPLE_BEING_TRACED, std::memory_order_acquire)) {
            break;
        }
    }
    traceNow(sample);
    sample.stamp.store(frame, std::memory_order_release);
}

// True when something lies between the hit on object and the light, lightDistance away along
// the shadow ray. What lies beyond the light, or a solid around both the point and the light,
// does not block it.
static bool lightBlocked(Object* object, const Ray& shadowRay, double lightDistance) {
    ++stats.shadowRays;
    Object*& cache = shadowCache(object);
    if (cache) {
        ++stats.shadowCacheTests;
        if (spanBefore(cache, shadowRay, lightDistance)) {
            ++stats.shadowRaysBlocked;
            ++stats.shadowCacheHits;
            return true;
        }
    }
    for (Object* occluder = sceneList; occluder; occluder = occluder->next) {
        if (spanBefore(occluder, shadowRay, lightDistance)) {
            cache = occluder;
            ++stats.shadowRaysBlocked;
            return true;
        }
    }
    cache = nullptr;
    return false;
}

static bool negligible(const Vector3& c) {
    return std::fabs(c.x) <= SMALL_EPSILON && std::fabs(c.y) <= SMALL_EPSILON && std::fabs(c.z) <= SMALL_EPSILON;
}

bool shadeHit(const Hit& hit, Vector3& colour, const Ray& ray) {
    Object* object = hit.object;
    if (!object->light) return false;
    const Texture& texture = *object->texture;
    colour = texture.ambient;

    Vector3 normal;
    object->methods->normal(&normal, hit);
    if (hit.inverted) normal = -normal;
    const Vector3& d = ray.direction;
    if (-dot(normal, d) < SMALL_EPSILON) return false;  // seen from behind: ambient only
    if (texture.diffuse == 0 && texture.specular == 0 && texture.phong == 0) return false;

    const Light& light = *object->light;
    const Vector3 offset = light.location - hit.point;
    const Vector3 toLight = normalize(offset);
    Ray shadowRay;
    initRay(shadowRay, hit.point, toLight);
    if (lightBlocked(object, shadowRay, length(offset))) return true;
    if (negligible(light.colour)) return false;

    if (texture.diffuse > 0) {
        double k = dot(normal, toLight);
        if (k < 0) k = 0;
        k *= texture.diffuse;
        colour += multiply(k * texture.colour, light.colour);
    }
    if (texture.phong > 0) {
        const Vector3 reflected = d - 2 * dot(d, normal) * normal;
        const double h = dot(reflected, toLight);
        if (h > 0 && (texture.phong_size < PHONG_SIZE_CUTOFF || h > PHONG_CUTOFF))
            colour += std::pow(h, texture.phong_size) * texture.phong * light.colour;
    }
    if (texture.specular > 0)
        colour += std::pow(dot(toLight, normal), texture.specularExponent) * texture.specular * light.colour;
    return false;
}
