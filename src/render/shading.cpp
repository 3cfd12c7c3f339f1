// Tracing rays against the scene and shading what they meet: every point light behind its own
// shadow ray and its own per-object, per-thread cache of the last opaque occluder, then the
// colours seen along the mirrored and the refracted ray.
#include "render/shading.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

#include "base/statistics.h"
#include "objects/object.h"
#include "objects/union_hierarchy.h"
#include "render/camera.h"
#include "render/lights.h"
#include "render/pattern.h"
#include "render/sample_grid.h"

Object* sceneList = nullptr;
int traceDepth = DEFAULT_TRACE_DEPTH;
Vector3 backgroundColour{0, 0, 0};

// Larger than any ray can reach, so the first hit always replaces it.
static constexpr double FARTHER_THAN_ANY_HIT = 2e10;
// Below this cosine a highlight of a high phong_size cannot show.
static constexpr double PHONG_CUTOFF = 0.0008;
static constexpr double PHONG_SIZE_CUTOFF = 60;

// What each thread knows of the scene it shades. The last opaque occluder of every object's
// shadow rays towards every light, at id · light count + light: each thread keeps its own, so
// threads never write to the scene.
static thread_local std::vector<Object*> shadowCaches;
// The scene's lights; none: each object's own light link.
static thread_local const Light* lightList = nullptr;
static thread_local int lightListSize = 0;
// Whether some surface of the scene lets light through; until one does, shadow rays are
// tested exactly as in a scene of opaque solids.
static thread_local bool sceneTransmits = false;
// What a thread knows is of one scene: a thread that learned of an older scene forgets it, and
// a thread that has learned nothing yet learns of the scene at its first shaded point.
// Scenes and lights are replaced between frames only, while the workers wait.
static int sceneGeneration = 0;
static thread_local int cachedGeneration = -1;

void forgetShadowCaches() { ++sceneGeneration; }

static bool anyTransmits(const Object* list) {
    for (const Object* object = list; object; object = object->next)
        if ((object->texture && object->texture->transmit > 0) || anyTransmits(object->children)) return true;
    return false;
}

static void catchUpWithScene() {
    if (cachedGeneration == sceneGeneration) return;
    shadowCaches.clear();
    lightList = sceneLights().data();
    lightListSize = static_cast<int>(sceneLights().size());
    sceneTransmits = anyTransmits(sceneList);
    cachedGeneration = sceneGeneration;
}

// How many lights each object is lit by; after catchUpWithScene.
static int lightCount() { return lightListSize == 0 ? 1 : lightListSize; }

// After catchUpWithScene.
static Object*& shadowCache(const Object* object, int light) {
    const int lights = lightCount();
    const auto index = static_cast<std::size_t>(object->id) * lights + light;
    if (index >= shadowCaches.size())
        shadowCaches.resize(std::max(index + 1, static_cast<std::size_t>(objectCount) * lights));
    return shadowCaches[index];
}

Object* shadowCacheOf(const Object* object, int light) {
    catchUpWithScene();
    return shadowCache(object, light);
}

static Vector3 surfaceColour(const Hit& hit, const Ray& ray, bool leaving, int bounces);

