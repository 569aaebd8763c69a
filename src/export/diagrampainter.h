// The one drawing of a diagram. The editor's window, the printer, the preview
// and the picture files all paint through these functions onto a Canvas, so a
// diagram looks the same everywhere.
//
// What a node looks like follows its kind and shape style:
//   - states (shape style 51): rounded rectangles; a superstate carries a small
//     nested-boxes mark in its lower right corner;
//   - shape style 50 keeps three looks apart: the initial state has a thick
//     outline, a final state a double outline, a transition node is a small
//     rounded box filled with its fill colour;
//   - comments (shape style 1): rectangles, framed when their frame style is 5;
//   - anything else: a plain rectangle.
// Links are polylines through their points whose ends are cut at the outlines
// of the nodes they join, with the arrow head of their arrow style at the
// target end. Information and export-margin nodes are never drawn.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "export/canvas.h"
#include "model/diagram.h"
#include "model/textmeasurer.h"

namespace tarvel {

struct PaintOptions {
    // Screen aids; pictures and printouts leave them off.
    bool grid = false;            // grid lines at the diagram's grid size
    bool selectionMarks = false;  // handles on the selected nodes and links
    bool screenAids = false;      // a faint outline around unframed comments
    // Twips per device pixel: the size of the screen aids, which keep their
    // size in pixels at every zoom.
    float pixel = 15;
    // Nodes of these kinds are left out (information and export-margin nodes
    // are always left out).
    std::uint32_t skipKinds = 0;
    // A node whose text is not drawn, e.g. the comment being edited in place.
    const Node* hideTextOf = nullptr;
    // Only items that touch this rectangle are drawn; the grid fills it.
    std::optional<RectF> visible;
    // When given, only these items are drawn, in this order (a caller that
    // keeps a spatial index passes what lies near the visible rectangle).
    const std::vector<const Link*>* links = nullptr;
    const std::vector<const Node*>* nodes = nullptr;
};

// Size of a selection handle in pixels and the arrow heads in twips.
inline constexpr float HANDLE_PIXELS = 6;
inline constexpr float ARROW_LENGTH = 150;
inline constexpr float ARROW_HALF_WIDTH = 60;
inline constexpr float HEAVY_ARROW_LENGTH = 210;
inline constexpr float HEAVY_ARROW_HALF_WIDTH = 90;

// The whole drawing: grid, links, nodes, then the selection marks on top.
void paintDiagram(Canvas& canvas, const Diagram& diagram, const TextMeasurer& measurer,
                  const PaintOptions& options);

// One item each, for partial repaints and previews.
void paintGrid(Canvas& canvas, const Diagram& diagram, const RectF& area, float pixel);
void paintNode(Canvas& canvas, const Node& node, const TextMeasurer& measurer,
               const PaintOptions& options);
void paintLink(Canvas& canvas, const Link& link, const PaintOptions& options);
void paintNodeMarks(Canvas& canvas, const Node& node, float pixel);
void paintLinkMarks(Canvas& canvas, const Link& link, float pixel);

// True when the node is drawn at all with these options.
bool isPaintedNode(const Node& node, const PaintOptions& options);

// The area an item's drawing can cover, selection marks included, for
// repainting exactly what changed and for culling.
RectF nodePaintBounds(const Node& node, float pixel);
RectF linkPaintBounds(const Link& link, float pixel);
// Bounds of everything drawn (no marks); empty for an empty diagram.
RectF diagramBounds(const Diagram& diagram);

// The polyline a link is drawn as: its points with the first and last
// segments cut where they leave the origin and enter the target. Empty when
// nothing of the link is visible (the nodes overlap).
std::vector<PointF> visibleLinkPoints(const Link& link);

// Where a superstate shows its mark (two small linked boxes in its lower
// right corner); nothing for other nodes and for states too small for it.
// No text is drawn over the mark.
std::optional<RectF> superstateMarkOf(const Node& node);
// The triangle of a link's arrow head (tip first), empty when the link has no
// arrow or nothing of it is visible.
std::vector<PointF> arrowHeadOf(const Link& link);

// The rectangles of the eight handles of a node, clockwise from the top left:
// top-left, top, top-right, right, bottom-right, bottom, bottom-left, left.
std::vector<RectF> nodeHandles(const RectF& rect, float pixel);

// The text as drawn: lines split at carriage returns, line feeds dropped,
// trailing empty lines left out.
std::vector<std::string> displayTextLines(const std::string& text);

// The longest start of `line` that fits in `width`, ending in "..." when cut.
std::string elideToWidth(const std::string& line, float width, const TextMeasurer& measurer,
                         const Font& font);

bool intersects(const RectF& a, const RectF& b);
RectF unite(const RectF& a, const RectF& b);
RectF inflated(const RectF& r, float by);
// A rectangle with non-negative width and height spanning two corners.
RectF normalisedRect(PointF a, PointF b);

}  // namespace tarvel
