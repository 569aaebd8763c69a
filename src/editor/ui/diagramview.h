// The canvas of a document window (`AddFlow1`): shows what the diagram holds
// and turns mouse gestures into changes of the diagram, which it reports to
// the window as mouse-down, mouse-move, mouse-up, double-click and key-down
// events. The window's rules (DocWindow) decide what the gestures mean.
//
// Gestures:
//   - a drag on a node's body moves it with the rest of the selection (and
//     the transition nodes whose two states move, so a self loop goes with
//     its state);
//   - near a state's rim a connection handle shows; a drag from it, or a
//     drag with Shift held, draws a link to another node (to the same node
//     when the pointer left it on the way); Shift+drag from a transition node
//     draws its new way out;
//   - a drag on the empty canvas draws a node in draw mode (its rectangle
//     follows the pointer; on release the node is added) and selects with a
//     rubber band in select mode; in zoom mode it draws the rectangle to zoom
//     into;
//   - a selected node's handles resize it; a drag on a link's line adds a
//     bend point, a drag on a bend point moves it; a selected link's end on
//     a state can be dragged onto another state.
// While the diagram is locked no drag changes anything; the first drag that
// is refused is reported. Ctrl-click adds a node or link to the selection or
// takes it out; Escape cancels a drag (or clears the selection); the arrow
// keys move the selection by a grid step (with Shift by one pixel), one undo
// step per key press; Ctrl+wheel zooms about the pointer, Shift+wheel
// scrolls sideways; Delete is reported as key code 46; a right-click asks the
// window for the menu of what was clicked. The pointer shape and a hint say
// what a drag would do before it starts.
//
// The diagram is kept in twips; the view shows it at the diagram's zoom (a
// zoom of 0 fits the whole diagram in the window) at the screen's resolution.
// Only what changed is repainted, and only items in the visible area are drawn.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "editor/docwindow.h"
#include "editor/ui/itemgrid.h"
#include "export/ui/qtcanvas.h"
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
    // What a drag or click would do where the pointer is ("" when nothing).
    virtual void viewHint(const std::string&) {}
    // A drag the lock refused.
    virtual void viewLockRefused() {}
    // A right-click on a node, a link or the canvas (both null) at `at`.
    virtual void viewContextMenu(Node*, Link*, QPoint /*globalPos*/, PointF /*at*/) {}
    // The arrow keys are about to move the selection, and were let go.
    virtual void viewNudgeStarted() {}
    virtual void viewNudged() {}
    // The view changed the zoom itself (wheel, zoom steps).
    virtual void viewZoomed() {}
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
    // Draws everything anew (the window changed what is drawn, e.g. the
    // comment being edited in place).
    void invalidate();
    // Takes the keyboard focus (`FocusDiagram`).
    void FocusDiagram();
    // Scrolls so that the model point is at the top left of the window.
    void scrollToModel(PointF p);
    // Zooms to `zoom` percent keeping the model point under the viewport
    // position where it is.
    void zoomAbout(int zoom, QPointF viewportPos);
    // Zooms `steps` zoom steps in (positive) or out, about the viewport
    // position (its centre when none is given).
    void zoomBy(int steps, std::optional<QPointF> around = std::nullopt);
    // The zoom shown, in percent (also when the diagram fits the window).
    int effectiveZoom() const;
    // Moves the selection by grid steps, or by pixels with `onePixel`.
    void nudge(int xSteps, int ySteps, bool onePixel);
    // The hint last given for the pointer's place.
    QString hint() const { return m_hint; }
    // The state whose connection handle shows, and where.
    Node* connectHandleNode() const { return m_connectNode; }

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
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void leaveEvent(QEvent* event) override;

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
        Refused,    // any drag while the diagram is locked
    };
    // What lies under the pointer, as far as a gesture is concerned.
    enum class HoverKind { Canvas, Handle, LinkPoint, Connect, Node, Link };
    struct Hover {
        HoverKind kind = HoverKind::Canvas;
        Node* node = nullptr;
        Link* link = nullptr;
        PointF rimPoint;  // where the connection handle shows
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

    // `drawingChanged` false: only the selection marks changed, the cached
    // drawing stays.
    void markDirty(const RectF& modelBounds, bool drawingChanged = true);
    void markAllDirty();
    // An item now drawn within `b`: its cached bounds and place in the grid
    // follow, and the area it left and the one it covers are repainted.
    template <typename Item>
    void rebound(const Item& item, const RectF& b, bool drawingChanged,
                 std::unordered_map<const Item*, RectF>& bounds, ItemGrid<Item>& grid);
    QRectF tileRect(int tx, int ty) const;
    void dropTiles(const RectF& modelRect);
    void dropAllTiles();
    // Draws the missing tiles of the range (in tile units).
    void renderTiles(int x0, int y0, int x1, int y1);
    QImage renderArea(const QRect& content);
    void forgetTexts();
    template <typename Item>
    static std::vector<const Item*> inDrawingOrder(
        const std::vector<const Item*>& items,
        const std::unordered_map<const Item*, std::size_t>& order);
    // How far the selection marks reach beyond what they mark, in twips.
    float marksMargin() const;
    void itemsNear(const RectF& area, std::vector<const Node*>& nodes,
                   std::vector<const Link*>& links);
    static std::uint64_t tileKey(int tx, int ty) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(tx)) << 32) |
               static_cast<std::uint32_t>(ty);
    }
    static std::pair<int, int> tileOf(std::uint64_t key) {
        return {static_cast<int>(static_cast<std::uint32_t>(key >> 32)),
                static_cast<int>(static_cast<std::uint32_t>(key & 0xFFFFFFFF))};
    }
    void scheduleFlush();
    void flush();
    void rebuildBoundsCache();
    // The scale for the diagram's zoom; the model point at viewport position
    // `keep` stays there.
    void updateScale(QPointF keep = QPointF(0, 0));
    void updateScrollBars();

    float pixel() const;
    float tolerance() const;
    void hitAt(PointF p, Node*& node, Link*& link, int& hit) const;
    Hover hoverAt(PointF p) const;
    // The state whose connection handle the point is on (the node under the
    // point when there is one), and the rim point nearest to it.
    std::optional<std::pair<Node*, PointF>> connectPointAt(PointF p, Node* under) const;
    QString hintFor(const Hover& h) const;
    QString dragHint() const;
    void setHint(const QString& hint);
    void setConnectHover(Node* node, PointF at);
    void takeMovingSet();
    void applyOffset(float dx, float dy);
    void paintOverlays(QPainter& painter);
    bool hasDrawnNodes() const;
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
    // The items by place, to draw only what lies in the repainted area, and
    // their drawing order.
    static constexpr float GRID_CELL = 3000;  // twips
    ItemGrid<Node> m_nodeGrid{GRID_CELL};
    ItemGrid<Link> m_linkGrid{GRID_CELL};
    std::unordered_map<const Node*, std::size_t> m_nodeOrder;
    std::unordered_map<const Link*, std::size_t> m_linkOrder;
    bool m_orderDirty = true;
    // The drawing in tiles of TILE_PIXELS device-independent pixels.
    static constexpr int TILE_PIXELS = 128;
    static constexpr std::size_t MAX_TILES = 640;
    std::unordered_map<std::uint64_t, QImage> m_tiles;
    // Laid-out lines of text, drawn again at every repaint at this zoom.
    TextCache m_textCache;
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
    Node* m_connectNode = nullptr;
    PointF m_connectPoint;
    QString m_hint;
    int m_wheelZoom = 0;    // wheel turns not yet a whole zoom step
    bool m_nudged = false;  // the arrow keys moved something not yet stored

    std::function<void(QPainter&)> m_decoration;
    QRect m_lastPainted;
    int m_paintCount = 0;
};

}  // namespace tarvel
