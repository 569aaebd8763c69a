// The pictures of the document windows: the diagram as an image, and the
// picture on the clipboard.
#pragma once

#include <QImage>

class QMimeData;

namespace tarvel {

class Diagram;
class Document;
class TextMeasurer;

// The picture of the whole diagram as an image at screen resolution (15 twips
// a pixel), scaled down when a side would pass MAX_IMAGE_SIDE pixels.
inline constexpr int MAX_IMAGE_SIDE = 4096;
QImage diagramImage(const Diagram& diagram, const TextMeasurer& measurer);

// Adds the picture of the whole diagram to data going to the clipboard, as
// SVG ("image/svg+xml"), as a metafile ("image/x-wmf") and as an image, which
// the clipboard offers as PNG.
void addPictureToClipboard(Document& doc, QMimeData& data);

}  // namespace tarvel
