#include "editor/ui/diagramview.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "editor/hittest.h"
#include "editor/transitionlayout.h"
#include "export/diagrampainter.h"
#include "export/ui/qtcanvas.h"
#include "model/staterecord.h"

namespace tarvel {

namespace {

constexpr qreal CLICK_DISTANCE = 3;    // pixels a drag must cover to count
constexpr float CONNECT_PIXELS = 8;    // the rim of a state that draws a transition
constexpr float HIT_PIXELS = 4;        // how near a link the pointer must be
constexpr float EXTENT_MARGIN = 1440;  // room beyond the diagram, in twips
constexpr qreal MIN_SCALE_ZOOM = 0.05;
constexpr qreal MAX_SCALE_ZOOM = 8.0;
constexpr qreal AUTO_SCROLL_STEP = 30;  // pixels per pointer move at most

QCursor zoomCursor() {
    static const QCursor cursor = [] {
        QSvgRenderer svg(QStringLiteral(":/icons/ZoomCursor.svg"));
        QPixmap pm(32, 32);
        pm.fill(Qt::transparent);
        if (svg.isValid()) {
            QPainter p(&pm);
            svg.render(&p);
            return QCursor(pm, 12, 12);
        }
        return QCursor(Qt::CrossCursor);
    }();
    return cursor;
}

QCursor cursorForShape(int shape) {
    switch (shape) {
        case SHAPE_CROSS:
            return Qt::CrossCursor;
        case SHAPE_SIZE_NESW:
            return Qt::SizeBDiagCursor;
        case SHAPE_SIZE_NS:
            return Qt::SizeVerCursor;
        case SHAPE_SIZE_NWSE:
            return Qt::SizeFDiagCursor;
        case SHAPE_SIZE_WE:
            return Qt::SizeHorCursor;
        case SHAPE_UP_ARROW:
            return Qt::UpArrowCursor;
        case SHAPE_ZOOM:
            return zoomCursor();
        default:
            return Qt::ArrowCursor;
    }
}

bool holds(const RectF& r, PointF p) {
    return p.x >= r.left && p.x <= r.right() && p.y >= r.top && p.y <= r.bottom();
}

}  // namespace

DiagramView::DiagramView(Diagram& diagram, const DocWindow& rules, const TextMeasurer& measurer,
                         DiagramViewEvents& events, QWidget* parent)
    : QAbstractScrollArea(parent),
      m_diagram(&diagram),
      m_rules(rules),
      m_measurer(measurer),
      m_events(events) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setBackgroundRole(QPalette::Base);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
    m_diagram->addObserver(this);
    m_lastZoom = m_diagram->ZoomX();
    m_lastGrid = m_diagram->GridSizeX() * 10000 + m_diagram->GridSizeY();
    m_lastGridVisible = m_diagram->GridVisible();
    m_lastLocked = m_diagram->DiagramLocked();
    updateScale();
    rebuildBoundsCache();
}

DiagramView::~DiagramView() {
    detach();
}

void DiagramView::detach() {
    if (m_diagram != nullptr) {
        m_diagram->removeObserver(this);
        m_diagram = nullptr;
    }
    m_drag = Drag::None;
    m_nodeBounds.clear();
    m_linkBounds.clear();
}

// ------------------------------------------------------------ coordinates

float DiagramView::pixel() const {
    return static_cast<float>(1.0 / m_scale);
}
float DiagramView::tolerance() const {
    return HIT_PIXELS * pixel();
}

PointF DiagramView::toModel(QPointF pos) const {
    return {static_cast<float>((pos.x() + horizontalScrollBar()->value()) / m_scale),
            static_cast<float>((pos.y() + verticalScrollBar()->value()) / m_scale)};
}

QPointF DiagramView::toView(PointF p) const {
    return {p.x * m_scale - horizontalScrollBar()->value(),
            p.y * m_scale - verticalScrollBar()->value()};
}

QRectF DiagramView::toView(const RectF& r) const {
    return QRectF(toView(PointF{r.left, r.top}), toView(PointF{r.right(), r.bottom()}))
        .normalized();
}

void DiagramView::updateScale(QPointF keep) {
    if (m_diagram == nullptr) {
        return;
    }
    const qreal dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    const qreal base = dpi / 1440.0;
    const int zoom = m_diagram->ZoomX();
    qreal scale = base;
    if (zoom > 0) {
        scale = base * zoom / 100.0;
    } else {
        // Fit in window: the whole drawing from the origin, with a little room.
        const RectF b = diagramBounds(*m_diagram);
        const qreal w = std::max<qreal>(b.right(), 0) + 300;
        const qreal h = std::max<qreal>(b.bottom(), 0) + 300;
        const QSize vs = viewport()->size();
        if (b.width > 0 || b.height > 0) {
            scale = std::min(vs.width() / w, vs.height() / h);
        }
    }
    scale = std::clamp(scale, base * MIN_SCALE_ZOOM, base * MAX_SCALE_ZOOM);
    if (scale == m_scale) {
        updateScrollBars();
        return;
    }
    // The part of the diagram at `keep` stays there.
    const PointF kept = toModel(keep);
    m_scale = scale;
    forgetTexts();
    markAllDirty();
    updateScrollBars();
    const std::pair<QScrollBar*, qreal> bars[] = {
        {horizontalScrollBar(), kept.x * m_scale - keep.x()},
        {verticalScrollBar(), kept.y * m_scale - keep.y()}};
    for (const auto& [bar, value] : bars) {
        const int target = std::max(0, static_cast<int>(std::lround(value)));
        if (target > bar->maximum()) {
            bar->setMaximum(target);
        }
        bar->setValue(target);
    }
}

void DiagramView::updateScrollBars() {
    if (m_diagram == nullptr) {
        return;
    }
    const RectF b = diagramBounds(*m_diagram);
    m_extent = QSizeF(std::max<float>(b.right(), 0) + EXTENT_MARGIN,
                      std::max<float>(b.bottom(), 0) + EXTENT_MARGIN);
    const QSize vs = viewport()->size();
    // Keep room for what the user scrolled to, so the view does not jump
    // while something is dragged beyond the drawing.
    const int w = static_cast<int>(std::ceil(m_extent.width() * m_scale));
    const int h = static_cast<int>(std::ceil(m_extent.height() * m_scale));
    horizontalScrollBar()->setRange(0,
                                    std::max({0, w - vs.width(), horizontalScrollBar()->value()}));
    verticalScrollBar()->setRange(0, std::max({0, h - vs.height(), verticalScrollBar()->value()}));
    horizontalScrollBar()->setPageStep(vs.width());
    verticalScrollBar()->setPageStep(vs.height());
}

void DiagramView::scrollToModel(PointF p) {
    updateScrollBars();
    horizontalScrollBar()->setValue(static_cast<int>(p.x * m_scale));
    verticalScrollBar()->setValue(static_cast<int>(p.y * m_scale));
}

// ---------------------------------------------------------------- repaint

void DiagramView::rebuildBoundsCache() {
    m_nodeBounds.clear();
    m_linkBounds.clear();
    m_nodeGrid.clear();
    m_linkGrid.clear();
    m_orderDirty = true;
    dropAllTiles();
    if (m_diagram == nullptr) {
        return;
    }
    m_nodeBounds.reserve(m_diagram->nodeCount());
    for (const auto& n : m_diagram->NodeList()) {
        const RectF b = nodePaintBounds(*n, 0);
        m_nodeBounds[n.get()] = b;
        m_nodeGrid.insert(n.get(), b);
    }
    m_linkBounds.reserve(m_diagram->Links().size());
    for (const auto& l : m_diagram->Links()) {
        const RectF b = linkPaintBounds(*l, 0);
        m_linkBounds[l.get()] = b;
        m_linkGrid.insert(l.get(), b);
    }
}

