// A bounding-volume hierarchy over the members of large unions, built from ordinary union
// nodes, so the tracer and its counters need nothing new.
#include "objects/union_hierarchy.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <queue>
#include <utility>
#include <vector>

#include "objects/csg.h"
#include "objects/object.h"

namespace {

// Past this many touching pairs per member (a cloud of members all overlapping one another)
// the members keep their written order: finding a better one would cost more than it saves.
constexpr std::size_t MAX_TOUCHING_PAIRS_PER_MEMBER = 64;
constexpr int SPLIT_BINS = 16;  // per axis, where a split of the members is looked for

struct Box {
    Vector3 lower;
    Vector3 upper;
};

Box box_of(const Object* object) { return {object->bounds.lower, object->bounds.upper}; }

Box enclosing(const Box& a, const Box& b) {
    return {{std::min(a.lower.x, b.lower.x), std::min(a.lower.y, b.lower.y), std::min(a.lower.z, b.lower.z)},
            {std::max(a.upper.x, b.upper.x), std::max(a.upper.y, b.upper.y), std::max(a.upper.z, b.upper.z)}};
}

// Half the surface area: the chance that a ray meeting a parent box meets this one scales with it.
double half_area(const Box& box) {
    const Vector3 e = box.upper - box.lower;
    return e.x * e.y + e.y * e.z + e.z * e.x;
}

bool overlapping(const Box& a, const Box& b) {
    return a.lower.x <= b.upper.x && b.lower.x <= a.upper.x && a.lower.y <= b.upper.y && b.lower.y <= a.upper.y &&
           a.lower.z <= b.upper.z && b.lower.z <= a.upper.z;
}

Vector3 centre(const Box& box) { return 0.5 * (box.lower + box.upper); }

bool is_csg(const Object* object) {
    const ObjectMethods* kind = object->methods;
    return kind == &CsgUnion || kind == &CsgMerge || kind == &CsgIntersection || kind == &CsgDifference;
}

bool bounded(const Object* object) {
    const Vector3& e = object->bounds.extent;
    return e.x <= BOUNDED_EXTENT && e.y <= BOUNDED_EXTENT && e.z <= BOUNDED_EXTENT;
}

double coordinate(const Vector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

// Boxes grown by the touching tolerance, so that overlapping ones are those whose members
// may meet a ray at the same distance.
std::vector<Box> touching_boxes(const std::vector<Box>& boxes) {
    double largest = 0;
    for (const Box& box : boxes)
        for (double v : {box.lower.x, box.lower.y, box.lower.z, box.upper.x, box.upper.y, box.upper.z})
            largest = std::max(largest, std::fabs(v));
    const double margin = TOUCHING_TOLERANCE * (1 + largest);
    const Vector3 grow{margin, margin, margin};
    std::vector<Box> grown;
    grown.reserve(boxes.size());
    for (const Box& box : boxes) grown.push_back({box.lower - grow, box.upper + grow});
    return grown;
}

struct SearchNode {
    Box box;        // around the grown boxes of its members
    int left = -1;  // leaves: -1, and the members are order[begin, end)
    int right = -1;
    int begin = 0;
    int end = 0;
};

// A binary tree over the members, split top-down where the surface-area cost, estimated over
// a few bins of box centres per axis, is lowest. Its leaves give the members a spatial order,
// and its boxes find the touching pairs.
class SpatialTree {
public:
    explicit SpatialTree(std::vector<Box> grown)
        : grown_(std::move(grown)), order_(grown_.size()), centres_(grown_.size()) {
        for (std::size_t i = 0; i < grown_.size(); ++i) {
            order_[i] = static_cast<int>(i);
            centres_[i] = centre(grown_[i]);
        }
        nodes_.reserve(2 * grown_.size() / LEAF_MEMBERS + 2);
        build(0, static_cast<int>(grown_.size()));
    }

    // Each member's place in the spatial order.
    std::vector<int> ranks() const {
        std::vector<int> rank(order_.size());
        for (std::size_t i = 0; i < order_.size(); ++i) rank[order_[i]] = static_cast<int>(i);
        return rank;
    }

    // Pairs (earlier, later) in written order of members whose grown boxes overlap; false,
    // with no pairs, once there are more than limit.
    bool touchingPairs(std::size_t limit, std::vector<std::pair<int, int>>& pairs) const {
        std::vector<int> pending;
        for (int later = 0; later < static_cast<int>(grown_.size()); ++later) {
            const Box& box = grown_[later];
            pending.assign(1, 0);
            while (!pending.empty()) {
                const SearchNode& node = nodes_[pending.back()];
                pending.pop_back();
                if (!overlapping(node.box, box)) continue;
                if (node.left >= 0) {
                    pending.push_back(node.left);
                    pending.push_back(node.right);
                    continue;
                }
                for (int i = node.begin; i < node.end; ++i) {
                    const int earlier = order_[i];
                    if (earlier < later && overlapping(grown_[earlier], box)) pairs.emplace_back(earlier, later);
                }
            }
            if (pairs.size() > limit) {
                pairs.clear();
                return false;
            }
        }
        return true;
    }

private:
    int build(int begin, int end) {
        const int index = static_cast<int>(nodes_.size());
        nodes_.push_back({});
        Box box = grown_[order_[begin]];
        Box span{centres_[order_[begin]], centres_[order_[begin]]};
        for (int i = begin + 1; i < end; ++i) {
            box = enclosing(box, grown_[order_[i]]);
            span = enclosing(span, {centres_[order_[i]], centres_[order_[i]]});
        }
        int left = -1, right = -1;
        if (end - begin > LEAF_MEMBERS) {
            const int middle = split(begin, end, span);
            left = build(begin, middle);
            right = build(middle, end);
        }
        nodes_[index] = {box, left, right, begin, end};
        return index;
    }

    int bin(int member, int axis, double lo, double scale) const {
        return std::min(SPLIT_BINS - 1, static_cast<int>((coordinate(centres_[member], axis) - lo) * scale));
    }

    // Reorders order_[begin, end) into the two sides of the cheapest split and returns where
    // the second side starts.
    int split(int begin, int end, const Box& span) {
        int bestAxis = -1, bestBin = 0;
        double bestCost = NO_LIMIT;
        for (int axis = 0; axis < 3; ++axis) {
            const double lo = coordinate(span.lower, axis), hi = coordinate(span.upper, axis);
            if (!(hi > lo)) continue;
            const double scale = SPLIT_BINS / (hi - lo);
            int counts[SPLIT_BINS] = {};
            Box bins[SPLIT_BINS];
            for (int i = begin; i < end; ++i) {
                const int b = bin(order_[i], axis, lo, scale);
                bins[b] = counts[b]++ ? enclosing(bins[b], grown_[order_[i]]) : grown_[order_[i]];
            }
            double rightArea[SPLIT_BINS] = {};
            int rightCount[SPLIT_BINS] = {};
            Box right{};
            for (int b = SPLIT_BINS - 1, count = 0; b > 0; --b) {
                if (counts[b]) right = count ? enclosing(right, bins[b]) : bins[b];
                count += counts[b];
                rightArea[b] = half_area(right);
                rightCount[b] = count;
            }
            Box left{};
            for (int b = 1, count = 0; b < SPLIT_BINS; ++b) {
                if (counts[b - 1]) left = count ? enclosing(left, bins[b - 1]) : bins[b - 1];
                count += counts[b - 1];
                if (count == 0 || rightCount[b] == 0) continue;
                const double cost = half_area(left) * count + rightArea[b] * rightCount[b];
                if (cost < bestCost) {
                    bestCost = cost;
                    bestAxis = axis;
                    bestBin = b;
                }
            }
        }
        int middle = begin;
        if (bestAxis >= 0) {
            const double lo = coordinate(span.lower, bestAxis), hi = coordinate(span.upper, bestAxis);
            const double scale = SPLIT_BINS / (hi - lo);
            middle = static_cast<int>(
                std::partition(order_.begin() + begin, order_.begin() + end,
                               [&](int member) { return bin(member, bestAxis, lo, scale) < bestBin; }) -
                order_.begin());
        }
        // A lopsided split (centres bunched in one bin) would make the tree deep: halve
        // instead, across the widest spread of centres.
        const int least = std::max(1, (end - begin) / 16);
        if (middle - begin < least || end - middle < least) {
            const Vector3 spread = span.upper - span.lower;
            const int axis = spread.x >= spread.y && spread.x >= spread.z ? 0 : spread.y >= spread.z ? 1 : 2;
            middle = begin + (end - begin) / 2;
            std::nth_element(order_.begin() + begin, order_.begin() + middle, order_.begin() + end, [&](int a, int b) {
                const double ca = coordinate(centres_[a], axis), cb = coordinate(centres_[b], axis);
                return ca < cb || (ca == cb && a < b);
            });
        }
        return middle;
    }

    std::vector<Box> grown_;
    std::vector<int> order_;
    std::vector<Vector3> centres_;
    std::vector<SearchNode> nodes_;
};

// The members in spatial order as far as touching members allow: of two members that touch,
// the one written first stays first. Each step takes, of the members whose touching
// predecessors are all placed, the one earliest in the spatial order.
std::vector<int> tie_keeping_order(const std::vector<Box>& boxes) {
    const int n = static_cast<int>(boxes.size());
    const SpatialTree tree(touching_boxes(boxes));
    std::vector<std::pair<int, int>> pairs;
    if (!tree.touchingPairs(MAX_TOUCHING_PAIRS_PER_MEMBER * boxes.size(), pairs)) {
        std::vector<int> written(n);
        for (int i = 0; i < n; ++i) written[i] = i;
        return written;
    }
    const std::vector<int> rank = tree.ranks();

    std::vector<int> waiting(n, 0);            // touching predecessors not yet placed
    std::vector<int> firstFollower(n + 1, 0);  // followers of i: follower[firstFollower[i] ...)
    for (const auto& [earlier, later] : pairs) {
        ++waiting[later];
        ++firstFollower[earlier + 1];
    }
    for (int i = 0; i < n; ++i) firstFollower[i + 1] += firstFollower[i];
    std::vector<int> follower(pairs.size());
    std::vector<int> filled(firstFollower.begin(), firstFollower.end() - 1);
    for (const auto& [earlier, later] : pairs) follower[filled[earlier]++] = later;

    std::vector<int> byRank(n);
    for (int i = 0; i < n; ++i) byRank[rank[i]] = i;
    std::priority_queue<int, std::vector<int>, std::greater<int>> ready;  // ranks
    for (int i = 0; i < n; ++i)
        if (waiting[i] == 0) ready.push(rank[i]);
    std::vector<int> order;
    order.reserve(n);
    while (!ready.empty()) {
        const int member = byRank[ready.top()];
        ready.pop();
        order.push_back(member);
        for (int f = firstFollower[member]; f < firstFollower[member + 1]; ++f)
            if (--waiting[follower[f]] == 0) ready.push(rank[follower[f]]);
    }
    return order;
}

Object* new_union_node() {
    Object* node = new_csg(&CsgUnion);
    ++csgNodeCount;
    node->texture = defaultTexture();
    node->light = sceneLight();
    return node;
}

Object* append(Object* node, Object* last, Object* member) {
    member->next = nullptr;
    return add_member_after(node, last, member);
}

// Builds nested unions over consecutive runs of one member sequence, so that the order in
// which a ray reaches the members is the sequence's order.
class HierarchyBuilder {
public:
    HierarchyBuilder(std::vector<Object*> members, std::vector<Box> boxes)
        : members_(std::move(members)), boxes_(std::move(boxes)), areas_(members_.size() + 1) {}

    // The members [begin, end) appended to node as up to BRANCHES subtrees, found by
    // splitting the widest part again and again; returns the last member appended.
    Object* appendSplit(Object* node, Object* last, int begin, int end) {
        std::vector<std::pair<int, int>> parts{{begin, end}};
        while (static_cast<int>(parts.size()) < BRANCHES) {
            auto widest = std::max_element(parts.begin(), parts.end(), [](const auto& a, const auto& b) {
                return a.second - a.first < b.second - b.first;
            });
            const auto [from, to] = *widest;
            if (to - from <= LEAF_MEMBERS) break;
            const int middle = bestSplit(from, to);
            *widest = {middle, to};
            parts.insert(widest, {from, middle});
        }
        // Siblings are made one after the other, so that they lie close together in memory
        // for the loop that tests their boxes.
        std::vector<Object*> children;
        for (const auto& [from, to] : parts) children.push_back(to - from == 1 ? members_[from] : new_union_node());
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (parts[i].second - parts[i].first > 1) fill(children[i], parts[i].first, parts[i].second);
            last = append(node, last, children[i]);
        }
        return last;
    }

private:
    void fill(Object* node, int begin, int end) {
        if (end - begin <= LEAF_MEMBERS) {
            Object* last = nullptr;
            for (int i = begin; i < end; ++i) last = append(node, last, members_[i]);
        } else {
            appendSplit(node, nullptr, begin, end);
        }
        compute_csg_bounds(node);
    }

    // The split of [begin, end) that minimises the surface-area cost: each side's box area
    // times the members behind it. Each side keeps at least an eighth, which bounds the depth
    // and so the building time by n log n.
    int bestSplit(int begin, int end) {
        const int n = end - begin;
        const int least = std::max(1, n / 8);
        Box box = boxes_[end - 1];
        for (int i = end - 1; i >= begin + least; --i) {
            box = enclosing(box, boxes_[i]);
            areas_[i] = half_area(box);  // of [i, end)
        }
        box = boxes_[begin];
        for (int i = begin + 1; i < begin + least; ++i) box = enclosing(box, boxes_[i]);
        int best = begin + least;
        double bestCost = NO_LIMIT;
        for (int i = begin + least; i <= end - least; ++i) {  // box holds [begin, i)
            const double cost = half_area(box) * (i - begin) + areas_[i] * (end - i);
            if (cost < bestCost) {
                bestCost = cost;
                best = i;
            }
            box = enclosing(box, boxes_[i]);
        }
        return best;
    }

    std::vector<Object*> members_;
    std::vector<Box> boxes_;
    std::vector<double> areas_;
};

// Appends a run of bounded members, grouped when there are enough of them.
Object* append_run(Object* node, Object* last, const std::vector<Object*>& run) {
    if (static_cast<int>(run.size()) <= LEAF_MEMBERS) {
        for (Object* member : run) last = append(node, last, member);
        return last;
    }
    std::vector<Box> boxes;
    boxes.reserve(run.size());
    for (const Object* member : run) boxes.push_back(box_of(member));
    const std::vector<int> order = tie_keeping_order(boxes);
    std::vector<Object*> members;
    std::vector<Box> ordered;
    members.reserve(run.size());
    ordered.reserve(run.size());
    for (int i : order) {
        members.push_back(run[i]);
        ordered.push_back(boxes[i]);
    }
    HierarchyBuilder builder(std::move(members), std::move(ordered));
    return builder.appendSplit(node, last, 0, static_cast<int>(run.size()));
}

// Unbounded members stay where they were written, at the top of the union; the bounded
// members between two of them are grouped among themselves.
void regroup_union(Object* node) {
    std::vector<Object*> written;
    for (Object* member = node->children; member; member = member->next) written.push_back(member);
    if (static_cast<int>(written.size()) <= REGROUP_THRESHOLD) return;
    node->children = nullptr;
    Object* last = nullptr;
    std::vector<Object*> run;
    for (Object* member : written) {
        if (bounded(member)) {
            run.push_back(member);
            continue;
        }
        last = append_run(node, last, run);
        run.clear();
        last = append(node, last, member);
    }
    append_run(node, last, run);
}

// A union's spans may be reordered where its consumer keeps, of the spans of members that
// cannot touch, the same ones whatever their order: the nearest-hit and shadow queries, the
// other unions and merges, and the first member of an intersection or the members of a
// difference, which are narrowed one span at a time. The further members of an intersection
// narrow a span by whichever of their spans comes first, so their order is kept.
void regroup_tree(Object* object, bool orderFree) {
    if (!is_csg(object)) return;
    bool first = true;
    for (Object* member = object->children; member; member = member->next) {
        regroup_tree(member, orderFree && (first || object->methods != &CsgIntersection));
        first = false;
    }
    if (orderFree && object->methods == &CsgUnion) regroup_union(object);
}

}  // namespace

void regroupUnions(Object* scene) {
    for (Object* object = scene; object; object = object->next) regroup_tree(object, true);
}
