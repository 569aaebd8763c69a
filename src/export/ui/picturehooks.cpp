#include "export/ui/picturehooks.h"

#include <QMimeData>
#include <QPainter>
#include <algorithm>

#include "editor/ui/dialoghooks.h"
#include "export/picture.h"
#include "export/ui/printcontrol.h"
#include "export/ui/qtcanvas.h"
#include "model/document.h"
#include "shell/documentexport.h"
#include "shell/workspace.h"

namespace tarvel {

namespace {

constexpr qreal TWIPS_PER_PIXEL = 15;

QByteArray bytes(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

QImage diagramImage(const Diagram& diagram, const TextMeasurer& measurer) {
    const RectF area = pictureArea(diagram);
    qreal scale = 1 / TWIPS_PER_PIXEL;
    const qreal side = std::max(area.width, area.height) * scale;
    if (side > MAX_IMAGE_SIDE) {
        scale *= MAX_IMAGE_SIDE / side;
    }
    const QSize size(std::max(1, qCeil(area.width * scale)),
                     std::max(1, qCeil(area.height * scale)));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtCanvas canvas(painter, scale, QPointF(area.left * scale, area.top * scale));
    paintPicture(canvas, diagram, measurer);
    painter.end();
    return image;
}

void addPictureToClipboard(Document& doc, QMimeData& data) {
    const DiagramPicture picture = ExportPicture(doc.diagram(), doc.measurer(), false);
    data.setData(QStringLiteral("image/svg+xml"), bytes(picture.svg));
    data.setData(QStringLiteral("image/x-wmf"), bytes(picture.wmf));
    data.setImageData(diagramImage(doc.diagram(), doc.measurer()));
}

void installPictureHooks(DialogHooks& hooks, Workspace& workspace) {
    hooks.saveAsPicture = [&workspace](QWidget*, Document& doc) { FileSaveAsEMF(workspace, doc); };
    hooks.saveAsHtml = [&workspace](QWidget*, Document& doc) {
        FileSaveAsHTML(workspace, doc, false);
    };
    hooks.addPictureToClipboard = addPictureToClipboard;
    hooks.printerSetup = [](QWidget* parent) { PrintControl::of(parent).setup(parent); };
    hooks.print = [](QWidget* parent, Document& doc) {
        PrintControl::of(parent).print(parent, doc);
    };
    hooks.printPreview = [&workspace](QWidget* frame, Document& doc, bool show) {
        PrintControl& control = PrintControl::of(frame);
        control.setDocumentCheck([&workspace](const Document* d) {
            const auto& open = workspace.documents();
            return std::any_of(open.begin(), open.end(),
                               [d](const auto& candidate) { return candidate.get() == d; });
        });
        return control.preview(doc, show);
    };
}

}  // namespace tarvel
