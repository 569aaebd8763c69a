#include "export/diagrampainter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/nodekind.h"
#include "model/nodesizing.h"
#include "model/text.h"

namespace tarvel {

namespace {

constexpr std::uint32_t NEVER_DRAWN = NK_INFO | NK_ANNOTATION;
constexpr Color GRID_COLOR = rgb(222, 222, 222);
constexpr Color MARK_COLOR = rgb(0, 0, 128);
constexpr Color AID_COLOR = rgb(160, 160, 160);
// One unit of `NodeLineWidth`: a pixel at 100% on a 96 dots-per-inch screen.
constexpr float LINE_UNIT = 15;
// Inner outline of a final state, inside the outer one.
constexpr float FINAL_INSET = 45;
constexpr std::string_view ELLIPSIS = "\xE2\x80\xA6";
constexpr float MARK_GAP = SUPERSTATE_MARK_GAP;
constexpr float MARK_WIDTH = SUPERSTATE_MARK_WIDTH;
constexpr float MARK_HEIGHT = SUPERSTATE_MARK_HEIGHT;
constexpr float MARK_RIGHT = SUPERSTATE_MARK_RIGHT;
constexpr float MARK_BOTTOM = SUPERSTATE_MARK_BOTTOM;

enum class Look { State, Initial, Final, Transition, Comment, Plain };

Look lookOf(const Node& n) {
    const int style = n.NodeShapeStyle();
    if (n.hasKind(NK_TRANSITION)) {
        return Look::Transition;
    }
    if (style == 50) {
        if (n.hasKind(NK_INITIAL)) {
            return Look::Initial;
        }
        if (n.hasKind(NK_FINAL)) {
            return Look::Final;
        }
        return Look::State;
    }
    if (style == 51) {
        return Look::State;
    }
    if (style == 1 || n.hasKind(NK_COMMENT)) {
        return Look::Comment;
    }
    return n.hasKind(NK_ANY_STATE) ? Look::State : Look::Plain;
}

// Corner radius of the rounded looks; 0 for square ones.
float cornerRadius(const Node& n) {
    const float shorter = std::min(std::fabs(n.NodeWidth()), std::fabs(n.NodeHeight()));
    switch (lookOf(n)) {
        case Look::State:
        case Look::Final:
            return std::min(120.0f, shorter / 4);
        case Look::Initial:
            return std::min(240.0f, shorter / 3);
        case Look::Transition:
            return shorter / 3;
        case Look::Comment:
        case Look::Plain:
            return 0;
    }
    return 0;
}

float outlineWidth(const Node& n) {
    const float w = static_cast<float>(std::max(n.NodeLineWidth(), 1)) * LINE_UNIT;
    return lookOf(n) == Look::Initial ? 2 * w : w;
}

bool contains(const RectF& r, PointF p) {
    return p.x >= r.left && p.x <= r.right() && p.y >= r.top && p.y <= r.bottom();
}

RectF boundsOf(const std::vector<PointF>& points) {
    float l = std::numeric_limits<float>::max();
    float t = l;
    float r = std::numeric_limits<float>::lowest();
    float b = r;
    for (const PointF& p : points) {
        l = std::min(l, p.x);
        t = std::min(t, p.y);
        r = std::max(r, p.x);
        b = std::max(b, p.y);
    }
    return points.empty() ? RectF{} : RectF{l, t, r - l, b - t};
}

// Where the segment from `inside` towards `outside` leaves the node's outline,
// rounded corners included.
PointF exitPoint(const Node& node, PointF inside, PointF outside) {
    const RectF r =
        normalisedRect({node.NodeLeft(), node.NodeTop()},
                       {node.NodeLeft() + node.NodeWidth(), node.NodeTop() + node.NodeHeight()});
    const float dx = outside.x - inside.x;
    const float dy = outside.y - inside.y;
    float t = 1;
    if (dx > 0) {
        t = std::min(t, (r.right() - inside.x) / dx);
    } else if (dx < 0) {
        t = std::min(t, (r.left - inside.x) / dx);
    }
    if (dy > 0) {
        t = std::min(t, (r.bottom() - inside.y) / dy);
    } else if (dy < 0) {
        t = std::min(t, (r.top - inside.y) / dy);
    }
    t = std::clamp(t, 0.0f, 1.0f);
    PointF p{inside.x + t * dx, inside.y + t * dy};

    // In a corner of a rounded shape the outline is an arc: step back along
    // the segment to where it meets the corner's circle.
    const float radius = cornerRadius(node);
    if (radius <= 0) {
        return p;
    }
    const float cx = p.x < r.left + radius      ? r.left + radius
                     : p.x > r.right() - radius ? r.right() - radius
                                                : p.x;
    const float cy = p.y < r.top + radius        ? r.top + radius
                     : p.y > r.bottom() - radius ? r.bottom() - radius
                                                 : p.y;
    if (cx == p.x || cy == p.y) {
        return p;  // on a straight edge
    }
    // Solve |inside + s*d - c| = radius for the largest s in [0, t].
    const float fx = inside.x - cx;
    const float fy = inside.y - cy;
    const float a = dx * dx + dy * dy;
    const float b = 2 * (fx * dx + fy * dy);
    const float c = fx * fx + fy * fy - radius * radius;
    const float disc = b * b - 4 * a * c;
    if (a <= 0 || disc < 0) {
        return p;
    }
    const float s = std::clamp((-b + std::sqrt(disc)) / (2 * a), 0.0f, t);
    return {inside.x + s * dx, inside.y + s * dy};
}

bool insideNode(const Node& n, PointF p) {
    return contains(normalisedRect({n.NodeLeft(), n.NodeTop()},
                                   {n.NodeLeft() + n.NodeWidth(), n.NodeTop() + n.NodeHeight()}),
                    p);
}

LineStyle lineStyleOf(int code) {
    return code >= 0 && code <= 5 ? static_cast<LineStyle>(code) : LineStyle::Solid;
}

void drawShape(Canvas& canvas, const RectF& r, float radius) {
    if (radius > 0) {
        canvas.drawRoundedRectangle(r, radius, radius);
    } else {
        canvas.drawRectangle(r);
    }
}

// Two small linked boxes in the lower right corner: the state has a child diagram.
void drawSuperstateMark(Canvas& canvas, const Node& node, const RectF& mark) {
    canvas.setPen({node.NodeLineColor(), LINE_UNIT, LineStyle::Solid});
    canvas.setBrush({node.NodeFillColor(), true});
    const float w = mark.width * 0.4f;
    const RectF a{mark.left, mark.top, w, mark.height};
    const RectF b{mark.right() - w, mark.top, w, mark.height};
    canvas.drawRoundedRectangle(a, 20, 20);
    canvas.drawRoundedRectangle(b, 20, 20);
    canvas.drawPolyline({{a.right(), a.top + mark.height / 2}, {b.left, b.top + mark.height / 2}});
}

std::vector<PointF> arrowTriangle(PointF from, PointF tip, int style) {
    const float length = style == 4 ? HEAVY_ARROW_LENGTH : ARROW_LENGTH;
    const float half = style == 4 ? HEAVY_ARROW_HALF_WIDTH : ARROW_HALF_WIDTH;
    const float dx = tip.x - from.x;
    const float dy = tip.y - from.y;
    const float len = std::sqrt(dx * dx + dy * dy);
    if (len <= 0) {
        return {};
    }
    const float ux = dx / len;
    const float uy = dy / len;
    const PointF base{tip.x - ux * length, tip.y - uy * length};
    return {
        tip, {base.x - uy * half, base.y + ux * half}, {base.x + uy * half, base.y - ux * half}};
}

bool hasArrow(const Link& link) {
    return link.LinkArrowStyle() == 3 || link.LinkArrowStyle() == 4;
}

void drawNodeText(Canvas& canvas, const Node& node, Look look, const TextMeasurer& measurer,
                  const std::optional<RectF>& mark) {
    const std::vector<std::string> lines = displayTextLines(node.NodeText());
    if (lines.empty()) {
        return;
    }
    const RectF r =
        normalisedRect({node.NodeLeft(), node.NodeTop()},
                       {node.NodeLeft() + node.NodeWidth(), node.NodeTop() + node.NodeHeight()});
    const Font& font = node.NodeFont();
    const float lineHeight = measurer.lineHeight(font);
    const float available = r.width - 2 * TEXT_PADDING_X;
    if (available <= 0 || lineHeight <= 0 || lineHeight > r.height) {
        return;
    }
    const float blockHeight = lineHeight * static_cast<float>(lines.size());
    float top = r.top + TEXT_PADDING_Y;
    if (look == Look::Transition) {
        top = std::max(r.top + (r.height - blockHeight) / 2, r.top);
    } else if (top + lineHeight > r.bottom()) {
        top = r.top + (r.height - lineHeight) / 2;
    }
    // A state's name is centred; so is every line of a transition. The lines
    // before the name (the history marker) are centred with it.
    std::size_t centredUpTo = 0;
    if (look == Look::Transition) {
        centredUpTo = lines.size();
    } else if (node.hasKind(NK_ANY_STATE)) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].starts_with(MIDDLE_DOT)) {
                centredUpTo = i + 1;
                break;
            }
        }
    }
    canvas.setFont(font);
    canvas.setTextColor(node.NodeForeColor());
    float y = top;
    for (std::size_t i = 0; i < lines.size() && y + lineHeight <= r.bottom() + 0.5f; ++i) {
        // Lines beside the superstate mark end before it.
        float right = r.right() - TEXT_PADDING_X;
        if (mark && y < mark->bottom() + MARK_GAP && y + lineHeight > mark->top - MARK_GAP) {
            right = std::min(right, mark->left - MARK_GAP);
        }
        const float left = r.left + TEXT_PADDING_X;
        const std::string shown =
            right > left ? elideToWidth(lines[i], right - left, measurer, font) : std::string();
        if (!shown.empty()) {
            float x = left;
            if (i < centredUpTo) {
                const float width = measurer.lineWidth(shown, font);
                x = std::max(left, std::min(r.left + (r.width - width) / 2, right - width));
            }
            canvas.drawText({x, y}, shown);
        }
        y += lineHeight;
    }
}