void DiagramView::markDirty(const RectF& drawn, bool drawingChanged) {
    // The selection marks keep their size in pixels around what is drawn.
    const RectF r = inflated(drawn, marksMargin());
    if (drawingChanged) {
        dropTiles(r);
    }
    m_dirty = m_dirty ? unite(*m_dirty, r) : r;
    scheduleFlush();
}

void DiagramView::markAllDirty() {
    dropAllTiles();
    m_allDirty = true;
    scheduleFlush();
}

void DiagramView::invalidate() {
    markAllDirty();
}

void DiagramView::scheduleFlush() {
    if (m_flushScheduled) {
        return;
    }
    m_flushScheduled = true;
    QMetaObject::invokeMethod(this, &DiagramView::flush, Qt::QueuedConnection);
}

void DiagramView::flush() {
    m_flushScheduled = false;
    if (m_diagram == nullptr) {
        return;
    }
    if (m_extentDirty) {
        m_extentDirty = false;
        if (m_diagram->ZoomX() <= 0) {
            updateScale();
        } else {
            updateScrollBars();
        }
    }
    if (m_allDirty) {
        viewport()->update();
    } else if (m_dirty) {
        viewport()->update(toView(inflated(*m_dirty, 2 * pixel())).toAlignedRect());
    }
    m_allDirty = false;
    m_dirty.reset();
}

void DiagramView::nodeAdded(Node& node) {
    const RectF b = nodePaintBounds(node, 0);
    m_nodeBounds[&node] = b;
    m_nodeGrid.insert(&node, b);
    m_orderDirty = true;
    markDirty(b);
    m_extentDirty = true;
}

void DiagramView::nodeRemoving(Node& node) {
    if (auto it = m_nodeBounds.find(&node); it != m_nodeBounds.end()) {
        markDirty(it->second);
        m_nodeGrid.remove(&node, it->second);
        m_nodeBounds.erase(it);
    }
    m_orderDirty = true;
    m_extentDirty = true;
    if (m_dragNode == &node || m_hoverTarget == &node) {
        cancelDrag();
    }
    if (m_connectNode == &node) {
        m_connectNode = nullptr;
    }
    std::erase_if(m_moved, [&](const auto& m) { return m.first == &node; });
}

void DiagramView::nodeChanged(Node& node, NodeChange what) {
    if (what == NodeChange::Data || what == NodeChange::Tip) {
        return;  // not drawn
    }
    // A new selection shows only in the marks drawn over the cached drawing.
    rebound(node, nodePaintBounds(node, 0), what != NodeChange::Selection, m_nodeBounds,
            m_nodeGrid);
    if (what == NodeChange::Geometry) {
        m_extentDirty = true;
    }
}

void DiagramView::linkAdded(Link& link) {
    const RectF b = linkPaintBounds(link, 0);
    m_linkBounds[&link] = b;
    m_linkGrid.insert(&link, b);
    m_orderDirty = true;
    markDirty(b);
}

void DiagramView::linkRemoving(Link& link) {
    if (auto it = m_linkBounds.find(&link); it != m_linkBounds.end()) {
        markDirty(it->second);
        m_linkGrid.remove(&link, it->second);
        m_linkBounds.erase(it);
    }
    m_orderDirty = true;
    if (m_dragLink == &link) {
        cancelDrag();
    }
    std::erase_if(m_movedLinks, [&](const auto& m) { return m.first == &link; });
}

void DiagramView::linkChanged(Link& link, LinkChange what) {
    rebound(link, linkPaintBounds(link, 0), what != LinkChange::Selection, m_linkBounds,
            m_linkGrid);
}

template <typename Item>
void DiagramView::rebound(const Item& item, const RectF& b, bool drawingChanged,
                          std::unordered_map<const Item*, RectF>& bounds, ItemGrid<Item>& grid) {
    auto [it, fresh] = bounds.try_emplace(&item, b);
    RectF& cached = it->second;
    // Where it was and where it is now are drawn again.
    markDirty(fresh ? b : unite(cached, b), drawingChanged);
    if (fresh || !(cached == b)) {
        if (!fresh) {
            grid.remove(&item, cached);
        }
        grid.insert(&item, b);
        cached = b;
    }
}

void DiagramView::diagramReset() {
    m_drag = Drag::None;
    m_dragNode = nullptr;
    m_dragLink = nullptr;
    m_hoverTarget = nullptr;
    m_connectNode = nullptr;
    m_moved.clear();
    m_movedLinks.clear();
    m_overlay = {};
    rebuildBoundsCache();
    m_extentDirty = true;
    markAllDirty();
}

// ------------------------------------------------------------ tiles

// The drawing is kept in tiles of the window's pixels at the current zoom;
// a repaint copies the tiles and draws only the selection marks and what a
// gesture shows over them. A change of the drawing drops the tiles it touches.

QRectF DiagramView::tileRect(int tx, int ty) const {
    return QRectF(tx * TILE_PIXELS, ty * TILE_PIXELS, TILE_PIXELS, TILE_PIXELS);
}

void DiagramView::dropTiles(const RectF& modelRect) {
    if (m_tiles.empty()) {
        return;
    }
    const QRectF content(modelRect.left * m_scale, modelRect.top * m_scale,
                         modelRect.width * m_scale, modelRect.height * m_scale);
    const int x0 = static_cast<int>(std::floor(content.left() / TILE_PIXELS));
    const int x1 = static_cast<int>(std::floor(content.right() / TILE_PIXELS));
    const int y0 = static_cast<int>(std::floor(content.top() / TILE_PIXELS));
    const int y1 = static_cast<int>(std::floor(content.bottom() / TILE_PIXELS));
    if (static_cast<long long>(x1 - x0 + 1) * (y1 - y0 + 1) >
        static_cast<long long>(m_tiles.size())) {
        std::erase_if(m_tiles, [&](const auto& t) {
            const auto [tx, ty] = tileOf(t.first);
            return tx >= x0 && tx <= x1 && ty >= y0 && ty <= y1;
        });
        return;
    }
    for (int tx = x0; tx <= x1; ++tx) {
        for (int ty = y0; ty <= y1; ++ty) {
            m_tiles.erase(tileKey(tx, ty));
        }
    }
}

void DiagramView::dropAllTiles() {
    m_tiles.clear();
}

void DiagramView::forgetTexts() {
    m_textCache.clear();
}

