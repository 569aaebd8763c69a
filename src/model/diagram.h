// The diagram: nodes joined by directed links, with the properties the editor,
// the records and the generators rely on. It stands in for a closed diagram
// control, so its members keep that control's names.
//
// Every change goes through these methods. A change of content sets the
// changed flag (`DiagramChanged`) and is reported to the observers, which is
// how the view learns what to redraw without the model knowing about it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/nodekind.h"
#include "model/types.h"

namespace tarvel {

class Diagram;
class Link;

enum class NodeChange { Kind, Data, Text, Tip, Geometry, Looks, Font, Connectable, Selection };
enum class LinkChange { Points, Looks, Selection };

class DiagramObserver {
public:
    virtual ~DiagramObserver() = default;
    virtual void nodeAdded(class Node&) {}
    virtual void nodeRemoving(class Node&) {}
    virtual void nodeChanged(class Node&, NodeChange) {}
    virtual void linkAdded(Link&) {}
    virtual void linkRemoving(Link&) {}
    virtual void linkChanged(Link&, LinkChange) {}
    // Everything was replaced (clear or load): rebuild from scratch.
    virtual void diagramReset() {}
    // Font, colours, lock, grid, zoom, record or current item changed.
    virtual void diagramPropertyChanged() {}
};

class Node {
public:
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    Diagram& diagram() const { return *m_diagram; }

    std::uint32_t NodeKind() const { return m_kind; }
    void setNodeKind(std::uint32_t kind);
    bool hasKind(std::uint32_t mask) const { return (m_kind & mask) != 0; }

    const std::string& NodeData() const { return m_data; }
    void setNodeData(std::string data);
    const std::string& NodeText() const { return m_text; }
    void setNodeText(std::string text);
    const std::string& NodeTip() const { return m_tip; }
    void setNodeTip(std::string tip);

    float NodeLeft() const { return m_rect.left; }
    float NodeTop() const { return m_rect.top; }
    float NodeWidth() const { return m_rect.width; }
    float NodeHeight() const { return m_rect.height; }
    const RectF& rect() const { return m_rect; }
    PointF centre() const { return m_rect.centre(); }
    void setNodeLeft(float v);
    void setNodeTop(float v);
    void setNodeWidth(float v);
    void setNodeHeight(float v);
    void setRect(const RectF& r);

    Color NodeFillColor() const { return m_fillColor; }
    void setNodeFillColor(Color c);
    Color NodeForeColor() const { return m_foreColor; }
    void setNodeForeColor(Color c);
    Color NodeLineColor() const { return m_lineColor; }
    void setNodeLineColor(Color c);
    int NodeLineWidth() const { return m_lineWidth; }
    void setNodeLineWidth(int w);
    int NodeShapeStyle() const { return m_shapeStyle; }
    void setNodeShapeStyle(int s);
    // Frame style of the node's text box: 5 framed, 0 none.
    int NodeDrawStyle() const { return m_drawStyle; }
    void setNodeDrawStyle(int s);
    const Font& NodeFont() const { return m_font; }
    void setNodeFont(const Font& f);

    bool NodeConnectable() const { return m_connectable; }
    void setNodeConnectable(bool c);
    bool NodeSelected() const { return m_selected; }
    void setNodeSelected(bool s);

    // In creation order; both are kept by the diagram.
    const std::vector<Link*>& NodeInLinks() const { return m_inLinks; }
    const std::vector<Link*>& NodeOutLinks() const { return m_outLinks; }

private:
    friend class Diagram;
    friend class DiagramReader;
    explicit Node(Diagram& d);
    void changed(NodeChange what);

    Diagram* m_diagram;
    std::uint32_t m_kind = 0;
    std::string m_data;
    std::string m_text;
    std::string m_tip;
    RectF m_rect{0, 0, 150, 100};
    Color m_fillColor = 0xFFFFFF;
    Color m_foreColor = 0;
    Color m_lineColor = 0;
    int m_lineWidth = 1;
    int m_shapeStyle = 0;
    int m_drawStyle = 0;
    Font m_font;
    bool m_connectable = true;
    bool m_selected = false;
    bool m_removed = false;
    std::vector<Link*> m_inLinks;
    std::vector<Link*> m_outLinks;
};

class Link {
public:
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    Node* LinkOrigin() const { return m_origin; }
    Node* LinkTarget() const { return m_target; }

    // Every point, both ends included. The end points follow their nodes' centres.
    const std::vector<PointF>& LinkPoints() const { return m_points; }
    void setLinkPoints(std::vector<PointF> points);
    void removeLinkPoint(std::size_t position);

    Color LinkColor() const { return m_color; }
    void setLinkColor(Color c);
    int LinkLineStyle() const { return m_lineStyle; }
    void setLinkLineStyle(int s);
    // Arrow at the target end: 0 none, 3 normal, 4 heavy.
    int LinkArrowStyle() const { return m_arrowStyle; }
    void setLinkArrowStyle(int s);
    bool LinkSelected() const { return m_selected; }
    void setLinkSelected(bool s);
    bool LinkAccepted() const { return m_accepted; }
    void setLinkAccepted(bool a) { m_accepted = a; }

private:
    friend class Diagram;
    friend class DiagramReader;
    Link(Diagram& d, Node* origin, Node* target);
    Link(Diagram& d, Node* origin, Node* target, std::vector<PointF> points);
    void changed(LinkChange what);