void drawGridLines(Canvas& canvas, const RectF& area, int gridX, int gridY, float pixel) {
    if (gridX <= 0 || gridY <= 0 || area.width <= 0 || area.height <= 0) {
        return;
    }
    // Lines closer than a few pixels would paint the area grey: every other
    // one is left out until they are far enough apart.
    const float minGap = 8 * pixel;
    float stepX = static_cast<float>(gridX);
    float stepY = static_cast<float>(gridY);
    while (stepX < minGap) {
        stepX *= 2;
    }
    while (stepY < minGap) {
        stepY *= 2;
    }
    canvas.setPen({GRID_COLOR, pixel, LineStyle::Solid});
    for (float x = std::ceil(area.left / stepX) * stepX; x <= area.right(); x += stepX) {
        canvas.drawPolyline({{x, area.top}, {x, area.bottom()}});
    }
    for (float y = std::ceil(area.top / stepY) * stepY; y <= area.bottom(); y += stepY) {
        canvas.drawPolyline({{area.left, y}, {area.right(), y}});
    }
}

void drawMark(Canvas& canvas, PointF centre, float pixel) {
    const float half = HANDLE_PIXELS * pixel / 2;
    canvas.drawRectangle({centre.x - half, centre.y - half, 2 * half, 2 * half});
}

}  // namespace

