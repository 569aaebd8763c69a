#include "editor/transitionlayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "export/diagrampainter.h"
#include "model/staterecord.h"
#include "model/transitionrecord.h"

namespace tarvel {

namespace {

// Candidate spots lie on a lattice of this step around the middle.
constexpr float STEP = 90;
// How far from the middle a spot may lie, in steps.
constexpr int REACH = 45;
// Two stretches of line closer than this and more parallel than the angle
// below are drawn on top of each other when they share this much length.
constexpr float SAME_LINE_DISTANCE = 40;
constexpr float SAME_LINE_SINE = 0.05f;  // about 3 degrees
constexpr float SAME_LINE_OVERLAP = 90;
// How far apart a self loop's two links leave their state: this share of the
// state's width (or height) on each side of the way to the node.
constexpr float LOOP_SPREAD = 0.3f;

// ------------------------------------------------------------ geometry

RectF rectAround(PointF c, float w, float h) {
    return {c.x - w / 2, c.y - h / 2, w, h};
}

RectF outline(const Node& n) {
    return normalisedRect({n.NodeLeft(), n.NodeTop()},
                          {n.NodeLeft() + n.NodeWidth(), n.NodeTop() + n.NodeHeight()});
}

// Overlap with an area, not just a shared edge.
bool overlaps(const RectF& a, const RectF& b) {
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

bool strictlyInside(const RectF& r, PointF p) {
    return p.x > r.left && p.x < r.right() && p.y > r.top && p.y < r.bottom();
}

float cross(PointF o, PointF a, PointF b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// The part [t0, t1] of the segment p + t (q - p), 0 <= t <= 1, that lies in
// the rectangle; false when none does (Liang-Barsky).
bool clipToRect(PointF p, PointF q, const RectF& r, float& t0, float& t1) {
    const float dx = q.x - p.x;
    const float dy = q.y - p.y;
    t0 = 0;
    t1 = 1;
    const float ps[] = {-dx, dx, -dy, dy};
    const float qs[] = {p.x - r.left, r.right() - p.x, p.y - r.top, r.bottom() - p.y};
    for (int i = 0; i < 4; ++i) {
        if (ps[i] == 0) {
            if (qs[i] < 0) {
                return false;
            }
            continue;
        }
        const float t = qs[i] / ps[i];
        if (ps[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    return t0 < t1;
}

// The segment passes through the inside of the rectangle (not only along an edge).
bool segmentCrossesRect(PointF p, PointF q, const RectF& r) {
    float t0 = 0;
    float t1 = 0;
    if (!clipToRect(p, q, r, t0, t1)) {
        return false;
    }
    const PointF m{p.x + (q.x - p.x) * (t0 + t1) / 2, p.y + (q.y - p.y) * (t0 + t1) / 2};
    return strictlyInside(r, m);
}

bool triangleCrossesRect(const std::vector<PointF>& tri, const RectF& r) {
    for (const PointF& p : tri) {
        if (strictlyInside(r, p)) {
            return true;
        }
    }
    for (std::size_t i = 0; i < tri.size(); ++i) {
        if (segmentCrossesRect(tri[i], tri[(i + 1) % tri.size()], r)) {
            return true;
        }
    }
    // The rectangle lies wholly inside the triangle.
    const PointF c = r.centre();
    const float a = cross(tri[0], tri[1], c);
    const float b = cross(tri[1], tri[2], c);
    const float d = cross(tri[2], tri[0], c);
    return (a > 0 && b > 0 && d > 0) || (a < 0 && b < 0 && d < 0);
}

RectF boundsOf(PointF a, PointF b) {
    return normalisedRect(a, b);
}

RectF boundsOf(const std::vector<PointF>& pts) {
    RectF r = boundsOf(pts.front(), pts.front());
    for (const PointF& p : pts) {
        r = unite(r, boundsOf(p, p));
    }
    return r;
}

struct Segment {
    PointF a;
    PointF b;
};

bool onOneLine(const Segment& s, const Segment& t) {
    const float dx = s.b.x - s.a.x;
    const float dy = s.b.y - s.a.y;
    const float len = std::hypot(dx, dy);
    const float tdx = t.b.x - t.a.x;
    const float tdy = t.b.y - t.a.y;
    const float tlen = std::hypot(tdx, tdy);
    if (len < SAME_LINE_OVERLAP || tlen < SAME_LINE_OVERLAP) {
        return false;
    }
    const float ux = dx / len;
    const float uy = dy / len;
    if (std::fabs(ux * tdy / tlen - uy * tdx / tlen) > SAME_LINE_SINE) {
        return false;
    }
    auto off = [&](PointF p) { return std::fabs((p.x - s.a.x) * uy - (p.y - s.a.y) * ux); };
    if (off(t.a) > SAME_LINE_DISTANCE || off(t.b) > SAME_LINE_DISTANCE) {
        return false;
    }
    auto along = [&](PointF p) { return (p.x - s.a.x) * ux + (p.y - s.a.y) * uy; };
    const float lo = std::max(0.0f, std::min(along(t.a), along(t.b)));
    const float hi = std::min(len, std::max(along(t.a), along(t.b)));
    return hi - lo > SAME_LINE_OVERLAP;
}

bool isDrawn(const Node& n) {
    return isPaintedNode(n, PaintOptions{});
}

// The polyline of a link as drawn when its origin and target stood at the
// given rectangles: the points, the ends cut where the line leaves the origin
// and enters the target.
std::vector<Segment> visibleSegments(const std::vector<PointF>& pts, const RectF& origin,
                                     const RectF& target) {
    std::vector<Segment> out;
    if (pts.size() < 2) {
        return out;
    }
    std::vector<PointF> line = pts;
    float t0 = 0;
    float t1 = 0;
    // Leave the origin along the first segment that reaches outside it.
    std::size_t first = 0;
    while (first + 1 < line.size() && strictlyInside(origin, line[first + 1])) {
        ++first;
    }
    if (first + 1 >= line.size()) {
        return out;
    }
    if (clipToRect(line[first], line[first + 1], origin, t0, t1) && t0 <= 0) {
        const PointF a = line[first];
        const PointF b = line[first + 1];
        line[first] = {a.x + (b.x - a.x) * t1, a.y + (b.y - a.y) * t1};
    }
    std::size_t last = line.size() - 1;
    while (last > first + 1 && strictlyInside(target, line[last - 1])) {
        --last;
    }
    if (clipToRect(line[last - 1], line[last], target, t0, t1) && t1 >= 1) {
        const PointF a = line[last - 1];
        const PointF b = line[last];
        line[last] = {a.x + (b.x - a.x) * t0, a.y + (b.y - a.y) * t0};
    }
    for (std::size_t i = first; i < last; ++i) {
        out.push_back({line[i], line[i + 1]});
    }
    return out;
}

std::vector<Segment> segmentsOf(const std::vector<PointF>& pts) {
    std::vector<Segment> out;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        out.push_back({pts[i], pts[i + 1]});
    }
    return out;
}

// ------------------------------------------------------------ the scene

// What a transition node must keep clear of, in a grid of cells so that a
// spot is checked against what lies near it only.
class Scene {
public:
    explicit Scene(const Diagram& diagram) {
        for (const auto& n : diagram.NodeList()) {
            if (isDrawn(*n)) {
                addNode(*n);
            }
        }
        for (const auto& l : diagram.Links()) {
            if (isDrawn(*l->LinkOrigin()) && isDrawn(*l->LinkTarget())) {
                addLink(*l);
            }
        }
    }

    // The node and its links changed place: their entries are made anew.
    void update(const Node& node) {
        auto bury = [&](const void* owner) {
            const auto it = m_byOwner.find(owner);
            if (it == m_byOwner.end()) {
                return;
            }
            for (int i : it->second) {
                m_items[static_cast<std::size_t>(i)].dead = true;
            }
            m_byOwner.erase(it);
        };
        bury(&node);
        for (const Link* l : node.NodeInLinks()) {
            bury(l);
        }
        for (const Link* l : node.NodeOutLinks()) {
            bury(l);
        }
        addNode(node);
        for (const Link* l : node.NodeInLinks()) {
            addLink(*l);
        }
        for (const Link* l : node.NodeOutLinks()) {
            addLink(*l);
        }
    }

    bool covers(const Node& node) const {
        const RectF r = outline(node);
        bool found = false;
        visit(r, [&](const Item& item) {
            if (item.node == &node) {
                return;
            }
            if (item.kind == Kind::Node) {
                found = found || overlaps(item.rect, r);
            } else if (item.kind == Kind::Arrow && item.link->LinkTarget() != &node) {
                found = found || triangleCrossesRect(item.triangle, r);
            }
        });
        return found;
    }

    // Whether the transition node fits at `r` with its links drawn as given.
    // At level 0 it also keeps off other lines and its links pass no other
    // node; level 1 asks only for what must hold.
    bool accepts(const Node& transition, const RectF& r, const std::vector<Segment>& ownLinks,
                 const Node* source, const Node* target, int level) const {
        if (r.left < 0 || r.top < 0) {
            return false;
        }
        bool ok = true;
        visit(inflated(r, LABEL_GAP), [&](const Item& item) {
            if (!ok || item.node == &transition || owns(item, transition)) {
                return;
            }
            if (item.kind == Kind::Node) {
                ok = !overlaps(item.clearance, r);
            } else if (item.kind == Kind::Arrow) {
                ok = !triangleCrossesRect(item.triangle, r);
            } else if (level == 0) {
                ok =
                    !segmentCrossesRect(item.segment.a, item.segment.b, inflated(r, LABEL_GAP / 2));
            }
        });
        if (!ok) {
            return false;
        }
        for (const Segment& s : ownLinks) {
            visit(boundsOf(s.a, s.b), [&](const Item& item) {
                if (!ok || item.node == &transition || owns(item, transition)) {
                    return;
                }
                if (item.kind == Kind::Line) {
                    ok = !onOneLine(item.segment, s) && !onOneLine(s, item.segment);
                } else if (item.kind == Kind::Node && level == 0 && item.node != source &&
                           item.node != target) {
                    ok = !segmentCrossesRect(s.a, s.b, item.rect);
                }
            });
            if (!ok) {
                return false;
            }
        }
        return true;
    }

private:
    enum class Kind { Node, Arrow, Line };
    struct Item {
        Kind kind;
        RectF rect;       // the node, or the bounds of the arrow or line
        RectF clearance;  // the node with the room it keeps around it
        const Node* node = nullptr;
        const Link* link = nullptr;
        std::vector<PointF> triangle;
        Segment segment;
        bool dead = false;
    };

    static constexpr float CELL = 1500;

    static bool touches(const Link& l, const Node& n) {
        return l.LinkOrigin() == &n || l.LinkTarget() == &n;
    }
    static bool owns(const Item& item, const Node& n) {
        return item.link != nullptr && touches(*item.link, n);
    }

    static std::int64_t key(int x, int y) {
        return (static_cast<std::int64_t>(x) << 32) ^ static_cast<std::uint32_t>(y);
    }

    void add(Item item, const RectF& area) {
        const int index = static_cast<int>(m_items.size());
        const void* owner = item.node != nullptr ? static_cast<const void*>(item.node)
                                                 : static_cast<const void*>(item.link);
        m_byOwner[owner].push_back(index);
        m_items.push_back(std::move(item));
        forCells(area, [&](std::int64_t k) { m_cells[k].push_back(index); });
    }

    template <typename F>
    void forCells(const RectF& r, F f) const {
        const int x0 = static_cast<int>(std::floor(r.left / CELL));
        const int x1 = static_cast<int>(std::floor(r.right() / CELL));
        const int y0 = static_cast<int>(std::floor(r.top / CELL));
        const int y1 = static_cast<int>(std::floor(r.bottom() / CELL));
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                f(key(x, y));
            }
        }
    }

    template <typename F>
    void visit(const RectF& r, F f) const {
        ++m_stamp;
        if (m_seen.size() < m_items.size()) {
            m_seen.resize(m_items.size(), 0);
        }
        forCells(r, [&](std::int64_t k) {
            const auto it = m_cells.find(k);
            if (it == m_cells.end()) {
                return;
            }
            for (int i : it->second) {
                const auto u = static_cast<std::size_t>(i);
                if (m_seen[u] == m_stamp || m_items[u].dead) {
                    continue;
                }
                m_seen[u] = m_stamp;
                f(m_items[u]);
            }
        });
    }

    void addNode(const Node& n) {
        Item item;
        item.kind = Kind::Node;
        item.node = &n;
        item.rect = outline(n);
        item.clearance = inflated(item.rect, isState(n) ? STATE_CLEARANCE : LABEL_GAP);
        const RectF area = item.clearance;
        add(std::move(item), area);
    }

    void addLink(const Link& l) {
        const std::vector<PointF> pts = visibleLinkPoints(l);
        for (const Segment& s : segmentsOf(pts)) {
            Item item;
            item.kind = Kind::Line;
            item.link = &l;
            item.segment = s;
            item.rect = boundsOf(s.a, s.b);
            const RectF area = item.rect;
            add(std::move(item), area);
        }
        std::vector<PointF> head = arrowHeadOf(l);
        if (!head.empty()) {
            Item item;
            item.kind = Kind::Arrow;
            item.link = &l;
            item.rect = boundsOf(head);
            item.triangle = std::move(head);
            const RectF area = item.rect;
            add(std::move(item), area);
        }
    }

    std::vector<Item> m_items;
    std::unordered_map<std::int64_t, std::vector<int>> m_cells;
    std::unordered_map<const void*, std::vector<int>> m_byOwner;
    mutable std::vector<unsigned> m_seen;
    mutable unsigned m_stamp = 0;
};

// ------------------------------------------------------------ candidates

struct Ends {
    Node* source = nullptr;
    Node* target = nullptr;
    Link* in = nullptr;
    Link* out = nullptr;
};

Ends endsOf(Node& t) {
    Ends e;
    if (!t.NodeInLinks().empty()) {
        e.in = t.NodeInLinks().front();
        e.source = e.in->LinkOrigin();
    }
    if (!t.NodeOutLinks().empty()) {
        e.out = t.NodeOutLinks().front();
        e.target = e.out->LinkTarget();
    }
    return e;
}

// How a transition node's two links run to it.
enum class Route {
    Straight,  // from the states' centres straight to the node (bends kept)
    Parallel,  // beside another transition between the same states: each
               // link bends at its state, shifted as far as the node is
               // from the line between the states, so the two transitions
               // run on parallel lines
    Loop,      // a self transition: both links leave the state apart, like a tent
};

// Another transition joins the same two states, in either direction.
bool hasSibling(const Node& t, const Ends& e) {
    for (const Link* l : e.source->NodeOutLinks()) {
        const Node* other = l->LinkTarget();
        if (other != &t && isTransition(*other) && targetState(*other) == e.target) {
            return true;
        }
    }
    for (const Link* l : e.target->NodeOutLinks()) {
        const Node* other = l->LinkTarget();
        if (other != &t && isTransition(*other) && targetState(*other) == e.source) {
            return true;
        }
    }
    return false;
}

Route routeOf(const Node& t, const Ends& e) {
    if (e.source == e.target) {
        return Route::Loop;
    }
    return hasSibling(t, e) ? Route::Parallel : Route::Straight;
}

// The points of the two links of a transition node centred at `c`.
std::pair<std::vector<PointF>, std::vector<PointF>> routeTo(const Ends& e, PointF c, Route route) {
    std::vector<PointF> in = e.in->LinkPoints();
    std::vector<PointF> out = e.out->LinkPoints();
    const PointF a = e.source->centre();
    const PointF b = e.target->centre();
    switch (route) {
        case Route::Straight:
            in.back() = c;
            out.front() = c;
            return {in, out};
        case Route::Parallel: {
            float ux = b.x - a.x;
            float uy = b.y - a.y;
            const float len = std::hypot(ux, uy);
            if (len <= 0) {
                return {{a, c}, {c, b}};
            }
            ux /= len;
            uy /= len;
            // The node's distance from the line, across it.
            const float offset = (c.x - a.x) * -uy + (c.y - a.y) * ux;
            if (std::fabs(offset) < 1) {
                return {{a, c}, {c, b}};
            }
            const PointF shift{-uy * offset, ux * offset};
            return {{a, {a.x + shift.x, a.y + shift.y}, c}, {c, {b.x + shift.x, b.y + shift.y}, b}};
        }
        case Route::Loop: {
            float dx = c.x - a.x;
            float dy = c.y - a.y;
            const float len = std::hypot(dx, dy);
            if (len <= 0) {
                dx = 0;
                dy = -1;
            } else {
                dx /= len;
                dy /= len;
            }
            // Across the way to the node, a third of the state on each side.
            const float nx = -dy;
            const float ny = dx;
            const RectF s = outline(*e.source);
            const float spread = (std::fabs(nx) * s.width + std::fabs(ny) * s.height) * LOOP_SPREAD;
            // The bends stay inside the state, so only the two lines from its
            // outline to the node show.
            const RectF inner = inflated(s, -std::min(s.width, s.height) * 0.2f);
            auto inside = [&](float x, float y) {
                return PointF{std::clamp(x, inner.left, std::max(inner.left, inner.right())),
                              std::clamp(y, inner.top, std::max(inner.top, inner.bottom()))};
            };
            return {{a, inside(a.x - nx * spread, a.y - ny * spread), c},
                    {c, inside(a.x + nx * spread, a.y + ny * spread), a}};
        }
    }
    return {in, out};
}

// The links of a transition node at `r`, as they would be drawn.
std::vector<Segment> ownLinksAt(const Ends& e, const RectF& r, Route route) {
    std::vector<Segment> out;
    if (e.in == nullptr || e.out == nullptr) {
        return out;
    }
    const auto [in, way] = routeTo(e, r.centre(), route);
    for (const Segment& s : visibleSegments(in, outline(*e.source), r)) {
        out.push_back(s);
    }
    for (const Segment& s : visibleSegments(way, r, outline(*e.target))) {
        out.push_back(s);
    }
    return out;
}

void applyRoute(Node& t, Route route) {
    const Ends e = endsOf(t);
    if (e.in == nullptr || e.out == nullptr || route == Route::Straight) {
        return;
    }
    auto [in, out] = routeTo(e, t.centre(), route);
    for (auto* pts : {&in, &out}) {
        for (PointF& p : *pts) {
            p = {std::max(p.x, 0.0f), std::max(p.y, 0.0f)};
        }
    }
    e.in->setLinkPoints(std::move(in));
    e.out->setLinkPoints(std::move(out));
}

struct Candidate {
    PointF centre;
    float cost;
};

// Spots between two states: on a lattice around the middle, nearest first,
// a step along the line costing a little less than a step across it (the
// links then stay straight).
std::vector<Candidate> spotsBetween(PointF a, PointF b) {
    std::vector<Candidate> out;
    const PointF mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
    float ux = b.x - a.x;
    float uy = b.y - a.y;
    const float len = std::hypot(ux, uy);
    if (len > 0) {
        ux /= len;
        uy /= len;
    } else {
        ux = 1;
        uy = 0;
    }
    const float nx = -uy;
    const float ny = ux;
    const int along = std::min(REACH, static_cast<int>(len / 2 / STEP));
    out.reserve(static_cast<std::size_t>((2 * along + 1) * (2 * REACH + 1)));
    for (int i = -along; i <= along; ++i) {
        for (int k = -REACH; k <= REACH; ++k) {
            const float da = static_cast<float>(i) * STEP;
            const float dn = static_cast<float>(k) * STEP;
            // Across to the right of the way first, so transitions in
            // opposite directions between two states take opposite sides.
            const float side = k > 0 ? 0 : 1;
            out.push_back({{mid.x + ux * da + nx * dn, mid.y + uy * da + ny * dn},
                           0.8f * da * da + dn * dn + side});
        }
    }
    return out;
}

// Spots around a state for its self transition: rings of growing distance,
// starting above the state and going round clockwise.
std::vector<Candidate> spotsAround(const Node& state, float w, float h) {
    std::vector<Candidate> out;
    const RectF s = outline(state);
    for (int ring = 0; ring <= REACH / 2; ++ring) {
        const float m = STATE_CLEARANCE + LABEL_GAP + static_cast<float>(ring) * STEP;
        const RectF e{s.left - m - w / 2, s.top - m - h / 2, s.width + 2 * m + w,
                      s.height + 2 * m + h};
        const float perimeter = 2 * (e.width + e.height);
        const int samples = std::max(8, static_cast<int>(perimeter / STEP));
        for (int i = 0; i < samples; ++i) {
            // Walk clockwise from the middle of the top edge.
            float d = static_cast<float>(i) * perimeter / static_cast<float>(samples);
            PointF p;
            const float halfTop = e.width / 2;
            if (d < halfTop) {
                p = {e.left + e.width / 2 + d, e.top};
            } else if ((d -= halfTop) < e.height) {
                p = {e.right(), e.top + d};
            } else if ((d -= e.height) < e.width) {
                p = {e.right() - d, e.bottom()};
            } else if ((d -= e.width) < e.height) {
                p = {e.left, e.bottom() - d};
            } else {
                d -= e.height;
                p = {e.left + d, e.top};
            }
            // Corners read worse than the middle of an edge.
            const float fromTop = static_cast<float>(std::min(i, samples - i));
            out.push_back({p, static_cast<float>(ring) * 1e6f + fromTop});
        }
    }
    return out;
}

void moveCentreTo(Node& node, PointF c) {
    RectF r = node.rect();
    r.left = c.x - r.width / 2;
    r.top = c.y - r.height / 2;
    node.setRect(r);
}

bool place(Scene& scene, Node& t, std::optional<PointF> preferred) {
    const Ends e = endsOf(t);
    if (e.source == nullptr || e.target == nullptr || !isDrawn(t)) {
        return false;
    }
    const bool selfLoop = e.source == e.target;
    const Route route = routeOf(t, e);
    const float w = t.NodeWidth();
    const float h = t.NodeHeight();
    std::vector<Candidate> spots = selfLoop ? spotsAround(*e.source, w, h)
                                            : spotsBetween(e.source->centre(), e.target->centre());
    std::stable_sort(spots.begin(), spots.end(),
                     [](const Candidate& a, const Candidate& b) { return a.cost < b.cost; });
    if (preferred) {
        spots.insert(spots.begin(), {*preferred, 0});
    }
    for (int level = 0; level < 2; ++level) {
        for (const Candidate& c : spots) {
            // A spot past the canvas's top or left edge moves in onto it.
            const PointF centre{std::max(c.centre.x, w / 2), std::max(c.centre.y, h / 2)};
            const RectF r = rectAround(centre, w, h);
            if (scene.accepts(t, r, ownLinksAt(e, r, route), e.source, e.target, level)) {
                moveCentreTo(t, centre);
                applyRoute(t, route);
                scene.update(t);
                return true;
            }
        }
    }
    return false;
}

}  // namespace

bool coversSomething(const Diagram& diagram, const Node& node) {
    return Scene(diagram).covers(node);
}

bool placeTransitionNode(Diagram& diagram, Node& transition, std::optional<PointF> preferred) {
    Scene scene(diagram);
    return place(scene, transition, preferred);
}

int arrangeTransitionLabels(Diagram& diagram, const std::vector<Node*>& nodes) {
    std::vector<Node*> todo = nodes;
    if (todo.empty()) {
        for (const auto& n : diagram.NodeList()) {
            todo.push_back(n.get());
        }
    }
    Scene scene(diagram);
    int moved = 0;
    for (Node* n : todo) {
        if (isTransition(*n) && isDrawn(*n) && scene.covers(*n) && place(scene, *n, std::nullopt)) {
            ++moved;
        }
    }
    return moved;
}

std::vector<Node*> transitionNodesAt(const Node& state) {
    std::vector<Node*> out;
    for (const Link* l : state.NodeOutLinks()) {
        if (isTransition(*l->LinkTarget())) {
            out.push_back(l->LinkTarget());
        }
    }
    for (const Link* l : state.NodeInLinks()) {
        Node* t = l->LinkOrigin();
        if (isTransition(*t) && std::find(out.begin(), out.end(), t) == out.end()) {
            out.push_back(t);
        }
    }
    return out;
}

std::vector<Node*> transitionsAround(const Diagram& diagram, Node& node) {
    std::vector<Node*> out;
    auto add = [&](Node* t) {
        if (t != nullptr && std::find(out.begin(), out.end(), t) == out.end()) {
            out.push_back(t);
        }
    };
    if (isTransition(node)) {
        add(&node);
        for (Node* state : {sourceState(node), targetState(node)}) {
            if (state != nullptr) {
                for (Node* t : transitionNodesAt(*state)) {
                    add(t);
                }
            }
        }
    } else {
        for (Node* t : transitionNodesAt(node)) {
            add(t);
        }
    }
    const RectF r = outline(node);
    for (const auto& n : diagram.NodeList()) {
        if (isTransition(*n) && overlaps(outline(*n), r)) {
            add(n.get());
        }
    }
    return out;
}

void shapeSelfLoop(Node& transition) {
    const Ends e = endsOf(transition);
    if (e.source != nullptr && e.source == e.target) {
        applyRoute(transition, Route::Loop);
    }
}

std::vector<Node*> nodesMovingWithSelection(const Diagram& diagram) {
    std::unordered_set<const Node*> moving;
    for (const auto& n : diagram.NodeList()) {
        if (n->NodeSelected() && isDrawn(*n)) {
            moving.insert(n.get());
        }
    }
    std::vector<Node*> out;
    for (const auto& n : diagram.NodeList()) {
        Node* node = n.get();
        if (moving.count(node) != 0) {
            out.push_back(node);
            continue;
        }
        if (!isTransition(*node) || !isDrawn(*node)) {
            continue;
        }
        const Node* source = sourceState(*node);
        const Node* target = targetState(*node);
        if (source != nullptr && target != nullptr && moving.count(source) != 0 &&
            moving.count(target) != 0) {
            out.push_back(node);
        }
    }
    return out;
}

std::vector<std::pair<const Node*, const Node*>> overlappingNodes(const Diagram& diagram) {
    std::vector<const Node*> nodes;
    for (const auto& n : diagram.NodeList()) {
        if (isDrawn(*n)) {
            nodes.push_back(n.get());
        }
    }
    std::sort(nodes.begin(), nodes.end(),
              [](const Node* a, const Node* b) { return outline(*a).left < outline(*b).left; });
    std::vector<std::pair<const Node*, const Node*>> out;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const RectF a = outline(*nodes[i]);
        for (std::size_t j = i + 1; j < nodes.size(); ++j) {
            const RectF b = outline(*nodes[j]);
            if (b.left >= a.right()) {
                break;
            }
            if (overlaps(a, b)) {
                out.emplace_back(nodes[i], nodes[j]);
            }
        }
    }
    return out;
}

std::vector<std::pair<const Link*, const Link*>> linksOnOneLine(const Diagram& diagram) {
    struct Drawn {
        const Link* link;
        std::vector<Segment> segments;
        RectF bounds;
    };
    std::vector<Drawn> drawn;
    for (const auto& l : diagram.Links()) {
        if (!isDrawn(*l->LinkOrigin()) || !isDrawn(*l->LinkTarget())) {
            continue;
        }
        const std::vector<PointF> pts = visibleLinkPoints(*l);
        if (pts.size() >= 2) {
            drawn.push_back({l.get(), segmentsOf(pts), boundsOf(pts)});
        }
    }
    std::vector<std::pair<const Link*, const Link*>> out;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        for (std::size_t j = i + 1; j < drawn.size(); ++j) {
            if (!intersects(inflated(drawn[i].bounds, SAME_LINE_DISTANCE), drawn[j].bounds)) {
                continue;
            }
            bool same = false;
            for (const Segment& s : drawn[i].segments) {
                for (const Segment& t : drawn[j].segments) {
                    same = same || onOneLine(s, t) || onOneLine(t, s);
                }
            }
            if (same) {
                out.emplace_back(drawn[i].link, drawn[j].link);
            }
        }
    }
    return out;
}

}  // namespace tarvel
