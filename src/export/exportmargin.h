// The margin of the diagram's picture in the HTML page: a temporary node of
// 1000 by 1000 twips placed at the largest right and bottom edges, so that the
// picture keeps a margin to the right and below. It is never drawn and its
// addition and removal never count as a change.
#pragma once

namespace tarvel {

class Diagram;

void addExportMargin(Diagram& diagram);
void removeExportMargin(Diagram& diagram);

}  // namespace tarvel