Vector3 tracePrimaryRay(const Ray& ray, Hit& hit) {
    hit.distance = FARTHER_THAN_ANY_HIT;
    hit.object = nullptr;
    for (Object* object = sceneList; object; object = object->next) {
        Hit visible;
        if (nearestVisibleHit(object, ray, visible) && visible.distance < hit.distance) hit = visible;
    }

    Vector3 colour = backgroundColour;
    // Primary rays start outside every solid: the first surface met is taken as a way in.
    if (!hit.object)
        hit.distance = MAX_RAY_DISTANCE;
    else
        colour = surfaceColour(hit, ray, false, traceDepth);
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

// Light crossing the surface at crossing is dimmed and tinted by it; false when it is opaque.
static bool passThrough(const Hit& crossing, Vector3& filter) {
    const Texture& texture = *crossing.object->texture;
    if (texture.transmit <= 0) return false;
    filter = multiply(filter, texture.transmit * pigmentAt(texture, crossing));
    return true;
}

// spanBefore for scenes with surfaces that let light through: of the spans between the point
// and the light, only one that crosses an opaque surface ahead of the point blocks it; the
// others multiply filter by every surface they cross.
static bool opaqueSpanBefore(Object* occluder, const Ray& ray, double distance, Vector3& filter) {
    IntersectionStack* stack = acquireStack();
    bool blocked = false;
    if (occluder->methods->intersect(occluder, ray, stack)) {
        for (int i = 0; i < stack->count && !blocked; ++i) {
            const Intersection& span = stack->records[i];
            if (!spanBlocks(span, distance)) continue;
            const double entry = span.entry.distance, exit = span.exit.distance;
            blocked = (entry > MIN_HIT_DISTANCE && !passThrough(span.entry, filter)) ||
                      (exit > 0 && exit < distance && !passThrough(span.exit, filter));
        }
    }
    stack->count = 0;
    releaseStack(stack);
    return blocked;
}

static bool blocks(Object* occluder, const Ray& ray, double distance, Vector3& filter) {
    return sceneTransmits ? opaqueSpanBefore(occluder, ray, distance, filter) : spanBefore(occluder, ray, distance);
}

// True when something opaque lies between the hit on object and the light, lightDistance away
// along the shadow ray. What lies beyond the light, or a solid around both the point and the
// light, does not block it; what lets light through writes its tint to filter.
static bool lightBlocked(Object* object, int light, const Ray& shadowRay, double lightDistance, Vector3& filter) {
    ++stats.shadowRays;
    Object*& cache = shadowCache(object, light);
    if (cache) {
        ++stats.shadowCacheTests;
        Vector3 unused{1, 1, 1};
        if (blocks(cache, shadowRay, lightDistance, unused)) {
            ++stats.shadowRaysBlocked;
            ++stats.shadowCacheHits;
            return true;
        }
    }
    for (Object* occluder = sceneList; occluder; occluder = occluder->next) {
        if (blocks(occluder, shadowRay, lightDistance, filter)) {
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

static Vector3 mirrored(const Vector3& d, const Vector3& normal) { return d - 2 * dot(d, normal) * normal; }

// A hit ready for its light terms: normal facing the viewer, pigment at the point.
struct LitPoint {
    const Hit& hit;
    const Texture& texture;
    const Vector3& normal;
    const Vector3& direction;  // of the ray that met the point, not normalised
    Vector3 pigment;
};

// Adds the diffuse, phong and specular terms of one light; true when an opaque object blocks it.
static bool addLight(const LitPoint& p, const Light& light, int index, Vector3& colour) {
    const Vector3 offset = light.location - p.hit.point;
    const Vector3 toLight = normalize(offset);
    Ray shadowRay;
    initRay(shadowRay, p.hit.point, toLight);
    Vector3 filter{1, 1, 1};
    if (lightBlocked(p.hit.object, index, shadowRay, length(offset), filter)) return true;
    if (negligible(light.colour)) return false;
    const Vector3 lightColour = multiply(light.colour, filter);

    const Texture& texture = p.texture;
    if (texture.diffuse > 0) {
        double k = dot(p.normal, toLight);
        if (k < 0) k = 0;
        k *= texture.diffuse;
        colour += multiply(k * p.pigment, lightColour);
    }
    if (texture.phong > 0) {
        const Vector3 reflected = mirrored(p.direction, p.normal);
        const double h = dot(reflected, toLight);
        if (h > 0 && (texture.phong_size < PHONG_SIZE_CUTOFF || h > PHONG_CUTOFF))
            colour += std::pow(h, texture.phong_size) * texture.phong * lightColour;
    }
    if (texture.specular > 0)
        colour += std::pow(dot(toLight, p.normal), texture.specularExponent) * texture.specular * lightColour;
    return false;
}

// Ambient, then every light's terms where the surface faces the ray and has any to add.
static inline bool shadeSurface(const Hit& hit, const Vector3& normal, const Ray& ray, Vector3& colour) {
    Object* object = hit.object;
    const Texture& texture = *object->texture;
    colour = texture.ambient;
    if (-dot(normal, ray.direction) < SMALL_EPSILON) return false;  // seen from behind: ambient only
    if (texture.diffuse == 0 && texture.specular == 0 && texture.phong == 0) return false;

    catchUpWithScene();
    const LitPoint point{hit, texture, normal, ray.direction, pigmentAt(texture, hit)};
    if (lightListSize == 0) return addLight(point, *object->light, 0, colour);
    bool blocked = false;
    for (int i = 0; i < lightListSize; ++i) blocked |= addLight(point, lightList[i], i, colour);
    return blocked;
}

static Vector3 facingNormal(const Hit& hit) {
    Vector3 normal;
    hit.object->methods->normal(&normal, hit);
    return hit.inverted ? -normal : normal;
}

bool shadeHit(const Hit& hit, Vector3& colour, const Ray& ray) {
    if (!hit.object->light) return false;
    return shadeSurface(hit, facingNormal(hit), ray, colour);
}

// The nearest surface a secondary ray meets beyond MIN_HIT_DISTANCE, so that the surface it
// starts on does not meet it again: a span's entry, or its exit when the ray starts inside it
// (leaving then true, and the normal turned to face the ray). False when it meets nothing.
static bool nearestSurfaceAhead(const Ray& ray, Hit& hit, bool& leaving) {
    double nearest = NO_LIMIT;
    for (Object* object = sceneList; object; object = object->next) {
        IntersectionStack* stack = acquireStack();
        if (object->methods->intersect(object, ray, stack)) {
            while (stack->count > 0) {
                const Intersection& span = stack->records[--stack->count];
                const bool inside = span.entry.distance <= MIN_HIT_DISTANCE;
                const Hit& seen = inside ? span.exit : span.entry;
                if (seen.distance > MIN_HIT_DISTANCE && seen.distance < nearest) {
                    hit = seen;
                    nearest = seen.distance;
                    leaving = inside;
                }
            }
        }
        releaseStack(stack);
    }
    if (nearest == NO_LIMIT) return false;
    if (leaving) hit.inverted ^= 1;
    return true;
}

static Vector3 traceSecondaryRay(const Vector3& origin, const Vector3& direction, int bounces) {
    Ray ray;
    initRay(ray, origin, direction);
    Hit hit;
    bool leaving = false;
    if (!nearestSurfaceAhead(ray, hit, leaving)) return backgroundColour;
    return surfaceColour(hit, ray, leaving, bounces);
}

// Snell's law for a ray along d meeting a surface whose normal faces it, going from a medium
// into one whose index is 1/eta times as high; the result keeps the length of d. False where
// the ray cannot leave (total internal reflection).
static bool refracted(const Vector3& d, const Vector3& normal, double eta, Vector3& out) {
    const double size = length(d);
    const Vector3 unit = d * (1 / size);
    const double cosIn = -dot(unit, normal);
    const double k = 1 - eta * eta * (1 - cosIn * cosIn);
    if (!(k >= 0)) return false;  // also NaN: an extreme ior meeting the surface head-on
    out = (eta * unit + (eta * cosIn - std::sqrt(k)) * normal) * size;
    return true;
}

// What the light that passes the surface shows: the ray goes on bent by the solid's ior (the
// outside is taken as empty space), or is mirrored where it cannot leave.
static Vector3 transmittedColour(const Hit& hit, const Ray& ray, const Vector3& normal, bool leaving,
                                 int bounces) {
    const Vector3& d = ray.direction;
    const double ior = hit.object->texture->ior;
    if (ior == 1) {
        ++stats.refractedRays;
        return traceSecondaryRay(hit.point, d, bounces);
    }
    const Vector3 facing = dot(d, normal) > 0 ? -normal : normal;
    Vector3 bent;
    if (refracted(d, facing, leaving ? ior : 1 / ior, bent)) {
        ++stats.refractedRays;
        return traceSecondaryRay(hit.point, bent, bounces);
    }
    ++stats.reflectedRays;
    return traceSecondaryRay(hit.point, mirrored(d, facing), bounces);
}

// Adds to the surface's own colour what the mirrored and the refracted ray see:
// (1 − transmit) · own + reflection · mirrored + transmit · pigment · refracted. bounces is how
// many more secondary rays the path may take.
static Vector3 withSecondaryRays(const Hit& hit, const Ray& ray, const Vector3& normal, bool leaving, int bounces,
                                 const Vector3& own) {
    const Texture& texture = *hit.object->texture;
    Vector3 colour = (1 - texture.transmit) * own;
    if (bounces <= 0) return colour;
    if (texture.reflection != 0) {
        ++stats.reflectedRays;
        colour += texture.reflection * traceSecondaryRay(hit.point, mirrored(ray.direction, normal), bounces - 1);
    }
    if (texture.transmit != 0)
        colour += texture.transmit *
                  multiply(pigmentAt(texture, hit), transmittedColour(hit, ray, normal, leaving, bounces - 1));
    return colour;
}

static Vector3 surfaceColour(const Hit& hit, const Ray& ray, bool leaving, int bounces) {
    Vector3 colour{0, 0, 0};
    if (!hit.object->light) return colour;
    const Vector3 normal = facingNormal(hit);
    shadeSurface(hit, normal, ray, colour);
    const Texture& texture = *hit.object->texture;
    if (texture.reflection == 0 && texture.transmit == 0) return colour;
    return withSecondaryRays(hit, ray, normal, leaving, bounces, colour);
}