bool intersects(const RectF& a, const RectF& b) {
    return a.left <= b.right() && b.left <= a.right() && a.top <= b.bottom() && b.top <= a.bottom();
}

RectF unite(const RectF& a, const RectF& b) {
    const float l = std::min(a.left, b.left);
    const float t = std::min(a.top, b.top);
    return {l, t, std::max(a.right(), b.right()) - l, std::max(a.bottom(), b.bottom()) - t};
}

RectF inflated(const RectF& r, float by) {
    return {r.left - by, r.top - by, r.width + 2 * by, r.height + 2 * by};
}

RectF normalisedRect(PointF a, PointF b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::fabs(b.x - a.x), std::fabs(b.y - a.y)};
}

std::vector<std::string> displayTextLines(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    std::vector<std::string> lines = splitLinesCR(text);
    while (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
}

std::string elideToWidth(const std::string& line, float width, const TextMeasurer& measurer,
                         const Font& font) {
    if (measurer.lineWidth(line, font) <= width) {
        return line;
    }
    // Cut points at character starts, so a character is never split.
    std::vector<std::size_t> cuts;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) {
            cuts.push_back(i);
        }
    }
    std::size_t lo = 0;  // cuts[lo] always fits (an empty start)
    std::size_t hi = cuts.size();
    while (hi - lo > 1) {
        const std::size_t mid = (lo + hi) / 2;
        std::string candidate = line.substr(0, cuts[mid]);
        candidate += ELLIPSIS;
        if (measurer.lineWidth(candidate, font) <= width) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    std::string out = line.substr(0, cuts.empty() ? 0 : cuts[lo]);
    out += ELLIPSIS;
    return measurer.lineWidth(out, font) <= width ? out : std::string();
}

