// The picture of a whole diagram: what the picture files, the clipboard, the
// printout and the HTML page show. It is the diagram as the canvas places it,
// from the canvas origin to its right and bottom edges, with no grid,
// selection marks or other screen aids.
#pragma once

#include <string>

#include "export/canvas.h"
#include "model/types.h"

namespace tarvel {

class Diagram;
class TextMeasurer;

// Room beyond the outermost edges for outlines and arrow heads, in twips.
inline constexpr float PICTURE_EDGE_ROOM = 45;

// The part of the canvas a picture shows, in twips: from the origin (or from
// the leftmost and topmost item, when one lies further out) to the right and
// bottom edges of everything drawn, with PICTURE_EDGE_ROOM around the items,
// and at least to the right and bottom edges of the export margin node. An
// empty diagram gives a small square at the origin.
RectF pictureArea(const Diagram& diagram);

// Paints the picture onto a canvas whose coordinates are the diagram's.
void paintPicture(Canvas& canvas, const Diagram& diagram, const TextMeasurer& measurer);

// The picture in both file formats.
struct DiagramPicture {
    std::string wmf;  // placeable Windows metafile
    std::string svg;  // SVG 1.1, UTF-8
};

// Takes the picture of the whole diagram. With `withMargin` the export margin
// node is added while the picture is taken, so the picture keeps a margin of
// 1000 twips to the right and below; the diagram is left exactly as it was,
// its changed flag included, also when taking the picture fails.
DiagramPicture ExportPicture(Diagram& diagram, const TextMeasurer& measurer, bool withMargin);

}  // namespace tarvel
