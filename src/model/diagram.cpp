#include "model/diagram.h"

#include <algorithm>
#include <utility>

namespace tarvel {

namespace {

template <typename T>
void eraseValue(std::vector<T*>& v, T* value) {
    const auto it = std::find(v.begin(), v.end(), value);
    if (it != v.end()) {
        v.erase(it);
    }
}

}  // namespace

// ---------------------------------------------------------------- Node

Node::Node(Diagram& d) : m_diagram(&d) {}

void Node::changed(NodeChange what) { m_diagram->nodeChanged(*this, what); }

#define TARVEL_SET(member, value, what) \
    do {                                \
        if ((member) == (value)) {      \
            return;                     \
        }                               \
        (member) = (value);             \
        changed(what);                  \
    } while (false)

void Node::setNodeKind(std::uint32_t kind) { TARVEL_SET(m_kind, kind, NodeChange::Kind); }

void Node::setNodeData(std::string data) {
    if (m_data == data) {
        return;
    }
    m_data = std::move(data);
    changed(NodeChange::Data);
}

void Node::setNodeText(std::string text) {
    if (m_text == text) {
        return;
    }
    m_text = std::move(text);
    changed(NodeChange::Text);
}

void Node::setNodeTip(std::string tip) {
    if (m_tip == tip) {
        return;
    }
    m_tip = std::move(tip);
    changed(NodeChange::Tip);
}

void Node::setNodeLeft(float v) { setRect({v, m_rect.top, m_rect.width, m_rect.height}); }
void Node::setNodeTop(float v) { setRect({m_rect.left, v, m_rect.width, m_rect.height}); }
void Node::setNodeWidth(float v) { setRect({m_rect.left, m_rect.top, v, m_rect.height}); }
void Node::setNodeHeight(float v) { setRect({m_rect.left, m_rect.top, m_rect.width, v}); }

void Node::setRect(const RectF& r) {
    if (m_rect == r) {
        return;
    }
    m_rect = r;
    m_diagram->followNode(*this);
    changed(NodeChange::Geometry);
}

void Node::setNodeFillColor(Color c) { TARVEL_SET(m_fillColor, c, NodeChange::Looks); }
void Node::setNodeForeColor(Color c) { TARVEL_SET(m_foreColor, c, NodeChange::Looks); }
void Node::setNodeLineColor(Color c) { TARVEL_SET(m_lineColor, c, NodeChange::Looks); }
void Node::setNodeLineWidth(int w) { TARVEL_SET(m_lineWidth, w, NodeChange::Looks); }
void Node::setNodeShapeStyle(int s) { TARVEL_SET(m_shapeStyle, s, NodeChange::Looks); }
void Node::setNodeDrawStyle(int s) { TARVEL_SET(m_drawStyle, s, NodeChange::Looks); }
void Node::setNodeFont(const Font& f) { TARVEL_SET(m_font, f, NodeChange::Font); }
void Node::setNodeConnectable(bool c) { TARVEL_SET(m_connectable, c, NodeChange::Connectable); }

void Node::setNodeSelected(bool s) {
    if (m_selected == s) {
        return;
    }
    m_selected = s;
    // Selection is not content: observers hear of it, the changed flag stays.
    for (auto* o : m_diagram->m_observers) {
        o->nodeChanged(*this, NodeChange::Selection);
    }
}

// ---------------------------------------------------------------- Link

Link::Link(Diagram& d, Node* origin, Node* target)
    : m_diagram(&d), m_origin(origin), m_target(target) {
    m_points = {origin->centre(), target->centre()};
}

Link::Link(Diagram& d, Node* origin, Node* target, std::vector<PointF> points)
    : m_diagram(&d), m_origin(origin), m_target(target), m_points(std::move(points)) {}

void Link::changed(LinkChange what) { m_diagram->linkChanged(*this, what); }

void Link::setLinkPoints(std::vector<PointF> points) {
    if (points.size() < 2 || points == m_points) {
        return;  // a link always keeps both of its ends
    }
    m_points = std::move(points);
    changed(LinkChange::Points);
}

void Link::removeLinkPoint(std::size_t position) {
    if (position >= m_points.size() || m_points.size() <= 2) {
        return;
    }
    m_points.erase(m_points.begin() + static_cast<std::ptrdiff_t>(position));
    changed(LinkChange::Points);
}

void Link::setLinkColor(Color c) { TARVEL_SET(m_color, c, LinkChange::Looks); }
void Link::setLinkLineStyle(int s) { TARVEL_SET(m_lineStyle, s, LinkChange::Looks); }
void Link::setLinkArrowStyle(int s) { TARVEL_SET(m_arrowStyle, s, LinkChange::Looks); }

void Link::setLinkSelected(bool s) {
    if (m_selected == s) {
        return;
    }
    m_selected = s;
    for (auto* o : m_diagram->m_observers) {
        o->linkChanged(*this, LinkChange::Selection);
    }
}

#undef TARVEL_SET

// ---------------------------------------------------------------- Diagram

Diagram::Diagram() = default;
Diagram::~Diagram() = default;

Node* Diagram::AddNode(float left, float top, float width, float height) {
    auto node = std::unique_ptr<Node>(new Node(*this));
    node->m_rect = {left, top, width, height};
    node->m_fillColor = m_fillColor;
    node->m_foreColor = m_foreColor;
    node->m_font = m_font;
    Node* raw = node.get();
    m_nodes.push_back(std::move(node));
    contentChanged();
    for (auto* o : m_observers) {
        o->nodeAdded(*raw);
    }
    return raw;
}

Link* Diagram::AddLink(Node* origin, Node* target) {
    auto link = std::unique_ptr<Link>(new Link(*this, origin, target));
    link->m_arrowStyle = m_newLinkArrowStyle;
    Link* raw = link.get();
    m_links.push_back(std::move(link));
    origin->m_outLinks.push_back(raw);
    target->m_inLinks.push_back(raw);
    contentChanged();
    for (auto* o : m_observers) {
        o->linkAdded(*raw);
    }
    return raw;
}

void Diagram::removeNode(Node* node) {
    node->m_removed = true;
    removeMarked();
}

void Diagram::removeLink(Link* link) {
    link->m_removed = true;
    removeMarked();
}

void Diagram::DeleteSelectedItems() {
    for (auto& n : m_nodes) {
        n->m_removed = n->m_selected;
    }
    for (auto& l : m_links) {
        l->m_removed = l->m_selected;
    }
    removeMarked();
}

void Diagram::RemoveSelectedItems() { DeleteSelectedItems(); }

// Removes every node and link flagged m_removed, and the links of removed
// nodes, in one pass over each list.
void Diagram::removeMarked() {
    bool any = false;
    for (auto& l : m_links) {
        if (l->m_origin->m_removed || l->m_target->m_removed) {
            l->m_removed = true;
        }
        any = any || l->m_removed;
    }
    for (auto& n : m_nodes) {
        any = any || n->m_removed;
    }
    if (!any) {
        return;
    }
    for (auto& l : m_links) {
        if (!l->m_removed) {
            continue;
        }
        for (auto* o : m_observers) {
            o->linkRemoving(*l);
        }
        if (!l->m_origin->m_removed) {
            eraseValue(l->m_origin->m_outLinks, l.get());
        }
        if (!l->m_target->m_removed) {
            eraseValue(l->m_target->m_inLinks, l.get());
        }
        if (m_currentLink == l.get()) {
            m_currentLink = nullptr;
        }
    }
    for (auto& n : m_nodes) {
        if (!n->m_removed) {
            continue;
        }
        for (auto* o : m_observers) {
            o->nodeRemoving(*n);
        }
        if (m_currentNode == n.get()) {
            m_currentNode = nullptr;
        }
    }
    std::erase_if(m_links, [](const std::unique_ptr<Link>& l) { return l->m_removed; });
    std::erase_if(m_nodes, [](const std::unique_ptr<Node>& n) { return n->m_removed; });
    contentChanged();
}

void Diagram::SelectAllItems() {
    for (auto& n : m_nodes) {
        n->setNodeSelected(true);
    }
    for (auto& l : m_links) {
        l->setLinkSelected(true);
    }
}

void Diagram::clearSelection() {
    for (auto& n : m_nodes) {
        n->setNodeSelected(false);
    }
    for (auto& l : m_links) {
        l->setLinkSelected(false);
    }
}

void Diagram::clear() {
    if (m_nodes.empty() && m_links.empty()) {
        return;
    }
    m_currentNode = nullptr;
    m_currentLink = nullptr;
    m_links.clear();
    m_nodes.clear();
    contentChanged();
    for (auto* o : m_observers) {
        o->diagramReset();
    }
}

void Diagram::setCurrentNode(Node* n) {
    if (m_currentNode == n) {
        return;
    }
    m_currentNode = n;
    propertyChanged();
}

void Diagram::setCurrentLink(Link* l) {
    if (m_currentLink == l) {
        return;
    }
    m_currentLink = l;
    propertyChanged();
}

void Diagram::setDiagramLocked(bool v) {
    if (m_locked == v) {
        return;
    }
    m_locked = v;
    propertyChanged();
}

void Diagram::setRepaintEnabled(bool v) {
    if (m_repaintEnabled == v) {
        return;
    }
    m_repaintEnabled = v;
    if (v) {
        RefreshDiagram();
    }
}

void Diagram::setDiagramRecord(std::string record) {
    if (m_record == record) {
        return;
    }
    m_record = std::move(record);
    contentChanged();
    propertyChanged();
}

void Diagram::setDiagramFont(const Font& f) {
    if (m_font == f) {
        return;
    }
    m_font = f;
    contentChanged();
    propertyChanged();
}

void Diagram::setFillColor(Color c) {
    if (m_fillColor == c) {
        return;
    }
    m_fillColor = c;
    contentChanged();
    propertyChanged();
}

void Diagram::setForeColor(Color c) {
    if (m_foreColor == c) {
        return;
    }
    m_foreColor = c;
    contentChanged();
    propertyChanged();
}

void Diagram::setGridVisible(bool v) {
    m_gridVisible = v;
    propertyChanged();
}

void Diagram::setSnapToGrid(bool v) {
    m_snapToGrid = v;
    propertyChanged();
}

void Diagram::setGridSize(int x, int y) {
    m_gridSizeX = x;
    m_gridSizeY = y;
    propertyChanged();
}

void Diagram::setZoom(int x, int y) {
    m_zoomX = x;
    m_zoomY = y;
    propertyChanged();
}

void Diagram::RefreshDiagram() {
    for (auto* o : m_observers) {
        o->diagramPropertyChanged();
    }
}

void Diagram::addObserver(DiagramObserver* o) {
    if (std::find(m_observers.begin(), m_observers.end(), o) == m_observers.end()) {
        m_observers.push_back(o);
    }
}

void Diagram::removeObserver(DiagramObserver* o) { eraseValue(m_observers, o); }

void Diagram::takeContentFrom(Diagram& other) {
    m_nodes = std::move(other.m_nodes);
    m_links = std::move(other.m_links);
    other.m_nodes.clear();
    other.m_links.clear();
    for (auto& n : m_nodes) {
        n->m_diagram = this;
    }
    for (auto& l : m_links) {
        l->m_diagram = this;
    }
    m_currentNode = nullptr;
    m_currentLink = nullptr;
    m_record = std::move(other.m_record);
    m_font = other.m_font;
    m_fillColor = other.m_fillColor;
    m_foreColor = other.m_foreColor;
    m_gridVisible = other.m_gridVisible;
    m_snapToGrid = other.m_snapToGrid;
    m_gridSizeX = other.m_gridSizeX;
    m_gridSizeY = other.m_gridSizeY;
    m_zoomX = other.m_zoomX;
    m_zoomY = other.m_zoomY;
    m_changed = false;
    for (auto* o : m_observers) {
        o->diagramReset();
    }
}

void Diagram::nodeChanged(Node& n, NodeChange what) {
    contentChanged();
    for (auto* o : m_observers) {
        o->nodeChanged(n, what);
    }
}

void Diagram::linkChanged(Link& l, LinkChange what) {
    contentChanged();
    for (auto* o : m_observers) {
        o->linkChanged(l, what);
    }
}

void Diagram::propertyChanged() {
    for (auto* o : m_observers) {
        o->diagramPropertyChanged();
    }
}

// The ends of a node's links stay on its centre; the view clips them at the
// node's outline when it draws them.
void Diagram::followNode(Node& n) {
    const PointF c = n.centre();
    for (Link* l : n.m_outLinks) {
        if (!l->m_points.empty() && !(l->m_points.front() == c)) {
            l->m_points.front() = c;
            for (auto* o : m_observers) {
                o->linkChanged(*l, LinkChange::Points);
            }
        }
    }
    for (Link* l : n.m_inLinks) {
        if (!l->m_points.empty() && !(l->m_points.back() == c)) {
            l->m_points.back() = c;
            for (auto* o : m_observers) {
                o->linkChanged(*l, LinkChange::Points);
            }
        }
    }
}

}  // namespace tarvel
