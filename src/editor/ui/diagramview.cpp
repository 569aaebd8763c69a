#include "editor/ui/diagramview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

#include "editor/hittest.h"
#include "export/diagrampainter.h"
#include "export/ui/qtcanvas.h"
#include "model/staterecord.h"

namespace tarvel {

namespace {

constexpr qreal CLICK_DISTANCE = 3;    // pixels a drag must cover to count
constexpr float RIM_PIXELS = 5;        // the rim of a node that moves it in draw mode
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

void DiagramView::updateScale() {
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
    // The part of the diagram at the top left of the window stays there.
    const PointF topLeft = toModel(QPointF(0, 0));
    m_scale = scale;
    rebuildBoundsCache();
    markAllDirty();
    updateScrollBars();
    horizontalScrollBar()->setValue(static_cast<int>(topLeft.x * m_scale));
    verticalScrollBar()->setValue(static_cast<int>(topLeft.y * m_scale));
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
    if (m_diagram == nullptr) {
        return;
    }
    const float px = pixel();
    m_nodeBounds.reserve(m_diagram->nodeCount());
    for (const auto& n : m_diagram->NodeList()) {
        m_nodeBounds[n.get()] = nodePaintBounds(*n, px);
    }
    m_linkBounds.reserve(m_diagram->Links().size());
    for (const auto& l : m_diagram->Links()) {
        m_linkBounds[l.get()] = linkPaintBounds(*l, px);
    }
}

void DiagramView::markDirty(const RectF& r) {
    m_dirty = m_dirty ? unite(*m_dirty, r) : r;
    scheduleFlush();
}

void DiagramView::markAllDirty() {
    m_allDirty = true;
    scheduleFlush();
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
    const RectF b = nodePaintBounds(node, pixel());
    m_nodeBounds[&node] = b;
    markDirty(b);
    m_extentDirty = true;
}

void DiagramView::nodeRemoving(Node& node) {
    if (auto it = m_nodeBounds.find(&node); it != m_nodeBounds.end()) {
        markDirty(it->second);
        m_nodeBounds.erase(it);
    }
    m_extentDirty = true;
    if (m_dragNode == &node || m_hoverTarget == &node) {
        cancelDrag();
    }
    std::erase_if(m_moved, [&](const auto& m) { return m.first == &node; });
}

void DiagramView::nodeChanged(Node& node, NodeChange what) {
    if (what == NodeChange::Data || what == NodeChange::Tip) {
        return;  // not drawn
    }
    const RectF b = nodePaintBounds(node, pixel());
    RectF& cached = m_nodeBounds[&node];
    markDirty(cached.width > 0 || cached.height > 0 ? unite(cached, b) : b);
    cached = b;
    if (what == NodeChange::Geometry) {
        m_extentDirty = true;
    }
}

void DiagramView::linkAdded(Link& link) {
    const RectF b = linkPaintBounds(link, pixel());
    m_linkBounds[&link] = b;
    markDirty(b);
}

void DiagramView::linkRemoving(Link& link) {
    if (auto it = m_linkBounds.find(&link); it != m_linkBounds.end()) {
        markDirty(it->second);
        m_linkBounds.erase(it);
    }
    if (m_dragLink == &link) {
        cancelDrag();
    }
    std::erase_if(m_movedLinks, [&](const auto& m) { return m.first == &link; });
}

void DiagramView::linkChanged(Link& link, LinkChange) {
    const RectF b = linkPaintBounds(link, pixel());
    RectF& cached = m_linkBounds[&link];
    markDirty(cached.width > 0 || cached.height > 0 ? unite(cached, b) : b);
    cached = b;
}

void DiagramView::diagramReset() {
    m_drag = Drag::None;
    m_dragNode = nullptr;
    m_dragLink = nullptr;
    m_hoverTarget = nullptr;
    m_moved.clear();
    m_movedLinks.clear();
    m_overlay = {};
    rebuildBoundsCache();
    m_extentDirty = true;
    markAllDirty();
}

void DiagramView::diagramPropertyChanged() {
    // Most property changes (the current item, the record, default colours)
    // change nothing that is drawn; zoom, grid and lock do.
    const int grid = m_diagram->GridSizeX() * 10000 + m_diagram->GridSizeY();
    const bool gridVisible = m_diagram->GridVisible();
    const bool locked = m_diagram->DiagramLocked();
    if (m_diagram->ZoomX() != m_lastZoom) {
        m_lastZoom = m_diagram->ZoomX();
        updateScale();
        markAllDirty();
    }
    if (grid != m_lastGrid || gridVisible != m_lastGridVisible || locked != m_lastLocked) {
        m_lastGrid = grid;
        m_lastGridVisible = gridVisible;
        m_lastLocked = locked;
        markAllDirty();
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
    painter.fillRect(area, palette().base());
    if (m_diagram == nullptr) {
        return;
    }
    ++m_paintCount;
    m_lastPainted = area;
    painter.setClipRect(area);
    QtCanvas canvas(painter, m_scale,
                    QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value()));
    PaintOptions options;
    options.grid = m_diagram->GridVisible();
    options.selectionMarks = true;
    options.screenAids = true;
    options.pixel = pixel();
    const PointF topLeft = toModel(area.topLeft());
    const PointF bottomRight = toModel(area.bottomRight() + QPoint(1, 1));
    options.visible = normalisedRect(topLeft, bottomRight);
    options.hideTextOf = m_rules.editedComment();
    paintDiagram(canvas, *m_diagram, m_measurer, options);
    if (m_decoration) {
        painter.save();
        m_decoration(painter);
        painter.restore();
    }

    // What the gesture under way draws over the diagram.
    if (!m_dragStarted) {
        return;
    }
    QPen pen(palette().color(QPalette::Highlight), 1, Qt::DashLine);
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
                painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
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

bool DiagramView::onNodeRim(const Node& node, PointF p) const {
    const RectF r = node.rect();
    const float rim = std::min(RIM_PIXELS * pixel(), std::min(r.width, r.height) / 4);
    return p.x - r.left < rim || r.right() - p.x < rim || p.y - r.top < rim ||
           r.bottom() - p.y < rim;
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

void DiagramView::updateCursor(QPointF pos) {
    if (m_diagram == nullptr) {
        return;
    }
    QCursor cursor = cursorForShape(m_rules.PointerShape());
    if (m_drag == Drag::MoveNodes && m_dragStarted) {
        cursor = Qt::ClosedHandCursor;
    } else if (m_drag == Drag::None && m_rules.PointerMode() != POINTER_ZOOM &&
               viewport()->rect().contains(pos.toPoint())) {
        // Over a node's body the pointer tells what a drag would do there.
        const PointF p = toModel(pos);
        Node* node = nullptr;
        Link* link = nullptr;
        int hit = HIT_NONE;
        hitAt(p, node, link, hit);
        if (hit == HIT_NONE && node != nullptr && !m_diagram->DiagramLocked()) {
            const bool drawsLink = m_rules.PointerMode() == POINTER_DRAW &&
                                   node->NodeConnectable() && m_rules.ConnectEnabled() &&
                                   isState(*node) && !onNodeRim(*node, p);
            cursor = drawsLink ? QCursor(Qt::CrossCursor) : QCursor(Qt::SizeAllCursor);
        }
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
    if (node != nullptr) {
        if (ctrl) {
            node->setNodeSelected(!node->NodeSelected());
        } else if (!node->NodeSelected()) {
            selectOnly(node, nullptr);
        }
        m_diagram->setCurrentLink(nullptr);
        m_diagram->setCurrentNode(node);
        m_dragNode = node;
        if (locked || !node->NodeSelected()) {
            beginDrag(Drag::None, pos);
            return;
        }
        // In draw mode a drag from a state's body draws a link; from its rim,
        // or with Shift, it moves. A transition node is the other way round:
        // it moves, and Shift draws a link out of it.
        bool drawsLink = m_rules.PointerMode() == POINTER_DRAW && node->NodeConnectable() &&
                         m_rules.ConnectEnabled();
        if (drawsLink) {
            drawsLink = isTransition(*node) ? shift : !shift && !onNodeRim(*node, p);
        }
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
            beginDrag(Drag::None, pos);
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
    const bool drawsNode = m_rules.PointerMode() == POINTER_DRAW && !locked;
    beginDrag(drawsNode ? Drag::RubberNode : Drag::RubberSelect, pos);
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

void DiagramView::updateDrag(QPointF pos, Qt::KeyboardModifiers) {
    if (!m_dragStarted) {
        if (QLineF(m_pressPos, pos).length() < CLICK_DISTANCE) {
            return;
        }
        m_dragStarted = true;
        if (m_drag == Drag::MoveNodes) {
            m_moved.clear();
            m_movedLinks.clear();
            for (const auto& n : m_diagram->NodeList()) {
                if (n->NodeSelected() && isPaintedNode(*n, {})) {
                    m_moved.emplace_back(n.get(), n->rect());
                }
            }
            // Bends of links whose two ends move go along.
            for (const auto& l : m_diagram->Links()) {
                if (l->LinkPoints().size() > 2 && l->LinkOrigin()->NodeSelected() &&
                    l->LinkTarget()->NodeSelected()) {
                    m_movedLinks.emplace_back(l.get(), l->LinkPoints());
                }
            }
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
        case Drag::None:
            break;
    }
}

void DiagramView::moveSelection(float dx, float dy) {
    if (m_moved.empty()) {
        return;
    }
    // The node under the pointer snaps to the grid; the others keep their
    // distance to it. Nothing moves above or left of the origin.
    const RectF& lead = [&]() -> const RectF& {
        for (const auto& m : m_moved) {
            if (m.first == m_dragNode) {
                return m.second;
            }
        }
        return m_moved.front().second;
    }();
    const PointF target = snapped({lead.left + dx, lead.top + dy});
    dx = target.x - lead.left;
    dy = target.y - lead.top;
    float minLeft = lead.left;
    float minTop = lead.top;
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

void DiagramView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && m_drag != Drag::None) {
        cancelDrag();
        return;
    }
    if (event->key() == Qt::Key_Delete) {
        m_events.viewKeyDown(46);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

}  // namespace tarvel