QImage DiagramView::renderArea(const QRect& content) {
    const qreal dpr = devicePixelRatioF();
    QImage image(static_cast<int>(content.width() * dpr), static_cast<int>(content.height() * dpr),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(palette().color(QPalette::Base));
    QPainter painter(&image);
    QtCanvas canvas(painter, m_scale, QPointF(content.topLeft()), &m_textCache);
    const RectF area{static_cast<float>(content.left() / m_scale),
                     static_cast<float>(content.top() / m_scale),
                     static_cast<float>(content.width() / m_scale),
                     static_cast<float>(content.height() / m_scale)};
    std::vector<const Node*> nodes;
    std::vector<const Link*> links;
    itemsNear(area, nodes, links);
    PaintOptions options;
    options.grid = m_diagram->GridVisible();
    options.screenAids = true;
    options.pixel = pixel();
    options.visible = area;
    options.hideTextOf = m_rules.editedComment();
    options.nodes = &nodes;
    options.links = &links;
    paintDiagram(canvas, *m_diagram, m_measurer, options);
    return image;
}

void DiagramView::renderTiles(int x0, int y0, int x1, int y1) {
    // The missing tiles are drawn in one pass over their bounding area, so
    // an item across several tiles is drawn once.
    int mx0 = x1 + 1;
    int my0 = y1 + 1;
    int mx1 = x0 - 1;
    int my1 = y0 - 1;
    for (int tx = x0; tx <= x1; ++tx) {
        for (int ty = y0; ty <= y1; ++ty) {
            if (m_tiles.find(tileKey(tx, ty)) == m_tiles.end()) {
                mx0 = std::min(mx0, tx);
                my0 = std::min(my0, ty);
                mx1 = std::max(mx1, tx);
                my1 = std::max(my1, ty);
            }
        }
    }
    if (mx0 > mx1) {
        return;
    }
    const QRect content(mx0 * TILE_PIXELS, my0 * TILE_PIXELS, (mx1 - mx0 + 1) * TILE_PIXELS,
                        (my1 - my0 + 1) * TILE_PIXELS);
    const QImage whole = renderArea(content);
    const qreal dpr = whole.devicePixelRatio();
    const int side = static_cast<int>(TILE_PIXELS * dpr);
    for (int tx = mx0; tx <= mx1; ++tx) {
        for (int ty = my0; ty <= my1; ++ty) {
            if (m_tiles.find(tileKey(tx, ty)) != m_tiles.end()) {
                continue;  // still good: the drawing is the same
            }
            QImage piece = whole.copy((tx - mx0) * side, (ty - my0) * side, side, side);
            piece.setDevicePixelRatio(dpr);
            m_tiles.emplace(tileKey(tx, ty), std::move(piece));
        }
    }
}

template <typename Item>
std::vector<const Item*> DiagramView::inDrawingOrder(
    const std::vector<const Item*>& items,
    const std::unordered_map<const Item*, std::size_t>& order) {
    std::vector<std::pair<std::size_t, const Item*>> keyed;
    keyed.reserve(items.size());
    for (const Item* item : items) {
        keyed.emplace_back(order.at(item), item);
    }
    std::sort(keyed.begin(), keyed.end());
    std::vector<const Item*> out;
    out.reserve(keyed.size());
    for (const auto& k : keyed) {
        out.push_back(k.second);
    }
    return out;
}

float DiagramView::marksMargin() const {
    return (HANDLE_PIXELS / 2 + 4) * pixel();
}

void DiagramView::itemsNear(const RectF& area, std::vector<const Node*>& nodes,
                            std::vector<const Link*>& links) {
    if (m_orderDirty) {
        m_orderDirty = false;
        m_nodeOrder.clear();
        m_linkOrder.clear();
        std::size_t i = 0;
        for (const auto& n : m_diagram->NodeList()) {
            m_nodeOrder[n.get()] = i++;
        }
        i = 0;
        for (const auto& l : m_diagram->Links()) {
            m_linkOrder[l.get()] = i++;
        }
    }
    // Later nodes are drawn over earlier ones: the diagram's order holds.
    nodes = inDrawingOrder(m_nodeGrid.near(area), m_nodeOrder);
    links = inDrawingOrder(m_linkGrid.near(area), m_linkOrder);
}

void DiagramView::diagramPropertyChanged() {
    // Most property changes (the current item, the record, default colours)
    // change nothing that is drawn; zoom, grid and lock do.
    const int grid = m_diagram->GridSizeX() * 10000 + m_diagram->GridSizeY();
    const bool gridVisible = m_diagram->GridVisible();
    const bool locked = m_diagram->DiagramLocked();
    if (m_diagram->ZoomX() != m_lastZoom) {
        m_lastZoom = m_diagram->ZoomX();
        // A new zoom keeps what is in the middle of the window there.
        updateScale(QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0));
        markAllDirty();
    }
    if (grid != m_lastGrid || gridVisible != m_lastGridVisible) {
        m_lastGrid = grid;
        m_lastGridVisible = gridVisible;
        markAllDirty();
    }
    if (locked != m_lastLocked) {
        // The drawing stays; only what is shown over it (the hint of an
        // empty canvas) may change.
        m_lastLocked = locked;
        viewport()->update();
    }
}

void DiagramView::refreshPointer() {
    updateCursor(viewport()->mapFromGlobal(QCursor::pos()));
}

void DiagramView::FocusDiagram() {
    setFocus(Qt::OtherFocusReason);
}

void DiagramView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = event->rect();
    if (m_diagram == nullptr) {
        painter.fillRect(area, palette().base());
        return;
    }
    ++m_paintCount;
    m_lastPainted = area;
    painter.setClipRect(area);
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QRect content = area.translated(scroll);
    const int x0 = static_cast<int>(std::floor(content.left() / TILE_PIXELS));
    const int x1 = static_cast<int>(std::floor(content.right() / TILE_PIXELS));
    const int y0 = static_cast<int>(std::floor(content.top() / TILE_PIXELS));
    const int y1 = static_cast<int>(std::floor(content.bottom() / TILE_PIXELS));
    renderTiles(x0, y0, x1, y1);
    for (int tx = x0; tx <= x1; ++tx) {
        for (int ty = y0; ty <= y1; ++ty) {
            painter.drawImage(QPointF(tx * TILE_PIXELS - scroll.x(), ty * TILE_PIXELS - scroll.y()),
                              m_tiles.at(tileKey(tx, ty)));
        }
    }
    // Far away tiles go when there are many: the window moved on.
    if (m_tiles.size() > MAX_TILES) {
        const int margin = 2;
        std::erase_if(m_tiles, [&](const auto& t) {
            const auto [tx, ty] = tileOf(t.first);
            return tx < x0 - margin || tx > x1 + margin || ty < y0 - margin || ty > y1 + margin;
        });
    }

    // The selection marks, over the tiles.
    const PointF topLeft = toModel(area.topLeft());
    const PointF bottomRight = toModel(area.bottomRight() + QPoint(1, 1));
    const RectF visible = normalisedRect(topLeft, bottomRight);
    std::vector<const Node*> nodes;
    std::vector<const Link*> links;
    itemsNear(inflated(visible, marksMargin()), nodes, links);
    QtCanvas canvas(painter, m_scale, QPointF(scroll));
    const float px = pixel();
    const PaintOptions drawn;
    for (const Link* l : links) {
        if (l->LinkSelected() && isPaintedNode(*l->LinkOrigin(), drawn) &&
            isPaintedNode(*l->LinkTarget(), drawn)) {
            paintLinkMarks(canvas, *l, px);
        }
    }
    for (const Node* n : nodes) {
        if (n->NodeSelected() && isPaintedNode(*n, drawn)) {
            paintNodeMarks(canvas, *n, px);
        }
    }
    if (m_decoration) {
        painter.save();
        m_decoration(painter);
        painter.restore();
    }
    paintOverlays(painter);
}

