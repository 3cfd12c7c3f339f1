// Regrouped unions against the same scenes as written: every ray of a grid must find the
// same nearest span and nearest visible surface (tie winners included) and the same shadow
// answers, whether the hierarchy is walked in full or nearest first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

#include "objects/box.h"
#include "objects/csg.h"
#include "objects/object.h"
#include "objects/plane.h"
#include "objects/sphere.h"
#include "objects/union_hierarchy.h"
#include "scene/parser.h"

namespace {

bool isCsg(const Object* o) {
    return o->methods == &CsgUnion || o->methods == &CsgMerge || o->methods == &CsgIntersection ||
           o->methods == &CsgDifference;
}

// A CSG node's destroy releases nothing, so the tree is freed here, each object once.
void freeTree(Object* object) {
    while (object) {
        Object* next = object->next;
        if (isCsg(object)) {
            freeTree(object->children);
            delete object;
        } else if (object->methods == &UnionTreeMethods) {
            for (Object* member : static_cast<UnionTree*>(object)->members) freeTree(member);
            object->methods->destroy(object);
        } else {
            object->methods->destroy(object);
        }
        object = next;
    }
}

void collect(Object* object, std::vector<Object*>& all) {
    for (; object; object = object->next) {
        all.push_back(object);
        if (isCsg(object)) collect(object->children, all);
        if (object->methods == &UnionTreeMethods)
            for (Object* member : static_cast<UnionTree*>(object)->members) collect(member, all);
    }
}

Object* csg(const ObjectMethods* kind, const std::vector<Object*>& members) {
    Object* node = new_csg(kind);
    ++csgNodeCount;
    for (Object* member : members) add_member(node, member);
    compute_csg_bounds(node);
    return node;
}

std::vector<Object*> randomSpheres(int n, double extent, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> at(-extent, extent), radius(0.05, 0.3);
    std::vector<Object*> spheres;
    for (int i = 0; i < n; ++i) {
        const double x = at(rng), y = at(rng), z = at(rng);
        spheres.push_back(make_sphere(x, y, z, radius(rng)));
    }
    return spheres;
}

// Unit cubes on the integer lattice, sharing faces, edges and corners, written in a random
// order so that the winners of ties do not follow from the lattice's own order.
std::vector<Object*> latticeCubes(int nx, int ny, int nz) {
    std::vector<Vector3> corners;
    for (int k = 0; k < nz; ++k)
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) corners.push_back({double(i), double(j), double(k)});
    std::shuffle(corners.begin(), corners.end(), std::mt19937(12));
    std::vector<Object*> cubes;
    for (const Vector3& c : corners) cubes.push_back(make_box(c.x, c.y, c.z, c.x + 1, c.y + 1, c.z + 1));
    return cubes;
}

Object* sphereCloudWithPlanes() {
    std::vector<Object*> members = randomSpheres(1500, 4, 1);
    members.insert(members.begin() + 500, make_plane(0, 1, 0, 4.5));
    members.insert(members.begin() + 1000, make_plane(0, 0, -1, 30));
    return csg(&CsgUnion, members);
}

// Pairs of identical spheres and boxes with a common front face, in both written orders.
Object* coincidentSurfaces() {
    std::vector<Object*> members;
    for (int i = 0; i < 40; ++i) {
        const double x = i % 8 - 4, y = i / 8 - 2.5;
        Object* a = make_sphere(x, y, 0, 0.45);
        Object* b = make_sphere(x, y, 0, 0.45);
        Object* c = make_box(x - 0.4, y - 0.4, -2, x + 0.4, y + 0.4, -1);
        Object* d = make_box(x - 0.4, y - 0.4, -2, x + 0.1, y + 0.4, -0.5);
        for (Object* o : i % 2 ? std::vector<Object*>{a, b, c, d} : std::vector<Object*>{d, b, c, a})
            members.push_back(o);
    }
    return csg(&CsgUnion, members);
}

Object* touchingLattice() { return csg(&CsgUnion, latticeCubes(10, 8, 4)); }

