// The regrouping of large unions into flat bounding-volume hierarchies (UnionTree), and their
// walks: every span in order, the nearest visible span, and the first span that blocks a light.
#include "objects/union_hierarchy.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <numeric>
#include <queue>
#include <thread>
#include <utility>
#include <vector>

#include "objects/csg.h"
#include "objects/object.h"

namespace {

// Past this many touching pairs per member (a cloud of members all overlapping one another)
// the members keep their written order: finding a better one would cost more than it saves.
constexpr std::size_t MAX_TOUCHING_PAIRS_PER_MEMBER = 64;
constexpr int SPLIT_BINS = 16;  // per axis, where a split of the members is looked for
// From this many members on, the two halves of the spatial tree are built and searched on two
// threads: the hierarchy comes out the same, in about half the time on two cores.
constexpr int TWO_THREAD_MEMBERS = 100000;
// Room for touching pairs per member made before the search; more is allocated as found.
constexpr std::size_t RESERVED_PAIRS_PER_MEMBER = 4;

struct Box {
    Vector3 lower;
    Vector3 upper;
};

Box box_of(const Object* object) { return {object->bounds.lower, object->bounds.upper}; }

Box enclosing(const Box& a, const Box& b) {
    return {{std::min(a.lower.x, b.lower.x), std::min(a.lower.y, b.lower.y), std::min(a.lower.z, b.lower.z)},
            {std::max(a.upper.x, b.upper.x), std::max(a.upper.y, b.upper.y), std::max(a.upper.z, b.upper.z)}};
}

// A box as the building works on it: the lower corner, then the upper corner negated, so
// that enclosing takes the least of all six numbers, two at a time. Negation is exact: the
// corners come back bit for bit. (Of two zeros the vector minimum may keep either sign; the
// building only compares these boxes and their areas, where the sign of a zero changes nothing.)
struct alignas(16) MinBox {
    double v[6];
};

constexpr MinBox EMPTY_BOX{{NO_LIMIT, NO_LIMIT, NO_LIMIT, NO_LIMIT, NO_LIMIT, NO_LIMIT}};

MinBox min_box_of(const Object* object) {
    const Vector3& l = object->bounds.lower;
    const Vector3& u = object->bounds.upper;
    return {{l.x, l.y, l.z, -u.x, -u.y, -u.z}};
}

Vector3 lower_of(const MinBox& box) { return {box.v[0], box.v[1], box.v[2]}; }
Vector3 upper_of(const MinBox& box) { return {-box.v[3], -box.v[4], -box.v[5]}; }

MinBox enclosing(const MinBox& a, const MinBox& b) {
    MinBox box;
    for (int i = 0; i < 6; i += 2) _mm_store_pd(box.v + i, _mm_min_pd(_mm_load_pd(a.v + i), _mm_load_pd(b.v + i)));
    return box;
}

// Wider by margin on every side. Subtraction rounds monotonically, so the least of boxes widened
// is the least of the boxes, widened: bins and nodes are widened once, after enclosing.
MinBox widened(const MinBox& a, double margin) {
    MinBox box;
    const __m128d m = _mm_set1_pd(margin);
    for (int i = 0; i < 6; i += 2) _mm_store_pd(box.v + i, _mm_sub_pd(_mm_load_pd(a.v + i), m));
    return box;
}

// Half the surface area: the chance that a ray meeting a parent box meets this one scales with it.
double half_area(const MinBox& box) {
    const Vector3 e = upper_of(box) - lower_of(box);
    return e.x * e.y + e.y * e.z + e.z * e.x;
}

// Without branches: whether boxes overlap is hard to predict.
bool overlapping(const MinBox& a, const MinBox& b) {
    return (a.v[0] <= -b.v[3]) & (b.v[0] <= -a.v[3]) & (a.v[1] <= -b.v[4]) & (b.v[1] <= -a.v[4]) &
           (a.v[2] <= -b.v[5]) & (b.v[2] <= -a.v[5]);
}

bool is_csg(const Object* object) {
    const ObjectMethods* kind = object->methods;
    return kind == &CsgUnion || kind == &CsgMerge || kind == &CsgIntersection || kind == &CsgDifference;
}

bool bounded(const Object* object) {
    const Vector3& e = object->bounds.extent;
    return e.x <= BOUNDED_EXTENT && e.y <= BOUNDED_EXTENT && e.z <= BOUNDED_EXTENT;
}

double coordinate(const Vector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

// A member of a run as the spatial tree sorts it.
struct Item {
    MinBox box;      // as written
    Vector3 centre;  // of the box grown by the touching margin
    int member;      // its place in the run
};

// Left without initial values, so that the pages of an array of them are touched only where
// nodes are written.
struct SearchNode {
    MinBox box;  // around the grown boxes of its members
    int right;   // leaves: -1, and the members are items[begin, end); else the left child follows it
    int begin;
    int end;
};

// Consecutive members of a union's list.
struct Run {
    Object* const* members;
    int size;
};

// Places in the spatial order of two members that touch: the one written first, then the other.
using PlacePairs = std::vector<std::pair<int, int>>;

// A binary tree over the members of a run, split top-down where the surface-area cost,
// estimated over a few bins of grown box centres per axis, is lowest. Its leaves give the
// members a spatial order, and its boxes find the touching pairs; then it keeps only those.
class SpatialTree {
public:
    // Past limit touching pairs, none are kept and tooManyTouching() says so.
    SpatialTree(Run run, std::size_t limit) {
        items_.reserve(run.size);
        double largest = 0;
        for (int i = 0; i < run.size; ++i) {
            const MinBox box = min_box_of(run.members[i]);
            for (double v : box.v) largest = std::max(largest, std::fabs(v));
            items_.push_back({box, {}, i});
        }
        // Boxes grown by the margin overlap where their members may meet a ray at the same
        // distance.
        margin_ = TOUCHING_TOLERANCE * (1 + largest);
        for (Item& item : items_) {
            const MinBox grown = widened(item.box, margin_);
            item.centre = 0.5 * (lower_of(grown) + upper_of(grown));
        }
        buildRoot(run.size);
        findTouching(limit);
        nodes_.reset();
    }

    int size() const { return static_cast<int>(items_.size()); }
    // The member at this place in the spatial order.
    const Item& item(int place) const { return items_[place]; }
    bool tooManyTouching() const { return tooManyTouching_; }

    // The places in the spatial order of the members, in the order that keeps touching members
    // as written: of two members that touch, the one written first stays first. Each step
    // takes, of the members whose touching predecessors are all placed, the one earliest in
    // the spatial order. Frees the pairs.
    std::vector<int> tieKeepingOrder() {
        const int n = size();
        std::vector<int> order(n);
        std::iota(order.begin(), order.end(), 0);
        std::size_t pairCount = 0;
        for (const PlacePairs& pairs : touching_) pairCount += pairs.size();
        if (pairCount == 0) return order;

        // The touching predecessors not yet placed, and the followers of each.
        std::vector<int> waiting(n, 0);
        std::vector<int> firstFollower(n + 1, 0);  // followers of p: follower[firstFollower[p] ...)
        for (const PlacePairs& pairs : touching_)
            for (const auto& [earlier, later] : pairs) {
                ++waiting[later];
                ++firstFollower[earlier + 1];
            }
        std::partial_sum(firstFollower.begin(), firstFollower.end(), firstFollower.begin());
        std::vector<int> follower(pairCount);
        {
            std::vector<int> filled(firstFollower.begin(), firstFollower.end() - 1);
            for (const PlacePairs& pairs : touching_)
                for (const auto& [earlier, later] : pairs) follower[filled[earlier]++] = later;
            touching_ = std::vector<PlacePairs>();
        }

        // The scan takes the places in turn, passing over those still waiting; a place passed
        // over that becomes free later goes to the heap, whose least place competes with the
        // scan.
        std::priority_queue<int, std::vector<int>, std::greater<int>> passed;
        int scan = 0;
        for (int placed = 0; placed < n; ++placed) {
            while (scan < n && waiting[scan] > 0) ++scan;
            int next;
            if (!passed.empty() && (scan == n || passed.top() < scan)) {
                next = passed.top();
                passed.pop();
            } else {
                next = scan++;
            }
            order[placed] = next;
            for (int f = firstFollower[next]; f < firstFollower[next + 1]; ++f)
                if (--waiting[follower[f]] == 0 && follower[f] < scan) passed.push(follower[f]);
        }
        return order;
    }

private:
    // The touching pairs, on two threads when the members are many: one searches the second
    // half, the other the first half and then between the two.
    void findTouching(std::size_t limit) {
        const SearchNode& root = nodes_[0];
        bool found;
        if (size() < TWO_THREAD_MEMBERS || root.right < 0) {
            touching_.resize(1);
            found = PairSearch{*this, touching_[0], limit}.within(0);
        } else {
            touching_.resize(2);
            // Both lists are reserved here, where the pages they grow into are returned once
            // freed; what the helper thread allocated would stay with the allocator's pool for
            // that thread. Only the pages the pairs fill are touched.
            for (PlacePairs& pairs : touching_) pairs.reserve(RESERVED_PAIRS_PER_MEMBER * size());
            bool secondFound = false;
            std::thread helper([&] { secondFound = PairSearch{*this, touching_[1], limit}.within(root.right); });
            PairSearch first{*this, touching_[0], limit};
            found = first.within(1) && first.across(1, root.right);
            helper.join();
            found = found && secondFound && touching_[0].size() + touching_[1].size() <= limit;
        }
        tooManyTouching_ = !found;
        if (tooManyTouching_) touching_ = std::vector<PlacePairs>();
    }

    // The pairs under some nodes, into out; false once it holds more than limit.
    struct PairSearch {
        const SpatialTree& tree;
        PlacePairs& out;
        std::size_t limit;

        // Pairs inside node n: inside each half, then between the two.
        bool within(int n) {
            const SearchNode& node = tree.nodes_[n];
            if (node.right < 0) return between(node, node);
            return within(n + 1) && within(node.right) && across(n + 1, node.right);
        }

        // Pairs of one member under node a and one under node b, nodes without common members.
        bool across(int a, int b) {
            const SearchNode& na = tree.nodes_[a];
            const SearchNode& nb = tree.nodes_[b];
            if (!overlapping(na.box, nb.box)) return true;
            if (na.right < 0 && nb.right < 0) return between(na, nb);
            if (na.right < 0 || (nb.right >= 0 && nb.end - nb.begin > na.end - na.begin))
                return across(a, b + 1) && across(a, nb.right);
            return across(a + 1, b) && across(na.right, b);
        }

        // The pairs of two leaves, or of one leaf with itself.
        bool between(const SearchNode& a, const SearchNode& b) {
            const std::vector<Item>& items = tree.items_;
            MinBox grown[LEAF_MEMBERS];
            for (int j = b.begin; j < b.end; ++j) grown[j - b.begin] = widened(items[j].box, tree.margin_);
            for (int i = a.begin; i < a.end; ++i) {
                const MinBox box = widened(items[i].box, tree.margin_);
                for (int j = &a == &b ? i + 1 : b.begin; j < b.end; ++j)
                    if (overlapping(box, grown[j - b.begin]))
                        out.emplace_back(items[i].member < items[j].member ? std::pair(i, j) : std::pair(j, i));
            }
            return out.size() <= limit;
        }
    };

    // The root, and below it the two halves, each on its own thread when the members are many.
    // A tree over m members has at most 2m - 1 nodes: the array holds that many, and the
    // second half's nodes start where the first half's could end.
    void buildRoot(int n) {
        nodes_.reset(new SearchNode[2 * n]);
        if (n < TWO_THREAD_MEMBERS) {
            int next = 0;
            build(0, n, next);
            return;
        }
        const auto [box, lo, hi] = bounds(0, n);
        const int middle = split(0, n, lo, hi);
        int firstNext = 1, secondNext = 2 * middle;
        std::thread helper([&] { build(middle, n, secondNext); });
        build(0, middle, firstNext);
        helper.join();
        nodes_[0] = {widened(box, margin_), 2 * middle, 0, n};
    }

    struct Bounds {
        MinBox box;  // of the members' boxes
        Vector3 lo;  // and of their centres
        Vector3 hi;
    };

    Bounds bounds(int begin, int end) const {
        MinBox box = items_[begin].box;
        Vector3 lo = items_[begin].centre, hi = lo;
        for (int i = begin + 1; i < end; ++i) {
            box = enclosing(box, items_[i].box);
            const Vector3& c = items_[i].centre;
            lo = {std::min(lo.x, c.x), std::min(lo.y, c.y), std::min(lo.z, c.z)};
            hi = {std::max(hi.x, c.x), std::max(hi.y, c.y), std::max(hi.z, c.z)};
        }
        return {box, lo, hi};
    }

    // Writes the nodes over items_[begin, end) in preorder from nodes_[next] on, and moves
    // next past them.
    void build(int begin, int end, int& next) {
        const int index = next++;
        const auto [box, lo, hi] = bounds(begin, end);
        int right = -1;
        if (end - begin > LEAF_MEMBERS) {
            const int middle = split(begin, end, lo, hi);
            build(begin, middle, next);
            right = next;
            build(middle, end, next);
        }
        nodes_[index] = {widened(box, margin_), right, begin, end};
    }

    static int bin(double centre, double lo, double scale) {
        return std::min(SPLIT_BINS - 1, static_cast<int>((centre - lo) * scale));
    }

    // Reorders items_[begin, end) into the two sides of the cheapest split and returns where
    // the second side starts. lo and hi bound the centres.
    int split(int begin, int end, const Vector3& lo, const Vector3& hi) {
        double low[3], scale[3];
        bool spread[3];
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = coordinate(lo, axis);
            spread[axis] = coordinate(hi, axis) > low[axis];
            scale[axis] = spread[axis] ? SPLIT_BINS / (coordinate(hi, axis) - low[axis]) : 0;
        }
        // The bins of the three axes, filled in one pass over the members (all in the first
        // bin of an axis without spread, which is then passed over).
        int counts[3][SPLIT_BINS] = {};
        MinBox bins[3][SPLIT_BINS];
        for (auto& axisBins : bins) std::fill(std::begin(axisBins), std::end(axisBins), EMPTY_BOX);
        for (int i = begin; i < end; ++i) {
            const Item& item = items_[i];
            for (int axis = 0; axis < 3; ++axis) {
                const int b = bin(coordinate(item.centre, axis), low[axis], scale[axis]);
                ++counts[axis][b];
                bins[axis][b] = enclosing(bins[axis][b], item.box);
            }
        }
        int bestAxis = -1, bestBin = 0;
        double bestCost = NO_LIMIT;
        for (int axis = 0; axis < 3; ++axis) {
            if (!spread[axis]) continue;
            // A split just after an empty bin costs what the split before it did, so only the
            // splits just after the filled bins are priced.
            int filled[SPLIT_BINS], n = 0;
            for (int b = 0; b < SPLIT_BINS; ++b)
                if (counts[axis][b]) filled[n++] = b;
            double rightArea[SPLIT_BINS];  // [j]: of the bins after filled[j]
            int rightCount[SPLIT_BINS];
            MinBox right = bins[axis][filled[n - 1]];
            int count = counts[axis][filled[n - 1]];
            for (int j = n - 2; j >= 0; --j) {
                rightArea[j] = half_area(widened(right, margin_));
                rightCount[j] = count;
                right = enclosing(right, bins[axis][filled[j]]);
                count += counts[axis][filled[j]];
            }
            MinBox left = EMPTY_BOX;
            count = 0;
            for (int j = 0; j + 1 < n; ++j) {
                left = enclosing(left, bins[axis][filled[j]]);
                count += counts[axis][filled[j]];
                const double cost = half_area(widened(left, margin_)) * count + rightArea[j] * rightCount[j];
                if (cost < bestCost) {
                    bestCost = cost;
                    bestAxis = axis;
                    bestBin = filled[j] + 1;
                }
            }
        }
        int middle = begin;
        if (bestAxis >= 0) {
            const double l = low[bestAxis], s = scale[bestAxis];
            middle = static_cast<int>(std::partition(items_.begin() + begin, items_.begin() + end,
                                                     [&](const Item& item) {
                                                         return bin(coordinate(item.centre, bestAxis), l, s) <
                                                                bestBin;
                                                     }) -
                                      items_.begin());
        }
        // A lopsided split (centres bunched in one bin) would make the tree deep: halve
        // instead, across the widest spread of centres.
        const int least = std::max(1, (end - begin) / 16);
        if (middle - begin < least || end - middle < least) {
            const Vector3 extent = hi - lo;
            const int axis = extent.x >= extent.y && extent.x >= extent.z ? 0 : extent.y >= extent.z ? 1 : 2;
            middle = begin + (end - begin) / 2;
            std::nth_element(items_.begin() + begin, items_.begin() + middle, items_.begin() + end,
                             [&](const Item& a, const Item& b) {
                                 const double ca = coordinate(a.centre, axis), cb = coordinate(b.centre, axis);
                                 return ca < cb || (ca == cb && a.member < b.member);
                             });
        }
        return middle;
    }

    double margin_;
    std::vector<Item> items_;  // in spatial order once built
    std::unique_ptr<SearchNode[]> nodes_;
    std::vector<PlacePairs> touching_;  // one list per thread that searched
    bool tooManyTouching_ = false;
};

Object* append(Object* node, Object* last, Object* member) {
    member->next = nullptr;
    return add_member_after(node, last, member);
}

Box enclosing_entries(const UnionTree& tree, const TreeNode& node) {
    Box box{tree.entries[node.first].lower, tree.entries[node.first].upper};
    for (int i = node.first + 1; i < node.first + node.count; ++i)
        box = enclosing(box, {tree.entries[i].lower, tree.entries[i].upper});
    return box;
}

void set_bounds(Object* object, const Box& box) {
    object->bounds.lower = box.lower;
    object->bounds.upper = box.upper;
    object->bounds.extent = box.upper - box.lower;
}

// Builds the nodes of a tree over its members, which are already in their final order; each
// node covers a consecutive run of them, so a walk of the nodes in entry order meets the
// members in that order.
class TreeBuilder {
public:
    TreeBuilder(UnionTree& tree, std::vector<MinBox> boxes)
        : tree_(tree), boxes_(std::move(boxes)), areas_(boxes_.size() + 1) {}