    Diagram* m_diagram;
    Node* m_origin;
    Node* m_target;
    std::vector<PointF> m_points;
    Color m_color = 0;
    int m_lineStyle = 0;
    int m_arrowStyle = 3;
    bool m_selected = false;
    bool m_accepted = true;
    bool m_removed = false;
};

class Diagram {
public:
    using NodeVector = std::vector<std::unique_ptr<Node>>;
    using LinkVector = std::vector<std::unique_ptr<Link>>;

    Diagram();
    ~Diagram();
    Diagram(const Diagram&) = delete;
    Diagram& operator=(const Diagram&) = delete;

    // All nodes in a stable order (creation order) and all links in creation order.
    const NodeVector& NodeList() const { return m_nodes; }
    const LinkVector& Links() const { return m_links; }
    std::size_t nodeCount() const { return m_nodes.size(); }

    // A new node takes the diagram's colours and font; it is not selected.
    Node* AddNode(float left, float top, float width, float height);
    // A new link from origin to target, straight between their centres, with
    // the arrow style `NewLinkArrowStyle`. Both nodes must belong to this diagram.
    Link* AddLink(Node* origin, Node* target);
    // Removes a node together with every link that touches it.
    void removeNode(Node* node);
    void removeLink(Link* link);
    // Removes every selected node (with its links) and every selected link.
    void DeleteSelectedItems();
    void RemoveSelectedItems();
    void SelectAllItems();
    void clearSelection();
    // Empties the diagram; the diagram-wide settings stay.
    void clear();

    Node* CurrentNode() const { return m_currentNode; }
    void setCurrentNode(Node* n);
    Link* CurrentLink() const { return m_currentLink; }
    void setCurrentLink(Link* l);

    bool DiagramLocked() const { return m_locked; }
    void setDiagramLocked(bool v);
    bool RepaintEnabled() const { return m_repaintEnabled; }
    void setRepaintEnabled(bool v);
    bool EditTracking() const { return m_editTracking; }
    void setEditTracking(bool v) { m_editTracking = v; }
    bool DiagramChanged() const { return m_changed; }
    void SetDiagramChanged(bool v) { m_changed = v; }

    int NewLinkArrowStyle() const { return m_newLinkArrowStyle; }
    void setNewLinkArrowStyle(int s) { m_newLinkArrowStyle = s; }

    const std::string& DiagramRecord() const { return m_record; }
    void setDiagramRecord(std::string record);
    const Font& DiagramFont() const { return m_font; }
    void setDiagramFont(const Font& f);
    Color FillColor() const { return m_fillColor; }
    void setFillColor(Color c);
    Color ForeColor() const { return m_foreColor; }
    void setForeColor(Color c);

    // View settings kept with the diagram (they are not changes of content).
    bool GridVisible() const { return m_gridVisible; }
    void setGridVisible(bool v);
    bool SnapToGrid() const { return m_snapToGrid; }
    void setSnapToGrid(bool v);
    int GridSizeX() const { return m_gridSizeX; }
    int GridSizeY() const { return m_gridSizeY; }
    void setGridSize(int x, int y);
    int ZoomX() const { return m_zoomX; }
    int ZoomY() const { return m_zoomY; }
    void setZoom(int x, int y);

    // Asks observers to redraw everything.
    void RefreshDiagram();

    void addObserver(DiagramObserver* o);
    void removeObserver(DiagramObserver* o);

    // Moves the content and settings of `other` into this diagram (observers
    // and the lock stay) and tells observers that everything changed.
    void takeContentFrom(Diagram& other);

private:
    friend class Node;
    friend class Link;
    friend class DiagramReader;
    void nodeChanged(Node& n, NodeChange what);
    void linkChanged(Link& l, LinkChange what);
    void propertyChanged();
    void contentChanged() { m_changed = true; }
    void followNode(Node& n);
    void removeMarked();

    NodeVector m_nodes;
    LinkVector m_links;
    std::vector<DiagramObserver*> m_observers;
    Node* m_currentNode = nullptr;
    Link* m_currentLink = nullptr;
    bool m_locked = false;
    bool m_repaintEnabled = true;
    bool m_editTracking = true;
    bool m_changed = false;
    int m_newLinkArrowStyle = 3;
    std::string m_record;
    Font m_font;
    Color m_fillColor = 0xFFFFF0;
    Color m_foreColor = 0;
    bool m_gridVisible = false;
    bool m_snapToGrid = false;
    int m_gridSizeX = 120;
    int m_gridSizeY = 120;
    int m_zoomX = 100;
    int m_zoomY = 100;
};

}  // namespace tarvel