Object* differenceOfUnions() {
    Object* holes = csg(&CsgUnion, randomSpheres(600, 3, 2));
    Object* slab = make_box(-3, -3, -1, 3, 3, 1);
    return csg(&CsgDifference, {csg(&CsgUnion, randomSpheres(300, 3.5, 3)), slab, holes});
}

Object* intersectionsOfUnions() {
    Object* first = csg(&CsgIntersection, {csg(&CsgUnion, randomSpheres(500, 3, 4)), make_box(-2, -2, -2, 2, 2, 2)});
    Object* second = csg(&CsgIntersection, {make_box(-2, -3, -3, 3, 2, 2), csg(&CsgUnion, randomSpheres(500, 3, 5))});
    return csg(&CsgUnion, {first, second});
}

Object* unionsInsideMerges() {
    std::vector<Object*> cubes = latticeCubes(6, 6, 2);
    Object* inner = csg(&CsgUnion, cubes);
    return csg(&CsgMerge, {csg(&CsgUnion, randomSpheres(400, 3, 6)), make_plane(0, -1, 0, 3.5), inner});
}

// Large unions among the members of a large union: trees walked inside the walk of a tree.
Object* unionsOfUnions() {
    std::vector<Object*> members = randomSpheres(30, 4, 13);
    for (unsigned seed = 14; seed < 17; ++seed) members.push_back(csg(&CsgUnion, randomSpheres(200, 2, seed)));
    return csg(&CsgUnion, members);
}

struct RayCase {
    Vector3 origin;
    Vector3 direction;
};

// A camera-like fan of rays toward a window of the scene.
std::vector<RayCase> fan(const Vector3& eye, double halfWidth, double depth, int columns, int rows) {
    std::vector<RayCase> rays;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const Vector3 target{-halfWidth + 2 * halfWidth * (c + 0.5) / columns,
                                 -halfWidth * 0.75 + 1.5 * halfWidth * (r + 0.5) / rows, depth};
            rays.push_back({eye, target - eye});
        }
    return rays;
}

// Rays along the lattice's edges and through its corners, where several cubes are met at
// exactly the same distance.
std::vector<RayCase> latticeRays() {
    std::vector<RayCase> rays;
    for (int y = 0; y <= 8; ++y)
        for (int x = 0; x <= 10; ++x) {
            rays.push_back({{double(x), double(y), -5}, {0, 0, 1}});
            rays.push_back({{x - 5.0, y - 5.0, -5}, {1, 1, 1}});
            rays.push_back({{x + 0.5, y - 5.0, 2}, {0, 1, 0}});
        }
    for (const RayCase& ray : fan({5, 4, -12}, 8, 4, 48, 36)) rays.push_back(ray);
    return rays;
}

std::vector<RayCase> sceneRays() {
    std::vector<RayCase> rays = fan({0.3, 0.7, -12}, 5, 0, 64, 48);
    for (const RayCase& ray : fan({-1, 8, 1}, 5, -3, 24, 18)) rays.push_back({ray.origin, {ray.direction.x, ray.direction.z, ray.direction.y}});
    return rays;
}

// What a ray sees, with objects named by their place in creation order.
struct Seen {
    int found = 0;
    int shadowed = 0;
    int entryObject = -1, exitObject = -1;
    Hit entry, exit;
    int visibleFound = 0;
    int visibleObject = -1;
    Hit visible;
    int blockedNear = 0, blockedFar = 0;  // a light 6 and 1e9 away
};

Seen look(Object* scene, int firstId, const RayCase& rayCase) {
    Ray ray;
    initRay(ray, rayCase.origin, rayCase.direction);
    Seen seen;
    Intersection nearest;
    seen.found = nearestHit(scene, ray, nearest);
    if (seen.found) {
        seen.entry = nearest.entry;
        seen.exit = nearest.exit;
        seen.entryObject = nearest.entry.object->id - firstId;
        seen.exitObject = nearest.exit.object->id - firstId;
    }
    Ray again;
    initRay(again, rayCase.origin, rayCase.direction);
    seen.shadowed = anyHit(scene, again) != 0;
    initRay(again, rayCase.origin, rayCase.direction);
    seen.visibleFound = nearestVisibleHit(scene, again, seen.visible);
    if (seen.visibleFound) seen.visibleObject = seen.visible.object->id - firstId;
    const Vector3 unit = normalize(rayCase.direction);
    initRay(again, rayCase.origin, unit);
    seen.blockedNear = spanBefore(scene, again, 6);
    initRay(again, rayCase.origin, unit);
    seen.blockedFar = spanBefore(scene, again, 1e9);
    return seen;
}