bool isPaintedNode(const Node& node, const PaintOptions& options) {
    return !node.hasKind(NEVER_DRAWN | options.skipKinds);
}

std::vector<RectF> nodeHandles(const RectF& rect, float pixel) {
    const RectF r = normalisedRect({rect.left, rect.top}, {rect.right(), rect.bottom()});
    const float half = HANDLE_PIXELS * pixel / 2;
    const float xs[] = {r.left, r.left + r.width / 2, r.right()};
    const float ys[] = {r.top, r.top + r.height / 2, r.bottom()};
    const int order[8][2] = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}};
    std::vector<RectF> handles;
    handles.reserve(8);
    for (const auto& o : order) {
        handles.push_back({xs[o[0]] - half, ys[o[1]] - half, 2 * half, 2 * half});
    }
    return handles;
}

RectF nodePaintBounds(const Node& node, float pixel) {
    const RectF r =
        normalisedRect({node.NodeLeft(), node.NodeTop()},
                       {node.NodeLeft() + node.NodeWidth(), node.NodeTop() + node.NodeHeight()});
    return inflated(r, outlineWidth(node) + (HANDLE_PIXELS / 2 + 2) * pixel);
}

RectF linkPaintBounds(const Link& link, float pixel) {
    return inflated(boundsOf(link.LinkPoints()),
                    HEAVY_ARROW_HALF_WIDTH + LINE_UNIT + (HANDLE_PIXELS / 2 + 2) * pixel);
}

RectF diagramBounds(const Diagram& diagram) {
    bool any = false;
    RectF bounds;
    auto add = [&](const RectF& r) {
        bounds = any ? unite(bounds, r) : r;
        any = true;
    };
    for (const auto& n : diagram.NodeList()) {
        if (!n->hasKind(NK_INFO)) {
            add(normalisedRect({n->NodeLeft(), n->NodeTop()},
                               {n->NodeLeft() + n->NodeWidth(), n->NodeTop() + n->NodeHeight()}));
        }
    }
    for (const auto& l : diagram.Links()) {
        add(boundsOf(l->LinkPoints()));
    }
    return bounds;
}

std::vector<PointF> visibleLinkPoints(const Link& link) {
    const std::vector<PointF>& pts = link.LinkPoints();
    const Node& origin = *link.LinkOrigin();
    const Node& target = *link.LinkTarget();
    const std::size_t n = pts.size();
    if (n < 2) {
        return {};
    }
    // The first point outside the origin and the last one outside the target.
    std::size_t first = 1;
    while (first < n && insideNode(origin, pts[first])) {
        ++first;
    }
    std::size_t last = n - 1;
    while (last > 0 && insideNode(target, pts[last - 1])) {
        --last;
    }
    // `last` is now one past the last point outside the target.
    if (first >= n || last == 0 || first > last) {
        return {};
    }
    const PointF start = exitPoint(origin, pts[first - 1], pts[first]);
    const PointF end = exitPoint(target, pts[last], pts[last - 1]);
    std::vector<PointF> out;
    out.reserve(last - first + 2);
    out.push_back(start);
    for (std::size_t i = first; i < last; ++i) {
        out.push_back(pts[i]);
    }
    out.push_back(end);
    if (out.size() == 2) {
        // One segment: its two cut points must still be in order along it.
        const PointF& a = pts[first - 1];
        const float dx = pts[first].x - a.x;
        const float dy = pts[first].y - a.y;
        const float ts = (start.x - a.x) * dx + (start.y - a.y) * dy;
        const float te = (end.x - a.x) * dx + (end.y - a.y) * dy;
        if (te <= ts) {
            return {};
        }
    }
    return out;
}

