// What lies under the pointer: the node, the link, a node's resize handle or a
// link's point, found with the same geometry the diagram painter draws.
#pragma once

#include "model/diagram.h"

namespace tarvel {

// `PointerHit` codes: what the pointer rests on, named after the pointer shape
// that fits it. Handles are grouped by direction: the top-left and
// bottom-right corners resize along one diagonal, and so on.
inline constexpr int HIT_SIZE_NWSE = 0;   // top-left or bottom-right handle
inline constexpr int HIT_SIZE_NS = 1;     // top or bottom handle
inline constexpr int HIT_SIZE_NESW = 2;   // top-right or bottom-left handle
inline constexpr int HIT_SIZE_WE = 3;     // left or right handle
inline constexpr int HIT_NONE = 4;        // the canvas, a node's body or a link's line
inline constexpr int HIT_LINK_POINT = 5;  // a point of a selected link

// The topmost drawn node whose rectangle holds the point (the last in
// `NodeList` order, which is drawn last); null when none.
Node* nodeAtPoint(const Diagram& diagram, PointF p);
// The link whose drawn line passes within `tolerance` of the point, the nearest
// one; null when none.
Link* linkAtPoint(const Diagram& diagram, PointF p, float tolerance);
// The handle (0..7, clockwise from the top left, see nodeHandles) of a node
// under the point; -1 when none. `pixel` is twips per device pixel.
int handleAtPoint(const Node& node, PointF p, float pixel);
// The point of the link under the pointer (an index into `LinkPoints`); the
// end points are found where the link is drawn, at the node outlines. -1 when
// none.
int linkPointAtPoint(const Link& link, PointF p, float tolerance);
// The index of the segment of `LinkPoints` (from point i to i + 1) passing
// nearest to the point within `tolerance`; -1 when none.
int linkSegmentAtPoint(const Link& link, PointF p, float tolerance);
// The `PointerHit` code of a handle.
int pointerHitOfHandle(int handle);

// The rectangle after dragging handle `handle` by (dx, dy): the opposite side
// or corner stays, and the size never drops below `minimum` in either
// direction.
RectF resizedRect(const RectF& r, int handle, float dx, float dy, float minimum);

// The nearest multiple of the grid step.
float snapToGrid(float value, int step);

float distanceToSegment(PointF p, PointF a, PointF b);

}  // namespace tarvel