void expectSameHit(const Hit& a, const Hit& b, size_t ray) {
    EXPECT_EQ(a.distance, b.distance) << "ray " << ray;
    EXPECT_EQ(a.point, b.point) << "ray " << ray;
    EXPECT_EQ(a.index1, b.index1) << "ray " << ray;
    EXPECT_EQ(a.index2, b.index2) << "ray " << ray;
    EXPECT_EQ(a.value, b.value) << "ray " << ray;
    EXPECT_EQ(a.inverted, b.inverted) << "ray " << ray;
}

// Builds the scene twice, regroups the second, and compares what every ray sees.
void expectSameView(const std::function<Object*()>& build, const std::vector<RayCase>& rays, bool regrouped) {
    const int flatFirst = objectCount;
    Object* flat = build();
    const int groupedFirst = objectCount;
    Object* grouped = build();
    const int nodesBefore = csgNodeCount;
    regroupUnions(grouped);
    EXPECT_EQ(csgNodeCount > nodesBefore, regrouped);

    int hits = 0;
    for (size_t i = 0; i < rays.size(); ++i) {
        const Seen a = look(flat, flatFirst, rays[i]);
        const Seen b = look(grouped, groupedFirst, rays[i]);
        ASSERT_EQ(a.found, b.found) << "ray " << i;
        EXPECT_EQ(a.shadowed, b.shadowed) << "ray " << i;
        EXPECT_EQ(a.blockedNear, b.blockedNear) << "ray " << i;
        EXPECT_EQ(a.blockedFar, b.blockedFar) << "ray " << i;
        ASSERT_EQ(a.visibleFound, b.visibleFound) << "ray " << i;
        if (a.visibleFound) {
            EXPECT_EQ(a.visibleObject, b.visibleObject) << "ray " << i;
            expectSameHit(a.visible, b.visible, i);
        }
        if (!a.found) continue;
        ++hits;
        EXPECT_EQ(a.entryObject, b.entryObject) << "ray " << i;
        EXPECT_EQ(a.exitObject, b.exitObject) << "ray " << i;
        expectSameHit(a.entry, b.entry, i);
        expectSameHit(a.exit, b.exit, i);
    }
    EXPECT_GT(hits, 0);

    // Every object of the written scene is still in the tree, once.
    std::vector<Object*> before, after;
    collect(flat, before);
    collect(grouped, after);
    EXPECT_EQ(std::set<Object*>(after.begin(), after.end()).size(), after.size());
    EXPECT_EQ(after.size() - before.size(), static_cast<size_t>(csgNodeCount - nodesBefore));
    freeTree(flat);
    freeTree(grouped);
}

struct SceneCase {
    const char* name;
    Object* (*build)();
    std::vector<RayCase> (*rays)();
    bool regrouped;
};

const SceneCase sceneCases[] = {
    {"random spheres with planes among them", sphereCloudWithPlanes, sceneRays, true},
    {"identical spheres and common faces in both orders", coincidentSurfaces, sceneRays, true},
    {"cubes sharing faces, edges and corners", touchingLattice, latticeRays, true},
    {"difference whose members are large unions", differenceOfUnions, sceneRays, true},
    {"intersections with a large union first and second", intersectionsOfUnions, sceneRays, true},
    {"unions inside a merge", unionsInsideMerges, sceneRays, true},
    {"large unions among the members of a large union", unionsOfUnions, sceneRays, true},
    {"a union at the threshold",
     [] { return csg(&CsgUnion, randomSpheres(REGROUP_THRESHOLD, 3, 7)); }, sceneRays, false},
};

TEST(UnionHierarchyTest, RegroupedScenesShowTheSameHitsAsWritten) {
    for (const SceneCase& c : sceneCases) {
        SCOPED_TRACE(c.name);
        expectSameView(c.build, c.rays(), c.regrouped);
    }
}

