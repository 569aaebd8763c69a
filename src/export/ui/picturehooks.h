// The picture, page and printing commands of the document windows: saving
// the picture and the HTML page, the picture on the clipboard, printer setup,
// printing and the print preview.
#pragma once

#include <QImage>

class QMimeData;

namespace tarvel {

class Diagram;
class Document;
class TextMeasurer;
class Workspace;
struct DialogHooks;

// The picture of the whole diagram as an image at screen resolution (15 twips
// a pixel), scaled down when a side would pass MAX_IMAGE_SIDE pixels.
inline constexpr int MAX_IMAGE_SIDE = 4096;
QImage diagramImage(const Diagram& diagram, const TextMeasurer& measurer);

// Adds the picture of the whole diagram to data going to the clipboard, as
// SVG ("image/svg+xml"), as a metafile ("image/x-wmf") and as an image, which
// the clipboard offers as PNG.
void addPictureToClipboard(Document& doc, QMimeData& data);

// Sets the hooks of these commands; the page and picture exports name their
// files through the workspace.
void installPictureHooks(DialogHooks& hooks, Workspace& workspace);

}  // namespace tarvel