    void build() {
        const int n = static_cast<int>(boxes_.size());
        // Every member is an entry, and every node but the root; nodes hold about three.
        tree_.nodes.reserve(n / 2 + 1);
        tree_.entries.reserve(n + n / 2);
        tree_.depth = buildNode(0, n);
        set_bounds(&tree_, enclosing_entries(tree_, tree_.nodes[0]));
    }

private:
    // The node over members [begin, end): up to LEAF_MEMBERS members, or up to BRANCHES
    // parts found by splitting the widest part again and again. Returns its depth.
    int buildNode(int begin, int end) {
        std::pair<int, int> parts[std::max(BRANCHES, LEAF_MEMBERS)];
        int count = 0;
        if (end - begin <= LEAF_MEMBERS) {
            for (int i = begin; i < end; ++i) parts[count++] = {i, i + 1};
        } else {
            parts[count++] = {begin, end};
            while (count < BRANCHES) {
                auto* widest = std::max_element(parts, parts + count, [](const auto& a, const auto& b) {
                    return a.second - a.first < b.second - b.first;
                });
                const auto [from, to] = *widest;
                if (to - from <= LEAF_MEMBERS) break;
                const int middle = bestSplit(from, to);
                std::copy_backward(widest, parts + count, parts + count + 1);
                *widest = {from, middle};
                widest[1] = {middle, to};
                ++count;
            }
        }
        const int first = static_cast<int>(tree_.entries.size());
        tree_.nodes.push_back({first, count});
        tree_.entries.resize(first + count);
        int depth = 0;
        for (int i = 0; i < count; ++i) {
            const auto [from, to] = parts[i];
            TreeEntry entry;
            if (to - from == 1) {
                entry = {lower_of(boxes_[from]), upper_of(boxes_[from]), ~from};
            } else {
                const int child = static_cast<int>(tree_.nodes.size());
                depth = std::max(depth, buildNode(from, to));
                const Box box = enclosing_entries(tree_, tree_.nodes[child]);
                entry = {box.lower, box.upper, child};
            }
            tree_.entries[first + i] = entry;
        }
        return depth + 1;
    }

