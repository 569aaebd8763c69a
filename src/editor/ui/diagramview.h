// The canvas of a document window (`AddFlow1`): shows what the diagram holds
// and turns mouse gestures into changes of the diagram, which it reports to
// the window as mouse-down, mouse-move, mouse-up, double-click and key-down
// events. The window's rules (DocWindow) decide what the gestures mean.
//
// Gestures, by pointer mode:
//   draw mode   - a drag on the empty canvas draws a node (its rectangle
//                 follows the pointer; on release the node is added);
//               - a drag from a node's body to another node draws a link (to
//                 the same node when the pointer left it on the way);
//               - a drag from a node's rim, or with Shift held, moves it;
//   select mode - a drag on the empty canvas selects with a rubber band; a
//                 drag on a node moves it;
//   both        - a selected node's handles resize it; all selected nodes
//                 move together; a drag on a link's line adds a bend point, a
//                 drag on a bend point moves it; a selected link's end on a
//                 state can be dragged onto another state;
//   zoom mode   - a drag draws the rectangle to zoom into.
// Ctrl-click adds a node or link to the selection or takes it out; Escape
// cancels a drag; Delete is reported as key code 46.
//
// The diagram is kept in twips; the view shows it at the diagram's zoom (a
// zoom of 0 fits the whole diagram in the window) at the screen's resolution.
// Only what changed is repainted, and only items in the visible area are drawn.
#pragma once

#include <QAbstractScrollArea>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "editor/docwindow.h"
#include "model/diagram.h"
#include "model/textmeasurer.h"

class QPainter;

namespace tarvel {

// The window's side of the canvas events.
class DiagramViewEvents {
public:
    virtual ~DiagramViewEvents() = default;
    virtual void viewMouseDown() = 0;
    virtual void viewMouseMove(bool leftButtonDown, Node* nodeAtPointer, Link* linkAtPointer,
                               int pointerHit) = 0;
    virtual void viewMouseUp(const GestureEnd& gesture) = 0;
    virtual void viewDoubleClick(Node* nodeAtPointer, Link* linkAtPointer) = 0;
    virtual void viewKeyDown(int keyCode) = 0;
};

class DiagramView final : public QAbstractScrollArea, private DiagramObserver {
    Q_OBJECT
public:
    DiagramView(Diagram& diagram, const DocWindow& rules, const TextMeasurer& measurer,
                DiagramViewEvents& events, QWidget* parent = nullptr);
    ~DiagramView() override;

    // Stops listening to the diagram; called before the diagram goes away.
    void detach();

    // Device pixels per twip at the current zoom.
    qreal scale() const { return m_scale; }
    // Model point under a viewport position, and back.
    PointF toModel(QPointF viewportPos) const;
    QPointF toView(PointF p) const;
    QRectF toView(const RectF& r) const;

    // The pointer shape the window chose (`PointerShape`) changed.
    void refreshPointer();
    // Takes the keyboard focus (`FocusDiagram`).
    void FocusDiagram();
    // Scrolls so that the model point is at the top left of the window.
    void scrollToModel(PointF p);

    // Paints over the diagram after it is drawn, in viewport coordinates
    // (the simulation's highlights); it must not change the diagram.
    void setDecoration(std::function<void(QPainter&)> paint);

    // For tests and tuning: the area the last repaint covered.
    QRect lastPaintedRect() const { return m_lastPainted; }
    int paintCount() const { return m_paintCount; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Drag {
        None,
        RubberNode,    // drawing a new node
        RubberSelect,  // selecting with a band
        ZoomRect,      // the rectangle of Zoom Window
        NewLink,       // drawing a link from a node
        MoveNodes,
        ResizeNode,
        LinkPoint,  // moving (or adding) a bend point
        LinkEnd,    // re-attaching a link's end
    };

    // DiagramObserver
    void nodeAdded(Node& node) override;
    void nodeRemoving(Node& node) override;
    void nodeChanged(Node& node, NodeChange what) override;
    void linkAdded(Link& link) override;
    void linkRemoving(Link& link) override;
    void linkChanged(Link& link, LinkChange what) override;
    void diagramReset() override;
    void diagramPropertyChanged() override;

    void markDirty(const RectF& modelBounds);
    void markAllDirty();
    void scheduleFlush();
    void flush();
    void rebuildBoundsCache();
    void updateScale();
    void updateScrollBars();

    float pixel() const;
    float tolerance() const;
    bool onNodeRim(const Node& node, PointF p) const;
    void hitAt(PointF p, Node*& node, Link*& link, int& hit) const;
    void selectOnly(Node* node, Link* link);
    void beginDrag(Drag drag, QPointF pos);
    void updateDrag(QPointF pos, Qt::KeyboardModifiers mods);
    GestureEnd finishDrag(QPointF pos);
    void cancelDrag();
    void moveSelection(float dx, float dy);
    void zoomToRect(const RectF& r);
    void setOverlay(const QRectF& rect);
    void updateCursor(QPointF pos);
    PointF snapped(PointF p) const;
    QRectF rubberRect() const;
    void autoScroll(QPointF pos);

    Diagram* m_diagram;
    const DocWindow& m_rules;
    const TextMeasurer& m_measurer;
    DiagramViewEvents& m_events;

    qreal m_scale = 1;
    QSizeF m_extent;  // twips covered by the scroll area

    // Last painted bounds of every item, to repaint where it was.
    std::unordered_map<const Node*, RectF> m_nodeBounds;
    std::unordered_map<const Link*, RectF> m_linkBounds;
    std::optional<RectF> m_dirty;
    bool m_allDirty = false;
    bool m_extentDirty = false;
    bool m_flushScheduled = false;
    int m_lastZoom = -1;
    int m_lastGrid = -1;
    bool m_lastGridVisible = false;
    bool m_lastLocked = false;

    // The gesture under way.
    Drag m_drag = Drag::None;
    bool m_dragStarted = false;  // moved beyond the click distance
    QPointF m_pressPos;
    QPointF m_dragPos;
    PointF m_pressModel;
    bool m_changedAtPress = false;
    Node* m_dragNode = nullptr;
    Link* m_dragLink = nullptr;
    Node* m_hoverTarget = nullptr;
    bool m_leftOrigin = false;
    PointF m_farthest;  // where a link drawn back to its node went furthest
    int m_handle = -1;
    int m_pointIndex = -1;
    bool m_pointInserted = false;
    std::vector<std::pair<Node*, RectF>> m_moved;
    std::vector<std::pair<Link*, std::vector<PointF>>> m_movedLinks;
    RectF m_resizeOriginal;
    std::vector<PointF> m_linkOriginal;
    QRectF m_overlay;  // the rubber shapes drawn over the diagram (viewport px)

    std::function<void(QPainter&)> m_decoration;
    QRect m_lastPainted;
    int m_paintCount = 0;
};

}  // namespace tarvel