std::optional<RectF> superstateMarkOf(const Node& node) {
    if (!node.hasKind(NK_SUPERSTATE)) {
        return std::nullopt;
    }
    const RectF r =
        normalisedRect({node.NodeLeft(), node.NodeTop()},
                       {node.NodeLeft() + node.NodeWidth(), node.NodeTop() + node.NodeHeight()});
    if (r.width < 3 * MARK_WIDTH || r.height < 3 * MARK_HEIGHT) {
        return std::nullopt;
    }
    return RectF{r.right() - MARK_RIGHT - MARK_WIDTH, r.bottom() - MARK_BOTTOM - MARK_HEIGHT,
                 MARK_WIDTH, MARK_HEIGHT};
}

std::vector<PointF> arrowHeadOf(const Link& link) {
    if (!hasArrow(link)) {
        return {};
    }
    const std::vector<PointF> pts = visibleLinkPoints(link);
    if (pts.size() < 2) {
        return {};
    }
    return arrowTriangle(pts[pts.size() - 2], pts.back(), link.LinkArrowStyle());
}

void paintGrid(Canvas& canvas, const Diagram& diagram, const RectF& area, float pixel) {
    drawGridLines(canvas, area, diagram.GridSizeX(), diagram.GridSizeY(), pixel);
}

void paintNode(Canvas& canvas, const Node& node, const TextMeasurer& measurer,
               const PaintOptions& options) {
    if (!isPaintedNode(node, options)) {
        return;
    }
    const Look look = lookOf(node);
    const RectF r =
        normalisedRect({node.NodeLeft(), node.NodeTop()},
                       {node.NodeLeft() + node.NodeWidth(), node.NodeTop() + node.NodeHeight()});
    const float radius = cornerRadius(node);
    const Pen outline{node.NodeLineColor(), outlineWidth(node), LineStyle::Solid};
    switch (look) {
        case Look::Comment:
            if (node.NodeDrawStyle() == 0) {
                // Unframed: only the fill shows; on screen a faint outline
                // keeps an empty comment findable.
                canvas.setPen(options.screenAids ? Pen{AID_COLOR, options.pixel, LineStyle::Dot}
                                                 : Pen{0, 0, LineStyle::None});
            } else {
                canvas.setPen(outline);
            }
            canvas.setBrush({node.NodeFillColor(), true});
            canvas.drawRectangle(r);
            break;
        case Look::Final: {
            canvas.setPen(outline);
            canvas.setBrush({node.NodeFillColor(), true});
            drawShape(canvas, r, radius);
            const RectF inner = inflated(r, -FINAL_INSET);
            if (inner.width > 0 && inner.height > 0) {
                canvas.setBrush({0, false});
                canvas.setPen({node.NodeLineColor(), LINE_UNIT, LineStyle::Solid});
                drawShape(canvas, inner, std::max(radius - FINAL_INSET, 0.0f));
            }
            break;
        }
        case Look::State:
        case Look::Initial:
        case Look::Transition:
        case Look::Plain:
            canvas.setPen(outline);
            canvas.setBrush({node.NodeFillColor(), true});
            drawShape(canvas, r, radius);
            break;
    }
    const std::optional<RectF> mark = superstateMarkOf(node);
    if (mark) {
        drawSuperstateMark(canvas, node, *mark);
    }
    if (&node != options.hideTextOf) {
        drawNodeText(canvas, node, look, measurer, mark);
    }
}