void DiagramView::paintOverlays(QPainter& painter) {
    const QColor highlight = palette().color(QPalette::Highlight);
    painter.setRenderHint(QPainter::Antialiasing, true);
    // The connection handle of the state under the pointer.
    if (m_connectNode != nullptr && m_drag == Drag::None) {
        painter.setPen(QPen(highlight, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(toView(m_connectNode->rect()).adjusted(-2, -2, 2, 2), 4, 4);
        const QPointF c = toView(m_connectPoint);
        painter.setBrush(highlight);
        painter.setPen(QPen(palette().color(QPalette::Base), 1.5));
        painter.drawEllipse(c, 6, 6);
        painter.setPen(QPen(palette().color(QPalette::HighlightedText), 1.5));
        painter.drawLine(c - QPointF(3, 0), c + QPointF(3, 0));
        painter.drawLine(c - QPointF(0, 3), c + QPointF(0, 3));
    }
    // An empty canvas says how to begin.
    if (m_drag == Drag::None && !hasDrawnNodes()) {
        QStringList lines;
        if (m_diagram->DiagramLocked()) {
            lines << QStringLiteral("The diagram is locked: click the padlock (Ctrl+L) to edit it");
        } else {
            lines << QStringLiteral("Drag on the canvas to draw a state.")
                  << QStringLiteral(
                         "Drag from a state's edge (or Shift+drag) to another state to "
                         "draw a transition.")
                  << QStringLiteral(
                         "Double-click to edit  ·  Right-click for a menu  ·  "
                         "Ctrl+wheel zooms.");
        }
        painter.setPen(palette().color(QPalette::PlaceholderText));
        QFont f = font();
        f.setPointSizeF(f.pointSizeF() * 1.15);
        painter.setFont(f);
        painter.drawText(viewport()->rect().adjusted(20, 20, -20, -20),
                         Qt::AlignCenter | Qt::TextWordWrap, lines.join(QLatin1Char('\n')));
    }

    // What the gesture under way draws over the diagram.
    if (!m_dragStarted) {
        return;
    }
    QPen pen(highlight, 1, Qt::DashLine);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    switch (m_drag) {
        case Drag::RubberNode:
        case Drag::RubberSelect:
        case Drag::ZoomRect:
            painter.setPen(pen);
            painter.drawRect(rubberRect());
            break;
        case Drag::NewLink:
        case Drag::LinkEnd: {
            if (m_hoverTarget != nullptr) {
                painter.setPen(QPen(highlight, 2));
                painter.drawRect(toView(m_hoverTarget->rect()).adjusted(-2, -2, 2, 2));
            }
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setPen(pen);
            QPointF from;
            if (m_drag == Drag::NewLink) {
                from = toView(m_dragNode->centre());
            } else {
                const auto& pts = m_dragLink->LinkPoints();
                from = toView(m_pointIndex == 0 ? pts[1] : pts[pts.size() - 2]);
            }
            painter.drawLine(from, m_dragPos);
            break;
        }
        default:
            break;
    }
}

bool DiagramView::hasDrawnNodes() const {
    for (const auto& n : m_diagram->NodeList()) {
        if (isPaintedNode(*n, {})) {
            return true;
        }
    }
    return false;
}

void DiagramView::setDecoration(std::function<void(QPainter&)> paint) {
    m_decoration = std::move(paint);
    viewport()->update();
}

void DiagramView::setOverlay(const QRectF& rect) {
    // Repaint where the old rubber shape was and where the new one is.
    const QRect old = m_overlay.toAlignedRect().adjusted(-3, -3, 3, 3);
    m_overlay = rect;
    viewport()->update(old.united(rect.toAlignedRect().adjusted(-3, -3, 3, 3)));
}

// The rubber shapes start where the drag began in the diagram, which stays
// put when the view scrolls.
QRectF DiagramView::rubberRect() const {
    return QRectF(toView(m_pressModel), m_dragPos).normalized();
}

void DiagramView::autoScroll(QPointF pos) {
    // Dragging beyond the window scrolls it, a little more the further out.
    const QRect area = viewport()->rect();
    auto overshoot = [](qreal v, int size) {
        const qreal d = v < 0 ? v : v > size ? v - size : 0;
        return static_cast<int>(std::clamp<qreal>(d, -AUTO_SCROLL_STEP, AUTO_SCROLL_STEP));
    };
    const std::pair<QScrollBar*, int> moves[] = {
        {horizontalScrollBar(), overshoot(pos.x(), area.width())},
        {verticalScrollBar(), overshoot(pos.y(), area.height())}};
    for (const auto& [bar, d] : moves) {
        if (d == 0) {
            continue;
        }
        const int target = std::max(0, bar->value() + d);
        if (target > bar->maximum()) {
            bar->setMaximum(target);
        }
        bar->setValue(target);
    }
}

void DiagramView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScale();
}

void DiagramView::scrollContentsBy(int dx, int dy) {
    if (m_drag != Drag::None) {
        viewport()->update();
    } else {
        viewport()->scroll(dx, dy);
    }
}

// ---------------------------------------------------------------- gestures

void DiagramView::hitAt(PointF p, Node*& node, Link*& link, int& hit) const {
    node = nodeAtPoint(*m_diagram, p);
    link = node == nullptr ? linkAtPoint(*m_diagram, p, tolerance()) : nullptr;
    hit = HIT_NONE;
    // Handles of selected nodes and points of selected links lie on top.
    const float px = pixel();
    for (auto it = m_diagram->NodeList().rbegin(); it != m_diagram->NodeList().rend(); ++it) {
        if ((*it)->NodeSelected()) {
            const int h = handleAtPoint(**it, p, px);
            if (h >= 0) {
                hit = pointerHitOfHandle(h);
                return;
            }
        }
    }
    for (const auto& l : m_diagram->Links()) {
        if (l->LinkSelected() && linkPointAtPoint(*l, p, tolerance()) >= 0) {
            hit = HIT_LINK_POINT;
            return;
        }
    }
}

DiagramView::Hover DiagramView::hoverAt(PointF p) const {
    Hover h;
    int hit = HIT_NONE;
    hitAt(p, h.node, h.link, hit);
    if (hit != HIT_NONE) {
        h.kind = hit == HIT_LINK_POINT ? HoverKind::LinkPoint : HoverKind::Handle;
        return h;
    }
    const bool locked = m_diagram->DiagramLocked();
    // The connection handle: near the rim of a state, inside or just outside.
    if (!locked && m_rules.ConnectEnabled() && m_rules.PointerMode() != POINTER_ZOOM) {
        if (const auto rim = connectPointAt(p, h.node)) {
            h.kind = HoverKind::Connect;
            h.node = rim->first;
            h.link = nullptr;
            h.rimPoint = rim->second;
            return h;
        }
    }
    if (h.node != nullptr) {
        h.kind = HoverKind::Node;
    } else if (h.link != nullptr) {
        h.kind = HoverKind::Link;
    }
    return h;
}

std::optional<std::pair<Node*, PointF>> DiagramView::connectPointAt(PointF p, Node* under) const {
    const float band = CONNECT_PIXELS * pixel();
    auto rimOf = [&](Node& n) -> std::optional<std::pair<Node*, PointF>> {
        if (!isState(n) || !n.NodeConnectable()) {
            return std::nullopt;
        }
        const RectF r = n.rect();
        // The band inside the outline: at most a quarter of the node each
        // way, so a small state keeps a body to grab.
        const float innerX = std::min(band, r.width / 4);
        const float innerY = std::min(band, r.height / 4);
        const bool inside = p.x >= r.left && p.x <= r.right() && p.y >= r.top && p.y <= r.bottom();
        const float toLeft = p.x - r.left;
        const float toRight = r.right() - p.x;
        const float toTop = p.y - r.top;
        const float toBottom = r.bottom() - p.y;
        const bool onRim =
            std::min(toLeft, toRight) <= innerX || std::min(toTop, toBottom) <= innerY;
        if (inside ? !onRim : !holds(inflated(r, band / 2), p)) {
            return std::nullopt;
        }
        // The rim point nearest the pointer, on the side whose band (for its
        // width) the pointer is deepest in.
        PointF q{std::clamp(p.x, r.left, r.right()), std::clamp(p.y, r.top, r.bottom())};
        if (inside) {
            const float depthX = std::min(toLeft, toRight) / std::max(innerX, 1.0f);
            const float depthY = std::min(toTop, toBottom) / std::max(innerY, 1.0f);
            if (depthX <= depthY) {
                q.x = toLeft <= toRight ? r.left : r.right();
            } else {
                q.y = toTop <= toBottom ? r.top : r.bottom();
            }
        }
        return std::make_pair(&n, q);
    };
    if (under != nullptr) {
        return rimOf(*under);  // the node on top decides
    }
    // Just outside a state: the topmost state whose band holds the point.
    const auto& nodes = m_diagram->NodeList();
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
        if (isPaintedNode(**it, {}) && holds(inflated((*it)->rect(), band / 2), p)) {
            if (auto r = rimOf(**it)) {
                return r;
            }
        }
    }
    return std::nullopt;
}