    // The split of [begin, end) that minimises the surface-area cost: each side's box area
    // times the members behind it. Each side keeps at least an eighth, which bounds the depth
    // and so the building time by n log n.
    int bestSplit(int begin, int end) {
        const int n = end - begin;
        const int least = std::max(1, n / 8);
        MinBox box = boxes_[end - 1];
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

    UnionTree& tree_;
    std::vector<MinBox> boxes_;
    std::vector<double> areas_;
};

// The members of a run in the order their tree keeps them, and their boxes in that order.
std::vector<MinBox> order_members(Run run, std::vector<Object*>& members) {
    members.reserve(run.size);
    std::vector<MinBox> boxes;
    boxes.reserve(run.size);
    SpatialTree tree(run, MAX_TOUCHING_PAIRS_PER_MEMBER * run.size);
    if (tree.tooManyTouching()) {
        for (int i = 0; i < run.size; ++i) {
            members.push_back(run.members[i]);
            boxes.push_back(min_box_of(run.members[i]));
        }
        return boxes;
    }
    for (int place : tree.tieKeepingOrder()) {
        const Item& item = tree.item(place);
        members.push_back(run.members[item.member]);
        boxes.push_back(item.box);
    }
    return boxes;
}

// Appends a run of bounded members: as they are when there are few, else as one tree.
Object* append_run(Object* node, Object* last, Run run) {
    if (run.size <= LEAF_MEMBERS) {
        for (int i = 0; i < run.size; ++i) last = append(node, last, run.members[i]);
        return last;
    }
    auto* tree = new UnionTree();
    init_object(tree, &UnionTreeMethods);
    ++csgNodeCount;
    std::vector<MinBox> boxes = order_members(run, tree->members);
    TreeBuilder(*tree, std::move(boxes)).build();
    return append(node, last, tree);
}

// Unbounded members stay where they were written, at the top of the union; the bounded
// members between two of them are grouped among themselves.
void regroup_union(Object* node, const std::vector<Object*>& written) {
    const int n = static_cast<int>(written.size());
    if (n <= REGROUP_THRESHOLD) return;
    node->children = nullptr;
    Object* last = nullptr;
    int runStart = 0;
    for (int i = 0; i < n; ++i) {
        Object* member = written[i];
        member->next = nullptr;
        if (bounded(member)) continue;
        last = append_run(node, last, {written.data() + runStart, i - runStart});
        last = append(node, last, member);
        runStart = i + 1;
    }
    append_run(node, last, {written.data() + runStart, n - runStart});
}

// A union's spans may be reordered where its consumer keeps, of the spans of members that
// cannot touch, the same ones whatever their order: the nearest-hit and shadow queries, the
// other unions and merges, and the first member of an intersection or the members of a
// difference, which are narrowed one span at a time. The further members of an intersection
// narrow a span by whichever of their spans comes first, so their order is kept.
// The list of members is followed once: each step waits for the memory of the one before.
void regroup_tree(Object* object, bool orderFree) {
    if (!is_csg(object)) return;
    std::vector<Object*> members;
    for (Object* member = object->children; member; member = member->next) members.push_back(member);
    for (std::size_t i = 0; i < members.size(); ++i)
        regroup_tree(members[i], orderFree && (i == 0 || object->methods != &CsgIntersection));
    if (orderFree && object->methods == &CsgUnion) regroup_union(object, members);
}

}  // namespace

void regroupUnions(Object* scene) {
    for (Object* object = scene; object; object = object->next) regroup_tree(object, true);
}

namespace {

// A node is passed over when its box begins this much (relative) beyond the nearest span
// found so far: a member's surfaces lie in its box, up to the rounding of their distances.
constexpr double PRUNING_MARGIN = 1e-6;

bool beyond(double boxDistance, double distance) {
    return boxDistance > distance + PRUNING_MARGIN * (1 + std::fabs(distance));
}

// Where the ray enters the entry's box, as a lower bound only: it orders and passes over
// boxes, never decides a hit. An axis whose distance is undefined (a zero direction component
// with the origin on the box's face) does not raise the bound.
double entry_distance(const Ray& ray, const TreeEntry& entry) {
    const double o[3] = {ray.origin.x, ray.origin.y, ray.origin.z};
    const double inverse[3] = {ray.inverseDirection.x, ray.inverseDirection.y, ray.inverseDirection.z};
    const double lower[3] = {entry.lower.x, entry.lower.y, entry.lower.z};
    const double upper[3] = {entry.upper.x, entry.upper.y, entry.upper.z};
    double distance = -NO_LIMIT;
    for (int axis = 0; axis < 3; ++axis) {
        const double a = (lower[axis] - o[axis]) * inverse[axis], b = (upper[axis] - o[axis]) * inverse[axis];
        if (std::isnan(a) || std::isnan(b)) continue;
        distance = std::max(distance, std::min(a, b));
    }
    return distance;
}

struct Pending {
    int index;        // as in TreeEntry
    double distance;  // where the ray enters its box
};

// The entries of a node whose boxes the ray meets (each test counted), nearest last, pushed
// onto pending, so the nearest is taken next.
// A met child is visited soon, and the members of a large tree lie scattered in memory in the
// order they were read: asking for the record now overlaps its fetch with the other tests.
inline void prefetch_child(const UnionTree& tree, int index) {
    if (index >= 0)
        __builtin_prefetch(&tree.entries[tree.nodes[index].first]);
    else
        for (int line = 0; line < 3; ++line)  // the object record and the primitive's fields after it
            __builtin_prefetch(reinterpret_cast<const char*>(tree.members[~index]) + 64 * line);
}

template <int CLASS>
void push_met_entries(const UnionTree& tree, const TreeNode& node, const Ray& ray, std::vector<Pending>& pending) {
    Pending met[std::max(BRANCHES, LEAF_MEMBERS)];
    int count = 0;
    for (int i = node.first; i < node.first + node.count; ++i) {
        const TreeEntry& entry = tree.entries[i];
        if (!countRegionTest(rayMeetsBox<CLASS>(ray, entry.lower, entry.upper))) continue;
        prefetch_child(tree, entry.index);
        const Pending p{entry.index, entry_distance(ray, entry)};
        int j = count++;
        for (; j > 0 && met[j - 1].distance < p.distance; --j) met[j] = met[j - 1];
        met[j] = p;
    }
    pending.insert(pending.end(), met, met + count);
}

using PushMetEntries = void (*)(const UnionTree&, const TreeNode&, const Ray&, std::vector<Pending>&);
constexpr PushMetEntries pushMetEntries[8] = {push_met_entries<0>, push_met_entries<1>, push_met_entries<2>,
                                              push_met_entries<3>, push_met_entries<4>, push_met_entries<5>,
                                              push_met_entries<6>, push_met_entries<7>};

// The walk list of a tree query. A member of a tree may hold another tree, so each thread
// keeps one list per nesting level; once they have grown, no ray allocates.
class PendingList {
public:
    explicit PendingList(const UnionTree& tree) {
        if (lists.size() <= level) lists.emplace_back();  // a deque: the outer lists stay put
        list_ = &lists[level++];
        list_->clear();
        list_->reserve(static_cast<std::size_t>(tree.depth) * std::max(BRANCHES, LEAF_MEMBERS) + 1);
        list_->push_back({0, -NO_LIMIT});  // the root
    }
    ~PendingList() { --level; }
    PendingList(const PendingList&) = delete;
    PendingList& operator=(const PendingList&) = delete;

