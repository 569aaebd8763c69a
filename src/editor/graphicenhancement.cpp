#include "editor/graphicenhancement.h"

#include <cmath>

#include "model/document.h"

namespace tarvel {

namespace {

class NoRepaint {
public:
    explicit NoRepaint(Diagram& d) : m_d(d) { m_d.setRepaintEnabled(false); }
    ~NoRepaint() { m_d.setRepaintEnabled(true); }

private:
    Diagram& m_d;
};

bool contains(const Diagram& d, const Node* n) {
    for (const auto& p : d.NodeList()) {
        if (p.get() == n) {
            return true;
        }
    }
    return false;
}

}  // namespace

void clsGraphicEnhancement::MagnifyEmptyTransition(Node* node) {
    if (node == nullptr || !node->NodeText().empty()) {
        return;
    }
    KeepChangedFlag keep(m_doc.diagram());
    const float left = node->NodeLeft() - MAGNIFY_SHIFT_X;
    const float top = node->NodeTop() - MAGNIFY_SHIFT_Y;
    node->setRect({left > 0 ? left : 0, top > 0 ? top : 0, MAGNIFIED_WIDTH, MAGNIFIED_HEIGHT});
    m_magnified = node;
}

void clsGraphicEnhancement::UnMagnifyEmptyTransition() {
    if (m_magnified == nullptr) {
        return;
    }
    Node* node = m_magnified;
    m_magnified = nullptr;
    // The node may have been deleted since it was magnified.
    if (!contains(m_doc.diagram(), node)) {
        return;
    }
    KeepChangedFlag keep(m_doc.diagram());
    // The shift back is not clamped: a node clamped at 0 comes back displaced.
    node->setRect({node->NodeLeft() + MAGNIFY_SHIFT_X, node->NodeTop() + MAGNIFY_SHIFT_Y,
                   MIN_WIDTH, MIN_HEIGHT});
}

void clsGraphicEnhancement::AdjustAllNodeSizes(Diagram& diagram) {
    for (const auto& n : diagram.NodeList()) {
        AdjustSize(*n);
    }
}

void clsGraphicEnhancement::OrtogonalizeLinks(std::vector<PointF>& points) {
    if (points.size() != 3) {
        return;
    }
    // The middle point moves only when exactly one coordinate snaps; snapping
    // both would drop it onto the end point.
    auto snapTo = [&](const PointF& anchor) {
        PointF middle = points[1];
        int changed = 0;
        if (std::fabs(anchor.x - middle.x) < SNAP_DISTANCE) {
            middle.x = anchor.x;
            ++changed;
        }
        if (std::fabs(anchor.y - middle.y) < SNAP_DISTANCE) {
            middle.y = anchor.y;
            ++changed;
        }
        if (changed == 1) {
            points[1] = middle;
        }
    };
    snapTo(points[0]);
    snapTo(points[2]);
}

void clsGraphicEnhancement::OrtogonalizeTransitions(Node& node) {
    if (node.NodeInLinks().empty() || node.NodeOutLinks().empty()) {
        return;
    }
    NoRepaint noRepaint(m_doc.diagram());
    auto lineUpWith = [&](const Node& state) {
        const PointF s = state.centre();
        const PointF c = node.centre();
        RectF r = node.rect();
        if (std::fabs(c.x - s.x) < SNAP_DISTANCE) {
            const float left = state.NodeLeft() + (state.NodeWidth() - r.width) / 2;
            r.left = left > 0 ? left : 0;
        }
        if (std::fabs(c.y - s.y) < SNAP_DISTANCE) {
            const float top = state.NodeTop() + (state.NodeHeight() - r.height) / 2;
            r.top = top > 0 ? top : 0;
        }
        node.setRect(r);
    };
    lineUpWith(*node.NodeInLinks().front()->LinkOrigin());
    lineUpWith(*node.NodeOutLinks().front()->LinkTarget());
}

}  // namespace tarvel