void DiagramView::selectOnly(Node* node, Link* link) {
    for (const auto& n : m_diagram->NodeList()) {
        n->setNodeSelected(n.get() == node);
    }
    for (const auto& l : m_diagram->Links()) {
        l->setLinkSelected(l.get() == link);
    }
}

PointF DiagramView::snapped(PointF p) const {
    if (!m_diagram->SnapToGrid()) {
        return p;
    }
    return {snapToGrid(p.x, m_diagram->GridSizeX()), snapToGrid(p.y, m_diagram->GridSizeY())};
}

QString DiagramView::hintFor(const Hover& h) const {
    if (m_rules.PointerMode() == POINTER_ZOOM) {
        return QStringLiteral("Drag: the area to zoom into");
    }
    if (m_diagram->DiagramLocked()) {
        if (h.node != nullptr && h.node->NodeConnectable()) {
            return QStringLiteral(
                "Double-click: view its properties  ·  Right-click: menu  ·  "
                "The diagram is locked (Ctrl+L unlocks it)");
        }
        return QStringLiteral("The diagram is locked: click the padlock (Ctrl+L) to edit it");
    }
    switch (h.kind) {
        case HoverKind::Handle:
            return QStringLiteral("Drag: resize");
        case HoverKind::LinkPoint:
            return QStringLiteral("Drag: move the bend, or move the arrow's end to another state");
        case HoverKind::Connect:
            return QStringLiteral(
                "Drag to a state: draw a transition (back to this state: a "
                "self transition)");
        case HoverKind::Node:
            if (isState(*h.node)) {
                return QStringLiteral(
                    "Drag: move  ·  From the edge or with Shift: draw a "
                    "transition  ·  Double-click: properties  ·  Right-click: menu");
            }
            if (isTransition(*h.node)) {
                return QStringLiteral(
                    "Drag: move  ·  Shift+drag to a state: its new target  ·  "
                    "Double-click: properties  ·  Right-click: menu");
            }
            return QStringLiteral(
                "Drag: move  ·  Double-click: edit the text  ·  Right-click: menu");
        case HoverKind::Link:
            return QStringLiteral(
                "Drag: add a bend  ·  Double-click: straighten  ·  Right-click: menu");
        case HoverKind::Canvas:
            break;
    }
    if (m_rules.PointerMode() == POINTER_SELECT) {
        return QStringLiteral(
            "Drag: select  ·  Double-click: FSM properties  ·  Right-click: menu  ·  "
            "Ctrl+wheel: zoom");
    }
    return QStringLiteral(
        "Drag: draw a state  ·  Double-click: FSM properties  ·  Right-click: menu  ·  "
        "Ctrl+wheel: zoom");
}

QString DiagramView::dragHint() const {
    switch (m_drag) {
        case Drag::NewLink:
            return QStringLiteral("Release on a state to draw the transition  ·  Esc cancels");
        case Drag::LinkEnd:
            return QStringLiteral(
                "Release on a state to move the arrow's end there  ·  Esc cancels");
        case Drag::MoveNodes:
            return QStringLiteral("Moving  ·  Esc puts it back");
        case Drag::ResizeNode:
            return QStringLiteral("Resizing  ·  Esc puts it back");
        case Drag::LinkPoint:
            return QStringLiteral("Moving the bend  ·  Esc puts it back");
        case Drag::RubberNode:
            return QStringLiteral(
                "Release to draw the state (larger than 500 x 500 twips)  ·  Esc cancels");
        case Drag::RubberSelect:
            return QStringLiteral("Release to select what lies wholly inside  ·  Esc cancels");
        case Drag::ZoomRect:
            return QStringLiteral("Release to zoom into the area  ·  Esc cancels");
        case Drag::Refused:
        case Drag::None:
            break;
    }
    return {};
}

void DiagramView::setHint(const QString& hint) {
    if (hint == m_hint) {
        return;
    }
    m_hint = hint;
    m_events.viewHint(hint.toStdString());
}

void DiagramView::setConnectHover(Node* node, PointF at) {
    if (node == m_connectNode && (node == nullptr || at == m_connectPoint)) {
        return;
    }
    auto area = [&](Node* n, PointF p) {
        const QPointF c = toView(p);
        QRect r = QRectF(c.x() - 8, c.y() - 8, 16, 16).toAlignedRect();
        if (n != nullptr) {
            r = r.united(toView(n->rect()).toAlignedRect().adjusted(-3, -3, 3, 3));
        }
        return r;
    };
    QRect dirty;
    if (m_connectNode != nullptr) {
        dirty = area(m_connectNode, m_connectPoint);
    }
    m_connectNode = node;
    m_connectPoint = at;
    if (node != nullptr) {
        dirty = dirty.united(area(node, at));
    }
    viewport()->update(dirty);
}

void DiagramView::updateCursor(QPointF pos) {
    if (m_diagram == nullptr) {
        return;
    }
    QCursor cursor = cursorForShape(m_rules.PointerShape());
    if (m_drag == Drag::MoveNodes && m_dragStarted) {
        cursor = Qt::ClosedHandCursor;
    } else if (m_drag == Drag::NewLink || m_drag == Drag::LinkEnd) {
        cursor = Qt::CrossCursor;
    } else if (m_drag == Drag::None && m_rules.PointerMode() != POINTER_ZOOM &&
               viewport()->rect().contains(pos.toPoint())) {
        // The pointer tells what a drag would do there.
        const Hover h = hoverAt(toModel(pos));
        if (!m_diagram->DiagramLocked()) {
            if (h.kind == HoverKind::Connect) {
                cursor = Qt::CrossCursor;
            } else if (h.kind == HoverKind::Node) {
                cursor = Qt::SizeAllCursor;
            } else if (h.kind == HoverKind::Link) {
                cursor = Qt::PointingHandCursor;
            }
        }
        setConnectHover(h.kind == HoverKind::Connect ? h.node : nullptr, h.rimPoint);
        setHint(hintFor(h));
    }
    viewport()->setCursor(cursor);
}

void DiagramView::beginDrag(Drag drag, QPointF pos) {
    m_drag = drag;
    m_dragStarted = false;
    m_pressPos = pos;
    m_dragPos = pos;
}

