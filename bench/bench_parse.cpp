// Times the reading of one scene file alone (processor and wall time, peak memory) and prints a
// fingerprint of everything it loaded, so that two builds can be checked for the same scene.
//
// usage: bench_parse FILE [--rounds N]
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "objects/box.h"
#include "objects/cone.h"
#include "objects/csg.h"
#include "objects/object.h"
#include "objects/plane.h"
#include "objects/prism.h"
#include "objects/scene_store.h"
#include "objects/sphere.h"
#include "objects/texture.h"
#include "objects/torus.h"
#include "scene/parser.h"
#include "scene/warnings.h"

namespace {

double processorMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double wallMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// FNV-1a over the values of the loaded records, field by field (no padding, no addresses).
struct Hash {
    std::uint64_t h = 1469598103934665603ULL;
    void bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ULL;
    }
    template <class T>
    void value(const T& v) { bytes(&v, sizeof v); }
    void vector(const Vector3& v) { value(v.x), value(v.y), value(v.z); }
    void text(const char* s) { bytes(s, std::strlen(s) + 1); }
};

int typeOf(const ObjectMethods* m) {
    const ObjectMethods* tables[] = {&SphereMethods, &TransformedSphereMethods, &BoxMethods, &ConeMethods,
                                     &CylinderMethods, &PlaneMethods, &TorusMethods, &PrismMethods,
                                     &CsgUnion, &CsgMerge, &CsgIntersection, &CsgDifference};
    for (int i = 0; i < static_cast<int>(sizeof tables / sizeof *tables); ++i)
        if (tables[i] == m) return i;
    return -1;
}

void hashTexture(Hash& hash, const Texture* t) {
    if (!t || t == defaultTexture()) return hash.value(t ? 1 : 0);
    hash.value(2);
    for (double d : {t->diffuse, t->diffuseExponent, t->specular, t->specularExponent, t->phong, t->phong_size,
                     t->noise, t->metalness, t->reflection, t->transmit, t->ior})
        hash.value(d);
    hash.vector(t->colour), hash.vector(t->ambient), hash.vector(t->checkerColour);
    hash.value(static_cast<int>(t->pattern));
}

void hashObject(Hash& hash, Object* o) {
    const int type = typeOf(o->methods);
    hash.value(type), hash.value(o->id);
    hash.value(o->children ? o->children->id : -1), hash.value(o->next ? o->next->id : -1);
    hash.vector(o->bounds.lower), hash.vector(o->bounds.upper), hash.vector(o->bounds.extent);
    hash.value(o->light == sceneLight());
    if (o->transformation)
        for (const Matrix4* m : {&o->transformation->forward, &o->transformation->inverse}) hash.value(m->m);
    hashTexture(hash, o->texture);
    hash.value(o->origin);
    if (type == 0 || type == 1) {
        const auto* s = static_cast<Sphere*>(o);
        hash.vector(s->center), hash.value(s->radius), hash.value(s->radius_squared);
    } else if (type == 2) {
        const auto* b = static_cast<Box*>(o);
        hash.vector(b->corner_min), hash.vector(b->corner_max);
    } else if (type == 3 || type == 4) {
        const auto* c = static_cast<Cone*>(o);
        hash.vector(c->apex_point), hash.vector(c->base_point);
        hash.value(c->apex_radius), hash.value(c->base_radius), hash.value(c->small_end);
    } else if (type == 5) {
        const auto* p = static_cast<Plane*>(o);
        hash.vector(p->normal), hash.value(p->offset);
    } else if (type == 6) {
        const auto* t = static_cast<Torus*>(o);
        hash.value(t->major_radius), hash.value(t->minor_radius);
    } else if (type == 7) {
        const auto* p = static_cast<Prism*>(o);
        hash.value(p->outline_count), hash.value(p->sweep), hash.value(p->height1), hash.value(p->height2);
        hash.value(p->sweep_box), hash.value(p->outline_box);
        if (p->segments)
            for (const Segment& s : p->segments->segments) hash.value(s);
    }
}

std::uint64_t fingerprint(Object* root) {
    Hash hash;
    hash.value(root ? root->id : -1);
    const SceneStore& store = *currentStore;
    for (Object* o : store.objects) hashObject(hash, o);
    for (const Origin& origin : store.origins) {
        hash.text(origin.word);
        hash.value(origin.path), hash.value(origin.line), hash.value(origin.via);
    }
    for (const OriginLink& link : store.links) hash.value(link.path), hash.value(link.line), hash.value(link.outer);
    for (const std::string& path : store.paths) hash.text(path.c_str());
    hash.value(objectCount), hash.value(primitiveCount), hash.value(csgNodeCount);
    const SceneView& v = sceneView;
    hash.value(v.hasCamera), hash.vector(v.cameraLocation), hash.vector(v.cameraLookAt);
    hash.value(v.hasLight), hash.vector(v.lightLocation), hash.vector(v.lightColour);
    for (const Light& light : v.lights) hash.vector(light.colour), hash.vector(light.location);
    hash.value(v.hasBackground), hash.vector(v.background);
    return hash.h;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [--rounds N]\n", argv[0]);
        return 2;
    }
    int rounds = 1;
    for (int i = 2; i < argc; ++i)
        if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc) rounds = std::atoi(argv[++i]);
    Object* root = nullptr;
    for (int round = 0; round < rounds; ++round) {
        if (round > 0) {
            freeScene(*currentStore);
            objectCount = primitiveCount = csgNodeCount = 0;
        }
        const double processorStart = processorMs(), wallStart = wallMs();
        root = parse_scene_file(argv[1]);
        const double processor = processorMs() - processorStart, wall = wallMs() - wallStart;
        std::printf("%s: load %.1f ms processor, %.1f ms wall, peak memory %ld kB\n", argv[1], processor, wall,
                    peakKilobytes());
    }
    std::printf("  %d objects, scene fingerprint %016llx\n", objectCount,
                static_cast<unsigned long long>(fingerprint(root)));
    return 0;
}
