#include "editor/hittest.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "export/diagrampainter.h"

namespace tarvel {

namespace {

bool holds(const RectF& r, PointF p) {
    return p.x >= r.left && p.x <= r.right() && p.y >= r.top && p.y <= r.bottom();
}

RectF outline(const Node& n) {
    return normalisedRect({n.NodeLeft(), n.NodeTop()},
                          {n.NodeLeft() + n.NodeWidth(), n.NodeTop() + n.NodeHeight()});
}

float distance(PointF a, PointF b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

}  // namespace

float distanceToSegment(PointF p, PointF a, PointF b) {
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float len2 = dx * dx + dy * dy;
    if (len2 <= 0) {
        return distance(p, a);
    }
    const float t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0f, 1.0f);
    return distance(p, {a.x + t * dx, a.y + t * dy});
}

Node* nodeAtPoint(const Diagram& diagram, PointF p) {
    const PaintOptions drawn;
    const auto& nodes = diagram.NodeList();
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
        if (isPaintedNode(**it, drawn) && holds(outline(**it), p)) {
            return it->get();
        }
    }
    return nullptr;
}

Link* linkAtPoint(const Diagram& diagram, PointF p, float tolerance) {
    Link* best = nullptr;
    float bestDistance = std::numeric_limits<float>::max();
    const PaintOptions drawn;
    for (const auto& l : diagram.Links()) {
        if (!isPaintedNode(*l->LinkOrigin(), drawn) || !isPaintedNode(*l->LinkTarget(), drawn)) {
            continue;
        }
        // A cheap look at the bounds first: most links are far away.
        if (!holds(inflated(linkPaintBounds(*l, 0), tolerance), p)) {
            continue;
        }
        const std::vector<PointF> pts = visibleLinkPoints(*l);
        for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
            const float d = distanceToSegment(p, pts[i], pts[i + 1]);
            if (d <= tolerance && d < bestDistance) {
                bestDistance = d;
                best = l.get();
            }
        }
    }
    return best;
}

int handleAtPoint(const Node& node, PointF p, float pixel) {
    const std::vector<RectF> handles = nodeHandles(node.rect(), pixel);
    for (std::size_t i = 0; i < handles.size(); ++i) {
        // A pixel of slack around each handle makes them easy to catch.
        if (holds(inflated(handles[i], pixel), p)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int linkPointAtPoint(const Link& link, PointF p, float tolerance) {
    const std::vector<PointF>& all = link.LinkPoints();
    const std::vector<PointF> shown = visibleLinkPoints(link);
    if (all.size() < 2) {
        return -1;
    }
    const PointF first = shown.empty() ? all.front() : shown.front();
    const PointF last = shown.empty() ? all.back() : shown.back();
    // Bend points first: they lie on top of the line's ends when both are close.
    for (std::size_t i = 1; i + 1 < all.size(); ++i) {
        if (distance(p, all[i]) <= tolerance) {
            return static_cast<int>(i);
        }
    }
    if (distance(p, first) <= tolerance) {
        return 0;
    }
    if (distance(p, last) <= tolerance) {
        return static_cast<int>(all.size() - 1);
    }
    return -1;
}

int linkSegmentAtPoint(const Link& link, PointF p, float tolerance) {
    const std::vector<PointF>& pts = link.LinkPoints();
    int best = -1;
    float bestDistance = std::numeric_limits<float>::max();
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        const float d = distanceToSegment(p, pts[i], pts[i + 1]);
        if (d <= tolerance && d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

int pointerHitOfHandle(int handle) {
    switch (handle) {
        case 0:
        case 4:
            return HIT_SIZE_NWSE;
        case 1:
        case 5:
            return HIT_SIZE_NS;
        case 2:
        case 6:
            return HIT_SIZE_NESW;
        case 3:
        case 7:
            return HIT_SIZE_WE;
        default:
            return HIT_NONE;
    }
}

RectF resizedRect(const RectF& r, int handle, float dx, float dy, float minimum) {
    float left = r.left;
    float top = r.top;
    float right = r.right();
    float bottom = r.bottom();
    const bool moveLeft = handle == 0 || handle == 6 || handle == 7;
    const bool moveRight = handle == 2 || handle == 3 || handle == 4;
    const bool moveTop = handle == 0 || handle == 1 || handle == 2;
    const bool moveBottom = handle == 4 || handle == 5 || handle == 6;
    if (moveLeft) {
        left = std::min(left + dx, right - minimum);
    }
    if (moveRight) {
        right = std::max(right + dx, left + minimum);
    }
    if (moveTop) {
        top = std::min(top + dy, bottom - minimum);
    }
    if (moveBottom) {
        bottom = std::max(bottom + dy, top + minimum);
    }
    return {left, top, right - left, bottom - top};
}

float snapToGrid(float value, int step) {
    if (step <= 0) {
        return value;
    }
    return std::round(value / static_cast<float>(step)) * static_cast<float>(step);
}

}  // namespace tarvel