    std::vector<Pending>& operator*() { return *list_; }

private:
    static thread_local std::deque<std::vector<Pending>> lists;
    static thread_local std::size_t level;
    std::vector<Pending>* list_;
};

thread_local std::deque<std::vector<Pending>> PendingList::lists;
thread_local std::size_t PendingList::level = 0;

// The member's spans; its query begins by testing its box, which the walk has found the ray
// to meet (see Ray::boxJustMet).
int member_spans(const UnionTree& tree, int index, const Ray& ray, IntersectionStack* stack) {
    Object* member = tree.members[~index];
    ray.boxJustMet = &member->bounds;
    return member->methods->intersect(member, ray, stack);
}

// All spans, in members order.
int tree_spans(Object* object, const Ray& ray, IntersectionStack* stack) {
    if (!rayBoxTest(ray, object->bounds)) return 0;
    ++stats.csgUnionTests;
    const auto& tree = static_cast<const UnionTree&>(*object);
    PendingList list(tree);
    std::vector<Pending>& pending = *list;
    int sum = 0;
    while (!pending.empty()) {
        const int index = pending.back().index;
        pending.pop_back();
        if (index < 0) {
            sum += member_spans(tree, index, ray, stack);
            continue;
        }
        const TreeNode& node = tree.nodes[index];
        for (int i = node.first + node.count - 1; i >= node.first; --i)
            if (countRegionTest(rayMeetsCorners(ray, tree.entries[i].lower, tree.entries[i].upper)))
                pending.push_back({tree.entries[i].index, 0});
    }
    if (sum == 0) return 0;
    ++stats.csgUnionHits;
    return sum;
}

Vector3* tree_normal(Vector3* out, const Hit&) {
    *out = {0, 0, 1};
    return out;
}

Object* copy_tree(Object*) { return nullptr; }

// Each member is freed by its scene, the tree by itself.
void destroy_tree(Object* object) { delete static_cast<UnionTree*>(object); }

// The boxes again from the members' boxes, deepest nodes first (a node's children come after
// it in the array).
void refit(UnionTree& tree) {
    for (int n = static_cast<int>(tree.nodes.size()) - 1; n >= 0; --n) {
        const TreeNode& node = tree.nodes[n];
        for (int i = node.first; i < node.first + node.count; ++i) {
            TreeEntry& entry = tree.entries[i];
            const Box box = entry.index < 0 ? box_of(tree.members[~entry.index])
                                            : enclosing_entries(tree, tree.nodes[entry.index]);
            entry.lower = box.lower;
            entry.upper = box.upper;
        }
    }
    set_bounds(&tree, enclosing_entries(tree, tree.nodes[0]));
}

template <typename Apply>
void transform_members(Object* object, Apply apply) {
    auto& tree = static_cast<UnionTree&>(*object);
    for (Object* member : tree.members) apply(member);
    refit(tree);
}

void translate_tree(Object* object, const Vector3& v, const Transformation& t) {
    transform_members(object, [&](Object* m) { m->methods->translate(m, v, t); });
}

void rotate_tree(Object* object, const Vector3& v, const Transformation& t) {
    transform_members(object, [&](Object* m) { m->methods->rotate(m, v, t); });
}

void scale_tree(Object* object, const Vector3& v, const Transformation& t) {
    transform_members(object, [&](Object* m) { m->methods->scale(m, v, t); });
}

void transform_tree(Object* object, const Transformation& t) {
    transform_members(object, [&](Object* m) { m->methods->transform(m, t); });
}

}  // namespace

const ObjectMethods UnionTreeMethods = {
    .intersect = tree_spans,
    .normal = tree_normal,
    .copy = copy_tree,
    .translate = translate_tree,
    .rotate = rotate_tree,
    .scale = scale_tree,
    .transform = transform_tree,
    .destroy = destroy_tree,
    .prepare = nullptr,
};

namespace {

// Asks the members whose boxes the ray meets for their spans, nearest box first, leaving out
// boxes that begin beyond limit (read again after every member: visiting one may lower it).
// visit(place of the member, whether it reported, its spans) returns true to end the walk.
// Counts the tree's union test; the caller counts its hit.
template <class VisitMember>
void walk_nearest_first(UnionTree& tree, const Ray& ray, const double& limit, VisitMember visit) {
    ++stats.csgUnionTests;
    const PushMetEntries push = pushMetEntries[ray.classification & 7];
    PendingList list(tree);
    std::vector<Pending>& pending = *list;
    IntersectionStack* spans = acquireStack();
    bool done = false;
    while (!pending.empty() && !done) {
        const Pending next = pending.back();
        pending.pop_back();
        if (beyond(next.distance, limit)) continue;
        if (next.index >= 0) {
            push(tree, tree.nodes[next.index], ray, pending);
            continue;
        }
        spans->count = 0;
        const bool reported = member_spans(tree, next.index, ray, spans) != 0;
        done = visit(~next.index, reported, *spans);
    }
    spans->count = 0;
    releaseStack(spans);
}

}  // namespace

bool nearestInTree(UnionTree* tree, const Ray& ray, Intersection& nearest, double& nearestDistance, long& order,
                   long base) {
    if (!rayBoxTest(ray, tree->bounds)) return false;
    bool reported = false;
    walk_nearest_first(*tree, ray, nearestDistance, [&](int member, bool memberReported, const IntersectionStack& spans) {
        if (!memberReported) return false;
        reported = true;
        // Of equal distances the span latest in the caller's order wins; one member's spans
        // come in the order it pushed them.
        const long place = base + member;
        for (int i = 0; i < spans.count; ++i) {
            const double distance = visibleDistance(spans.records[i]);
            if (distance < nearestDistance || (distance == nearestDistance && distance < NO_LIMIT && place >= order)) {
                nearest = spans.records[i];
                nearestDistance = distance;
                order = place;
            }
        }
        return false;
    });
    if (reported) ++stats.csgUnionHits;
    return reported;
}

bool treeBlocksLight(UnionTree* tree, const Ray& ray, double distance) {
    if (!rayBoxTest(ray, tree->bounds)) return false;
    bool blocked = false;
    walk_nearest_first(*tree, ray, distance, [&](int, bool, const IntersectionStack& spans) {
        for (int i = 0; i < spans.count && !blocked; ++i) blocked = spanBlocks(spans.records[i], distance);
        return blocked;
    });
    if (blocked) ++stats.csgUnionHits;
    return blocked;
}