void DiagramView::mousePressEvent(QMouseEvent* event) {
    if (m_diagram == nullptr || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_events.viewMouseDown();
    if (m_diagram == nullptr || !m_rules.DiagramInputEnabled()) {
        return;
    }
    const QPointF pos = event->position();
    const PointF p = toModel(pos);
    const bool locked = m_diagram->DiagramLocked();
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    m_pressModel = p;
    m_changedAtPress = m_diagram->DiagramChanged();
    m_dragNode = nullptr;
    m_dragLink = nullptr;
    m_hoverTarget = nullptr;
    m_leftOrigin = false;
    m_handle = -1;
    m_pointIndex = -1;
    m_pointInserted = false;
    setConnectHover(nullptr, {});

    if (m_rules.PointerMode() == POINTER_ZOOM) {
        beginDrag(Drag::ZoomRect, pos);
        return;
    }
    if (!locked) {
        // A handle of a selected node.
        const auto& nodes = m_diagram->NodeList();
        for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
            if (!(*it)->NodeSelected()) {
                continue;
            }
            const int h = handleAtPoint(**it, p, pixel());
            if (h >= 0) {
                m_dragNode = it->get();
                m_handle = h;
                m_resizeOriginal = m_dragNode->rect();
                m_diagram->setCurrentLink(nullptr);
                m_diagram->setCurrentNode(m_dragNode);
                beginDrag(Drag::ResizeNode, pos);
                return;
            }
        }
        // A point of a selected link.
        for (const auto& l : m_diagram->Links()) {
            if (!l->LinkSelected()) {
                continue;
            }
            const int i = linkPointAtPoint(*l, p, tolerance());
            if (i < 0) {
                continue;
            }
            const int last = static_cast<int>(l->LinkPoints().size()) - 1;
            const Node* end = i == 0 ? l->LinkOrigin() : i == last ? l->LinkTarget() : nullptr;
            // Only an end on a state moves; the end on a transition node stays.
            if ((i == 0 || i == last) && (end == nullptr || !isState(*end))) {
                continue;
            }
            m_dragLink = l.get();
            m_pointIndex = i;
            m_linkOriginal = l->LinkPoints();
            m_diagram->setCurrentNode(nullptr);
            m_diagram->setCurrentLink(m_dragLink);
            beginDrag(i == 0 || i == last ? Drag::LinkEnd : Drag::LinkPoint, pos);
            return;
        }
    }

    Node* node = nodeAtPoint(*m_diagram, p);
    Link* link = node == nullptr ? linkAtPoint(*m_diagram, p, tolerance()) : nullptr;
    // From the connection handle on a state's rim a drag draws a transition.
    std::optional<std::pair<Node*, PointF>> rim;
    if (!locked && m_rules.ConnectEnabled()) {
        rim = connectPointAt(p, node);
        if (rim) {
            node = rim->first;
            link = nullptr;
        }
    }
    if (node != nullptr) {
        if (ctrl) {
            node->setNodeSelected(!node->NodeSelected());
        } else if (!node->NodeSelected()) {
            selectOnly(node, nullptr);
        }
        m_diagram->setCurrentLink(nullptr);
        m_diagram->setCurrentNode(node);
        m_dragNode = node;
        if (locked) {
            beginDrag(Drag::Refused, pos);
            return;
        }
        if (!node->NodeSelected()) {
            beginDrag(Drag::None, pos);
            return;
        }
        // A plain drag moves; from the rim of a state, or with Shift, it
        // draws a link (out of a transition node: its new way out).
        const bool drawsLink =
            node->NodeConnectable() && m_rules.ConnectEnabled() &&
            (rim.has_value() || (shift && (isState(*node) || isTransition(*node))));
        if (drawsLink) {
            selectOnly(node, nullptr);
            beginDrag(Drag::NewLink, pos);
        } else {
            beginDrag(Drag::MoveNodes, pos);
        }
        return;
    }
    if (link != nullptr) {
        if (ctrl) {
            link->setLinkSelected(!link->LinkSelected());
        } else {
            selectOnly(nullptr, link);
        }
        m_diagram->setCurrentNode(nullptr);
        m_diagram->setCurrentLink(link);
        m_dragLink = link;
        if (locked) {
            beginDrag(Drag::Refused, pos);
            return;
        }
        // A drag on the line adds a bend point there once the pointer moves.
        m_pointIndex = -1;
        m_linkOriginal = link->LinkPoints();
        beginDrag(Drag::LinkPoint, pos);
        return;
    }
    if (!ctrl) {
        m_diagram->clearSelection();
    }
    m_diagram->setCurrentNode(nullptr);
    m_diagram->setCurrentLink(nullptr);
    if (locked) {
        beginDrag(Drag::Refused, pos);
        return;
    }
    beginDrag(m_rules.PointerMode() == POINTER_DRAW ? Drag::RubberNode : Drag::RubberSelect, pos);
}

void DiagramView::mouseMoveEvent(QMouseEvent* event) {
    if (m_diagram == nullptr) {
        return;
    }
    const QPointF pos = event->position();
    const bool leftDown = event->buttons().testFlag(Qt::LeftButton);
    if (!leftDown || m_drag == Drag::None) {
        if (!leftDown) {
            const PointF p = toModel(pos);
            Node* node = nullptr;
            Link* link = nullptr;
            int hit = HIT_NONE;
            hitAt(p, node, link, hit);
            m_events.viewMouseMove(false, node, link, hit);
        }
        updateCursor(pos);
        return;
    }
    updateDrag(pos, event->modifiers());
}

void DiagramView::leaveEvent(QEvent* event) {
    setConnectHover(nullptr, {});
    QAbstractScrollArea::leaveEvent(event);
}

void DiagramView::takeMovingSet() {
    m_moved.clear();
    m_movedLinks.clear();
    const std::vector<Node*> moving = nodesMovingWithSelection(*m_diagram);
    std::unordered_set<const Node*> set(moving.begin(), moving.end());
    for (Node* n : moving) {
        m_moved.emplace_back(n, n->rect());
    }
    // Bends of links whose two ends move go along.
    for (Node* n : moving) {
        for (Link* l : n->NodeOutLinks()) {
            if (l->LinkPoints().size() > 2 && set.count(l->LinkTarget()) != 0) {
                m_movedLinks.emplace_back(l, l->LinkPoints());
            }
        }
    }
}

void DiagramView::updateDrag(QPointF pos, Qt::KeyboardModifiers) {
    if (!m_dragStarted) {
        if (QLineF(m_pressPos, pos).length() < CLICK_DISTANCE) {
            return;
        }
        m_dragStarted = true;
        if (m_drag == Drag::Refused) {
            m_events.viewLockRefused();
            return;
        }
        setHint(dragHint());
        if (m_drag == Drag::MoveNodes) {
            takeMovingSet();
        } else if (m_drag == Drag::LinkPoint && m_pointIndex < 0) {
            const int segment =
                linkSegmentAtPoint(*m_dragLink, m_pressModel, std::max(tolerance(), 1e6f));
            std::vector<PointF> pts = m_dragLink->LinkPoints();
            m_pointIndex = std::max(segment, 0) + 1;
            pts.insert(pts.begin() + m_pointIndex, snapped(m_pressModel));
            m_dragLink->setLinkPoints(std::move(pts));
            m_pointInserted = true;
        }
    }
    autoScroll(pos);
    const QPointF previous = m_dragPos;
    m_dragPos = pos;
    const PointF p = toModel(pos);
    switch (m_drag) {
        case Drag::RubberNode:
        case Drag::RubberSelect:
        case Drag::ZoomRect:
            setOverlay(rubberRect());
            break;
        case Drag::NewLink:
        case Drag::LinkEnd: {
            Node* over = nodeAtPoint(*m_diagram, p);
            if (m_drag == Drag::NewLink && over != m_dragNode) {
                const PointF c = m_dragNode->centre();
                if (!m_leftOrigin || std::hypot(p.x - c.x, p.y - c.y) >
                                         std::hypot(m_farthest.x - c.x, m_farthest.y - c.y)) {
                    m_farthest = p;
                }
                m_leftOrigin = true;
            }
            if (m_drag == Drag::LinkEnd && over != nullptr && !isState(*over)) {
                over = nullptr;  // an end is only re-attached to a state
            }
            Node* old = m_hoverTarget;
            m_hoverTarget = over;
            QRectF dirty = QRectF(previous, pos).normalized();
            QPointF from =
                m_drag == Drag::NewLink
                    ? toView(m_dragNode->centre())
                    : toView(m_pointIndex == 0
                                 ? m_dragLink->LinkPoints()[1]
                                 : m_dragLink->LinkPoints()[m_dragLink->LinkPoints().size() - 2]);
            dirty = dirty.united(QRectF(from, previous).normalized())
                        .united(QRectF(from, pos).normalized());
            for (Node* n : {old, m_hoverTarget}) {
                if (n != nullptr) {
                    dirty = dirty.united(toView(n->rect()));
                }
            }
            viewport()->update(dirty.toAlignedRect().adjusted(-4, -4, 4, 4));
            break;
        }
        case Drag::MoveNodes:
            moveSelection(p.x - m_pressModel.x, p.y - m_pressModel.y);
            break;
        case Drag::ResizeNode: {
            RectF r = resizedRect(m_resizeOriginal, m_handle, p.x - m_pressModel.x,
                                  p.y - m_pressModel.y, 100);
            if (r.left < 0) {
                r.width += r.left;
                r.left = 0;
            }
            if (r.top < 0) {
                r.height += r.top;
                r.top = 0;
            }
            m_dragNode->setRect(r);
            break;
        }
        case Drag::LinkPoint: {
            std::vector<PointF> pts = m_dragLink->LinkPoints();
            if (m_pointIndex > 0 && m_pointIndex < static_cast<int>(pts.size()) - 1) {
                const PointF q = snapped(p);
                pts[static_cast<std::size_t>(m_pointIndex)] = {std::max(q.x, 0.0f),
                                                               std::max(q.y, 0.0f)};
                m_dragLink->setLinkPoints(std::move(pts));
            }
            break;
        }
        case Drag::Refused:
        case Drag::None:
            break;
    }
}