// Every hierarchy of a scene, bit for bit: its members by place in creation order, its nodes,
// entries and depth (FNV-1a).
std::uint64_t hierarchyPrint(const Object* object, int firstId, std::uint64_t h = 1469598103934665603ULL) {
    const auto mix = [&h](const void* data, size_t size) {
        for (size_t i = 0; i < size; ++i) h = (h ^ static_cast<const unsigned char*>(data)[i]) * 1099511628211ULL;
    };
    for (; object; object = object->next) {
        if (object->methods != &UnionTreeMethods) {
            h = hierarchyPrint(object->children, firstId, h);
            continue;
        }
        const auto* tree = static_cast<const UnionTree*>(object);
        for (const Object* member : tree->members) {
            const int place = member->id - firstId;
            mix(&place, sizeof place);
        }
        for (const TreeNode& node : tree->nodes) {
            mix(&node.first, sizeof node.first);
            mix(&node.count, sizeof node.count);
        }
        for (const TreeEntry& entry : tree->entries) {
            mix(&entry.lower, sizeof entry.lower);
            mix(&entry.upper, sizeof entry.upper);
            mix(&entry.index, sizeof entry.index);
        }
        mix(&tree->depth, sizeof tree->depth);
        for (const Object* member : tree->members) h = hierarchyPrint(member->children, firstId, h);
    }
    return h;
}

// The hierarchies are part of what a picture's counters come from: their building may get
// faster, never different. Prints taken from the first implementation.
TEST(UnionHierarchyTest, HierarchiesStayAsFirstBuilt) {
    const struct {
        const char* name;
        Object* (*build)();
        std::uint64_t print;
    } cases[] = {
        {"random spheres with planes among them", sphereCloudWithPlanes, 145820352650868830u},
        {"identical spheres and common faces", coincidentSurfaces, 14903609578526204288u},
        {"cubes sharing faces, edges and corners", touchingLattice, 10859332173478632721u},
        {"large unions among the members of a large union", unionsOfUnions, 5340369473395027903u},
        {"a pile of spheres all touching, kept as written",
         [] {
             std::vector<Object*> pile;
             for (int i = 0; i < 300; ++i) pile.push_back(make_sphere(1, 2, 3, 0.1 + 0.001 * i));
             return csg(&CsgUnion, pile);
         },
         18210297534030428978u},
        {"a cloud large enough for two threads, with touching spheres",
         [] {
             Object* cloud = new_csg(&CsgUnion);
             ++csgNodeCount;
             Object* last = nullptr;
             for (Object* sphere : randomSpheres(120000, 12, 17)) last = add_member_after(cloud, last, sphere);
             compute_csg_bounds(cloud);
             return cloud;
         },
         7599532700899348032u},
    };
    for (const auto& c : cases) {
        const int firstId = objectCount;
        Object* scene = c.build();
        regroupUnions(scene);
        EXPECT_EQ(hierarchyPrint(scene, firstId), c.print) << c.name;
        freeTree(scene);
    }
}

// A merge is regrouped inside but stays one node, and the second member of an intersection
// keeps its written order: it narrows each span by whichever of its spans comes first. A
// regrouped union holds one tree of its members.
TEST(UnionHierarchyTest, OnlyUnionsWhoseOrderIsFreeAreRegrouped) {
    Object* second = csg(&CsgUnion, randomSpheres(100, 3, 8));
    Object* first = csg(&CsgUnion, randomSpheres(100, 3, 9));
    Object* intersection = csg(&CsgIntersection, {first, second});
    Object* merge = csg(&CsgMerge, randomSpheres(100, 3, 10));
    Object* root = csg(&CsgUnion, {intersection, merge});
    regroupUnions(root);
    const auto memberCount = [](const Object* node) {
        int n = 0;
        for (const Object* m = node->children; m; m = m->next) ++n;
        return n;
    };
    ASSERT_EQ(memberCount(first), 1);
    ASSERT_EQ(first->children->methods, &UnionTreeMethods);
    EXPECT_EQ(static_cast<UnionTree*>(first->children)->members.size(), 100u);
    EXPECT_EQ(memberCount(second), 100);
    EXPECT_EQ(memberCount(merge), 100);
    freeTree(root);
}