void paintLink(Canvas& canvas, const Link& link, const PaintOptions& options) {
    if (!isPaintedNode(*link.LinkOrigin(), options) ||
        !isPaintedNode(*link.LinkTarget(), options)) {
        return;
    }
    std::vector<PointF> pts = visibleLinkPoints(link);
    if (pts.size() < 2) {
        return;
    }
    const int arrow = link.LinkArrowStyle();
    const bool withArrow = hasArrow(link);
    const PointF tip = pts.back();
    const PointF before = pts[pts.size() - 2];
    if (withArrow) {
        // The line ends inside the arrow head, so a wide or dotted line never
        // shows beyond its tip.
        const float dx = tip.x - before.x;
        const float dy = tip.y - before.y;
        const float len = std::sqrt(dx * dx + dy * dy);
        const float back = (arrow == 4 ? HEAVY_ARROW_LENGTH : ARROW_LENGTH) * 0.7f;
        if (len > back) {
            pts.back() = {tip.x - dx / len * back, tip.y - dy / len * back};
        }
    }
    canvas.setPen({link.LinkColor(), LINE_UNIT, lineStyleOf(link.LinkLineStyle())});
    canvas.drawPolyline(pts);
    if (withArrow) {
        const std::vector<PointF> head = arrowTriangle(before, tip, arrow);
        if (!head.empty()) {
            canvas.setPen({link.LinkColor(), LINE_UNIT, LineStyle::Solid});
            canvas.setBrush({link.LinkColor(), true});
            canvas.drawPolygon(head);
        }
    }
}

void paintNodeMarks(Canvas& canvas, const Node& node, float pixel) {
    canvas.setPen({MARK_COLOR, pixel, LineStyle::Solid});
    canvas.setBrush({MARK_COLOR, true});
    for (const RectF& h : nodeHandles(node.rect(), pixel)) {
        canvas.drawRectangle(h);
    }
}

void paintLinkMarks(Canvas& canvas, const Link& link, float pixel) {
    std::vector<PointF> pts = visibleLinkPoints(link);
    if (pts.empty()) {
        pts = link.LinkPoints();
    }
    canvas.setPen({MARK_COLOR, pixel, LineStyle::Solid});
    canvas.setBrush({rgb(255, 255, 255), true});
    // Bend points sit between the visible ends.
    const std::vector<PointF>& all = link.LinkPoints();
    drawMark(canvas, pts.front(), pixel);
    for (std::size_t i = 1; i + 1 < all.size(); ++i) {
        drawMark(canvas, all[i], pixel);
    }
    drawMark(canvas, pts.back(), pixel);
}

void paintDiagram(Canvas& canvas, const Diagram& diagram, const TextMeasurer& measurer,
                  const PaintOptions& options) {
    const float pixel = options.pixel;
    auto shown = [&](const RectF& bounds) {
        return !options.visible || intersects(*options.visible, bounds);
    };
    // Every item of the diagram, or the ones the caller picked.
    auto eachLink = [&](auto f) {
        if (options.links != nullptr) {
            for (const Link* l : *options.links) {
                f(*l);
            }
        } else {
            for (const auto& l : diagram.Links()) {
                f(*l);
            }
        }
    };
    auto eachNode = [&](auto f) {
        if (options.nodes != nullptr) {
            for (const Node* n : *options.nodes) {
                f(*n);
            }
        } else {
            for (const auto& n : diagram.NodeList()) {
                f(*n);
            }
        }
    };
    if (options.grid) {
        paintGrid(canvas, diagram, options.visible ? *options.visible : diagramBounds(diagram),
                  pixel);
    }
    eachLink([&](const Link& l) {
        if (shown(linkPaintBounds(l, pixel))) {
            paintLink(canvas, l, options);
        }
    });
    eachNode([&](const Node& n) {
        if (isPaintedNode(n, options) && shown(nodePaintBounds(n, pixel))) {
            paintNode(canvas, n, measurer, options);
        }
    });
    if (!options.selectionMarks) {
        return;
    }
    eachLink([&](const Link& l) {
        if (l.LinkSelected() && isPaintedNode(*l.LinkOrigin(), options) &&
            isPaintedNode(*l.LinkTarget(), options) && shown(linkPaintBounds(l, pixel))) {
            paintLinkMarks(canvas, l, pixel);
        }
    });
    eachNode([&](const Node& n) {
        if (n.NodeSelected() && isPaintedNode(n, options) && shown(nodePaintBounds(n, pixel))) {
            paintNodeMarks(canvas, n, pixel);
        }
    });
}

}  // namespace tarvel