void DiagramView::moveSelection(float dx, float dy) {
    if (m_moved.empty()) {
        return;
    }
    // The node under the pointer snaps to the grid; the others keep their
    // distance to it.
    const RectF& lead = [&]() -> const RectF& {
        for (const auto& m : m_moved) {
            if (m.first == m_dragNode) {
                return m.second;
            }
        }
        return m_moved.front().second;
    }();
    const PointF target = snapped({lead.left + dx, lead.top + dy});
    applyOffset(target.x - lead.left, target.y - lead.top);
}

void DiagramView::applyOffset(float dx, float dy) {
    // Nothing moves above or left of the origin.
    float minLeft = m_moved.front().second.left;
    float minTop = m_moved.front().second.top;
    for (const auto& m : m_moved) {
        minLeft = std::min(minLeft, m.second.left);
        minTop = std::min(minTop, m.second.top);
    }
    dx = std::max(dx, -minLeft);
    dy = std::max(dy, -minTop);
    for (const auto& [node, original] : m_moved) {
        node->setRect({original.left + dx, original.top + dy, original.width, original.height});
    }
    for (const auto& [link, original] : m_movedLinks) {
        std::vector<PointF> pts = link->LinkPoints();
        for (std::size_t i = 1; i + 1 < pts.size() && i + 1 < original.size(); ++i) {
            pts[i] = {original[i].x + dx, original[i].y + dy};
        }
        link->setLinkPoints(std::move(pts));
    }
}

GestureEnd DiagramView::finishDrag(QPointF pos) {
    GestureEnd end;
    end.changedBefore = m_changedAtPress;
    const Drag drag = m_drag;
    const bool started = m_dragStarted;
    m_drag = Drag::None;
    m_dragStarted = false;
    m_overlay = {};
    if (drag == Drag::RubberNode || drag == Drag::RubberSelect || drag == Drag::ZoomRect ||
        drag == Drag::NewLink || drag == Drag::LinkEnd) {
        viewport()->update();  // the rubber shapes go
    }
    if (!started) {
        return end;
    }
    const PointF p = toModel(pos);
    switch (drag) {
        case Drag::Refused:
            break;
        case Drag::RubberNode: {
            const PointF a = snapped(m_pressModel);
            const PointF b = snapped(p);
            const RectF r = normalisedRect({std::max(a.x, 0.0f), std::max(a.y, 0.0f)},
                                           {std::max(b.x, 0.0f), std::max(b.y, 0.0f)});
            if (r.width <= 0 || r.height <= 0) {
                break;
            }
            Node* n = m_diagram->AddNode(r.left, r.top, r.width, r.height);
            selectOnly(n, nullptr);
            m_diagram->setCurrentLink(nullptr);
            m_diagram->setCurrentNode(n);
            end.gestureResult = GESTURE_NODE_DRAWN;
            end.newItem = true;
            break;
        }
        case Drag::RubberSelect: {
            const RectF r = normalisedRect(m_pressModel, p);
            for (const auto& n : m_diagram->NodeList()) {
                const RectF nr = n->rect();
                if (isPaintedNode(*n, {}) && holds(r, {nr.left, nr.top}) &&
                    holds(r, {nr.right(), nr.bottom()})) {
                    n->setNodeSelected(true);
                }
            }
            for (const auto& l : m_diagram->Links()) {
                const auto pts = visibleLinkPoints(*l);
                if (!pts.empty() && std::all_of(pts.begin(), pts.end(),
                                                [&](const PointF& q) { return holds(r, q); })) {
                    l->setLinkSelected(true);
                }
            }
            break;
        }
        case Drag::ZoomRect:
            zoomToRect(normalisedRect(m_pressModel, p));
            break;
        case Drag::NewLink: {
            Node* target = nodeAtPoint(*m_diagram, p);
            if (target == nullptr || (target == m_dragNode && !m_leftOrigin)) {
                break;
            }
            Link* l = m_diagram->AddLink(m_dragNode, target);
            if (target == m_dragNode) {
                // A link back to its own node goes through the point furthest
                // from it that the pointer reached.
                const PointF c = m_dragNode->centre();
                l->setLinkPoints({c, m_farthest, c});
            }
            selectOnly(nullptr, l);
            m_diagram->setCurrentNode(nullptr);
            m_diagram->setCurrentLink(l);
            end.gestureResult = GESTURE_LINK_ENDS;
            end.newItem = true;
            break;
        }
        case Drag::LinkEnd: {
            Node* over = m_hoverTarget;
            m_hoverTarget = nullptr;
            Link* old = m_dragLink;
            const int last = static_cast<int>(old->LinkPoints().size()) - 1;
            Node* current = m_pointIndex == 0 ? old->LinkOrigin() : old->LinkTarget();
            if (over == nullptr || over == current) {
                break;
            }
            Node* origin = m_pointIndex == 0 ? over : old->LinkOrigin();
            Node* target = m_pointIndex == last ? over : old->LinkTarget();
            std::vector<PointF> pts = old->LinkPoints();
            pts.front() = origin->centre();
            pts.back() = target->centre();
            const int arrow = old->LinkArrowStyle();
            const int keepArrow = m_diagram->NewLinkArrowStyle();
            m_diagram->setNewLinkArrowStyle(arrow);
            Link* fresh = m_diagram->AddLink(origin, target);
            m_diagram->setNewLinkArrowStyle(keepArrow);
            fresh->setLinkPoints(std::move(pts));
            fresh->setLinkColor(old->LinkColor());
            fresh->setLinkLineStyle(old->LinkLineStyle());
            m_diagram->removeLink(old);
            selectOnly(nullptr, fresh);
            m_diagram->setCurrentNode(nullptr);
            m_diagram->setCurrentLink(fresh);
            end.gestureResult = GESTURE_LINK_ENDS;
            break;
        }
        case Drag::MoveNodes:
            if (!m_moved.empty() && !(m_moved.front().first->rect() == m_moved.front().second)) {
                end.gestureResult = GESTURE_MOVED;
            }
            break;
        case Drag::ResizeNode:
            if (!(m_dragNode->rect() == m_resizeOriginal)) {
                end.gestureResult = GESTURE_RESIZED;
            }
            break;
        case Drag::LinkPoint:
            if (m_pointInserted || m_dragLink->LinkPoints() != m_linkOriginal) {
                end.gestureResult = GESTURE_LINK_POINTS;
            }
            break;
        case Drag::None:
            break;
    }
    m_moved.clear();
    m_movedLinks.clear();
    return end;
}