// A scene file of 100,000 spheres loads, regroups and traces; run under the sanitizers too.
TEST(UnionHierarchyTest, HundredThousandMembersLoadRegroupAndTrace) {
    char directory[] = "/tmp/union_hierarchy_XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    const std::string path = std::string(directory) + "/spheres.pov";
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> at(-3, 3);
    std::fputs("union {\n", file);
    for (int i = 0; i < 100000; ++i) {
        const double x = at(rng), y = at(rng), z = at(rng);
        std::fprintf(file, "sphere { <%.6f, %.6f, %.6f>, 0.01 }\n", x, y, z);
    }
    std::fputs("}\n", file);
    std::fclose(file);
    const int firstId = objectCount;
    Object* scene = parse_scene_file(path.c_str());
    std::remove(path.c_str());
    rmdir(directory);
    ASSERT_NE(scene, nullptr);

    const std::vector<RayCase> rays = fan({0.1, 0.2, -10}, 3, 0, 8, 6);
    std::vector<Seen> flat;
    for (const RayCase& ray : rays) flat.push_back(look(scene, firstId, ray));
    regroupUnions(scene);
    int hits = 0;
    for (size_t i = 0; i < rays.size(); ++i) {
        const Seen seen = look(scene, firstId, rays[i]);
        hits += seen.found;
        ASSERT_EQ(seen.found, flat[i].found) << "ray " << i;
        EXPECT_EQ(seen.entryObject, flat[i].entryObject) << "ray " << i;
        EXPECT_EQ(seen.entry.distance, flat[i].entry.distance) << "ray " << i;
        EXPECT_EQ(seen.shadowed, flat[i].shadowed) << "ray " << i;
        EXPECT_EQ(seen.visibleObject, flat[i].visibleObject) << "ray " << i;
        EXPECT_EQ(seen.blockedFar, flat[i].blockedFar) << "ray " << i;
    }
    EXPECT_GT(hits, 0);
    freeTree(scene);
}

// Region and sphere tests per primary and shadow ray over a camera-like fan into a cloud of n
// small spheres, regrouped, through the queries the tracer uses.
double testsPerRay(int n) {
    std::mt19937 rng(21);
    std::uniform_real_distribution<double> x(-3, 3), y(-2.25, 2.25), z(-2, 2);
    Object* cloud = new_csg(&CsgUnion);
    ++csgNodeCount;
    Object* last = nullptr;
    for (int i = 0; i < n; ++i) {
        const double cx = x(rng), cy = y(rng), cz = z(rng);
        last = add_member_after(cloud, last, make_sphere(cx, cy, cz, 0.02));
    }
    compute_csg_bounds(cloud);
    regroupUnions(cloud);
    const Vector3 light{200, 500, 200};
    const Statistics before = stats;
    int rays = 0;
    for (const RayCase& rayCase : fan({0, 0, -6}, 3.2, 0, 160, 120)) {
        Ray ray;
        initRay(ray, rayCase.origin, rayCase.direction);
        Hit hit;
        ++rays;
        if (!nearestVisibleHit(cloud, ray, hit)) continue;
        initRay(ray, hit.point, normalize(light - hit.point));
        spanBefore(cloud, ray, length(light - hit.point));
        ++rays;
    }
    const double tests = static_cast<double>(stats.regionTests - before.regionTests) +
                         static_cast<double>(stats.sphereTests - before.sphereTests);
    freeTree(cloud);
    return tests / rays;
}

// A ray that finds a near sphere does not look further, and a shadow ray stops at the first
// sphere in its way: ten times the spheres cost about as many tests per ray.
TEST(UnionHierarchyTest, TestsPerRayBarelyGrowWithTheCloud) {
    const double tenThousand = testsPerRay(10000), hundredThousand = testsPerRay(100000);
    EXPECT_LE(hundredThousand, 1.5 * tenThousand) << tenThousand << " and " << hundredThousand << " tests per ray";
}

}  // namespace
