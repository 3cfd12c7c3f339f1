// "What is this?": one primary ray, built as the full trace builds it for that pixel, and the
// origins the scene store recorded for what it meets.
#include "app/pick.h"

#include <cstdio>

#include "objects/object.h"
#include "objects/scene_store.h"
#include "objects/union_hierarchy.h"
#include "render/camera.h"
#include "render/shading.h"
#include "trace/ray.h"

namespace {

// Hits farther than this are not seen, as in the full trace.
constexpr double FARTHER_THAN_ANY_HIT = 2e10;

bool findAncestors(Object* node, const Object* target, std::vector<const Object*>& ancestors);

// Whether target is object or below it; the CSG nodes on the way are appended, outermost first.
bool holds(Object* object, const Object* target, std::vector<const Object*>& ancestors) {
    if (object == target) return true;
    ancestors.push_back(object);
    // A regrouped union keeps the members of a run in its tree, not in a member list.
    if (object->methods == &UnionTreeMethods) {
        for (Object* member : static_cast<UnionTree*>(object)->members)
            if (holds(member, target, ancestors)) return true;
    } else if (object->children && findAncestors(object->children, target, ancestors)) {
        return true;
    }
    ancestors.pop_back();
    return false;
}

// The CSG nodes from the scene's top down to target, outermost first; false when target is
// not in the list that starts at node.
bool findAncestors(Object* node, const Object* target, std::vector<const Object*>& ancestors) {
    for (Object* object = node; object; object = object->next)
        if (holds(object, target, ancestors)) return true;
    return false;
}

std::string place(const SceneStore& store, int32_t path, int32_t line) {
    return store.paths[static_cast<size_t>(path)] + ":" + std::to_string(line);
}

std::string formatted(const char* format, double a, double b, double c, double d) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

}  // namespace

std::vector<std::string> pickLines(int x, int y, int width, int height) {
    // The picture's rows count from the top, the grid's from the bottom; the grid is one
    // sample larger than the picture in each direction.
    Ray ray;
    primaryRay(ray, x, height - 1 - y, width + 1, height + 1);
    Hit hit;
    hit.distance = FARTHER_THAN_ANY_HIT;
    for (Object* object = sceneList; object; object = object->next) {
        Hit visible;
        if (nearestVisibleHit(object, ray, visible) && visible.distance < hit.distance) hit = visible;
    }
    if (!hit.object) return {"nothing at " + std::to_string(x) + "," + std::to_string(y)};

    std::vector<std::string> lines;
    const SceneStore& store = *currentStore;
    if (hit.object->origin >= 0) {
        const Origin& origin = store.origins[static_cast<size_t>(hit.object->origin)];
        lines.push_back(place(store, origin.path, origin.line) + ": " + origin.word);
        for (int32_t link = origin.via; link >= 0; link = store.links[static_cast<size_t>(link)].outer) {
            const OriginLink& step = store.links[static_cast<size_t>(link)];
            lines.push_back("via " + place(store, step.path, step.line));
        }
    }
    // Nodes that no statement made (the regrouping of large unions, the union of the three
    // bundled files) are not shown.
    std::vector<const Object*> ancestors;
    findAncestors(sceneList, hit.object, ancestors);
    for (auto node = ancestors.rbegin(); node != ancestors.rend(); ++node) {
        if ((*node)->origin < 0) continue;
        const Origin& origin = store.origins[static_cast<size_t>((*node)->origin)];
        lines.push_back(std::string("in ") + origin.word + " at " + place(store, origin.path, origin.line));
    }
    const Vector3 p = hit.point;
    lines.push_back(formatted("point %g %g %g distance %g", p.x, p.y, p.z, length(p - ray.origin)));
    return lines;
}