void DiagramView::cancelDrag() {
    if (m_drag == Drag::None) {
        return;
    }
    const Drag drag = m_drag;
    const bool started = m_dragStarted;
    m_drag = Drag::None;
    m_dragStarted = false;
    m_hoverTarget = nullptr;
    m_overlay = {};
    viewport()->update();
    if (!started || m_diagram == nullptr) {
        return;
    }
    // Everything goes back where it was when the drag began.
    if (drag == Drag::MoveNodes) {
        for (const auto& [node, original] : m_moved) {
            node->setRect(original);
        }
        for (const auto& [link, original] : m_movedLinks) {
            std::vector<PointF> pts = link->LinkPoints();
            for (std::size_t i = 1; i + 1 < pts.size() && i + 1 < original.size(); ++i) {
                pts[i] = original[i];
            }
            link->setLinkPoints(std::move(pts));
        }
    } else if (drag == Drag::ResizeNode && m_dragNode != nullptr) {
        m_dragNode->setRect(m_resizeOriginal);
    } else if (drag == Drag::LinkPoint && m_dragLink != nullptr) {
        std::vector<PointF> pts = m_linkOriginal;
        pts.front() = m_dragLink->LinkPoints().front();
        pts.back() = m_dragLink->LinkPoints().back();
        m_dragLink->setLinkPoints(std::move(pts));
    }
    m_moved.clear();
    m_movedLinks.clear();
    if (m_diagram->DiagramChanged() != m_changedAtPress) {
        m_diagram->SetDiagramChanged(m_changedAtPress);
    }
}

void DiagramView::zoomToRect(const RectF& r) {
    if (r.width * m_scale < 4 || r.height * m_scale < 4) {
        return;
    }
    const qreal dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    const QSize vs = viewport()->size();
    const qreal scale = std::min(vs.width() / r.width, vs.height() / r.height);
    const int zoom =
        std::clamp(static_cast<int>(scale * 1440.0 / dpi * 100.0),
                   static_cast<int>(MIN_SCALE_ZOOM * 100), static_cast<int>(MAX_SCALE_ZOOM * 100));
    m_diagram->setZoom(zoom, zoom);
    scrollToModel({r.left, r.top});
}

void DiagramView::mouseReleaseEvent(QMouseEvent* event) {
    if (m_diagram == nullptr || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    const GestureEnd end = finishDrag(event->position());
    m_dragNode = nullptr;
    m_dragLink = nullptr;
    m_pressPos = {};
    if (m_rules.DiagramInputEnabled()) {
        m_events.viewMouseUp(end);
    }
    updateCursor(event->position());
}

void DiagramView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_diagram == nullptr || event->button() != Qt::LeftButton) {
        return;
    }
    cancelDrag();
    const PointF p = toModel(event->position());
    Node* node = nodeAtPoint(*m_diagram, p);
    Link* link = node == nullptr ? linkAtPoint(*m_diagram, p, tolerance()) : nullptr;
    m_events.viewDoubleClick(node, link);
}

void DiagramView::zoomAbout(int zoom, QPointF pos) {
    if (m_diagram == nullptr || zoom <= 0) {
        return;
    }
    const PointF anchor = toModel(pos);
    m_diagram->setZoom(zoom, zoom);
    // The point under the pointer stays under it.
    updateScrollBars();
    const std::pair<QScrollBar*, qreal> bars[] = {
        {horizontalScrollBar(), anchor.x * m_scale - pos.x()},
        {verticalScrollBar(), anchor.y * m_scale - pos.y()}};
    for (const auto& [bar, value] : bars) {
        const int target = std::max(0, static_cast<int>(std::lround(value)));
        if (target > bar->maximum()) {
            bar->setMaximum(target);
        }
        bar->setValue(target);
    }
    m_events.viewZoomed();
}

int DiagramView::effectiveZoom() const {
    const qreal dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    return static_cast<int>(std::lround(m_scale * 1440.0 / dpi * 100.0));
}

void DiagramView::zoomBy(int steps, std::optional<QPointF> around) {
    const QPointF pos =
        around.value_or(QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0));
    zoomAbout(zoomStep(effectiveZoom(), steps), pos);
}

void DiagramView::wheelEvent(QWheelEvent* event) {
    if (m_diagram == nullptr) {
        return;
    }
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        // One notch is one zoom step, about the point under the pointer.
        m_wheelZoom += event->angleDelta().y();
        const int steps = m_wheelZoom / 120;
        if (steps != 0) {
            m_wheelZoom -= steps * 120;
            zoomBy(steps, event->position());
        }
        event->accept();
        return;
    }
    if (event->modifiers().testFlag(Qt::ShiftModifier) && event->angleDelta().x() == 0) {
        // Shift turns the wheel sideways.
        QWheelEvent sideways(event->position(), event->globalPosition(),
                             event->pixelDelta().transposed(), event->angleDelta().transposed(),
                             event->buttons(), event->modifiers() & ~Qt::ShiftModifier,
                             event->phase(), event->inverted());
        QAbstractScrollArea::wheelEvent(&sideways);
        event->setAccepted(sideways.isAccepted());
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void DiagramView::contextMenuEvent(QContextMenuEvent* event) {
    if (m_diagram == nullptr || !m_rules.DiagramInputEnabled()) {
        return;
    }
    cancelDrag();
    setConnectHover(nullptr, {});
    const PointF p = toModel(event->pos());
    Node* node = nodeAtPoint(*m_diagram, p);
    Link* link = node == nullptr ? linkAtPoint(*m_diagram, p, tolerance()) : nullptr;
    // The menu acts on what was clicked: it joins the selection, or becomes
    // the selection when it was not part of it.
    if (node != nullptr) {
        if (!node->NodeSelected()) {
            selectOnly(node, nullptr);
        }
        m_diagram->setCurrentLink(nullptr);
        m_diagram->setCurrentNode(node);
    } else if (link != nullptr) {
        if (!link->LinkSelected()) {
            selectOnly(nullptr, link);
        }
        m_diagram->setCurrentNode(nullptr);
        m_diagram->setCurrentLink(link);
    }
    m_events.viewContextMenu(node, link, event->globalPos(), p);
    event->accept();
}

void DiagramView::nudge(int xSteps, int ySteps, bool onePixel) {
    if (m_diagram == nullptr || m_diagram->DiagramLocked() || m_drag != Drag::None) {
        return;
    }
    takeMovingSet();
    if (m_moved.empty()) {
        return;
    }
    if (!m_nudged) {
        m_events.viewNudgeStarted();
    }
    // A grid step, or one pixel of the screen at the current zoom.
    const float px = std::max(1.0f, std::round(pixel()));
    const float stepX = onePixel ? px : static_cast<float>(std::max(1, m_diagram->GridSizeX()));
    const float stepY = onePixel ? px : static_cast<float>(std::max(1, m_diagram->GridSizeY()));
    applyOffset(static_cast<float>(xSteps) * stepX, static_cast<float>(ySteps) * stepY);
    m_moved.clear();
    m_movedLinks.clear();
    m_nudged = true;
}

void DiagramView::keyPressEvent(QKeyEvent* event) {
    const bool onePixel = event->modifiers().testFlag(Qt::ShiftModifier);
    switch (event->key()) {
        case Qt::Key_Escape:
            if (m_drag != Drag::None) {
                cancelDrag();
                setHint({});
            } else if (m_diagram != nullptr) {
                m_diagram->clearSelection();
            }
            return;
        case Qt::Key_Delete:
            m_events.viewKeyDown(46);
            return;
        case Qt::Key_Left:
            nudge(-1, 0, onePixel);
            return;
        case Qt::Key_Right:
            nudge(1, 0, onePixel);
            return;
        case Qt::Key_Up:
            nudge(0, -1, onePixel);
            return;
        case Qt::Key_Down:
            nudge(0, 1, onePixel);
            return;
        default:
            break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void DiagramView::keyReleaseEvent(QKeyEvent* event) {
    // Holding an arrow key repeats the move; letting go ends it as one step.
    const int key = event->key();
    const bool arrow =
        key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    if (arrow && !event->isAutoRepeat() && m_nudged) {
        m_nudged = false;
        m_events.viewNudged();
        return;
    }
    QAbstractScrollArea::keyReleaseEvent(event);
}

}  // namespace tarvel
