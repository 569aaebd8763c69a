#include "export/ui/picturehooks.h"

#include <QMimeData>
#include <QPainter>
#include <algorithm>

#include "export/picture.h"
#include "export/ui/qtcanvas.h"
#include "model/document.h"

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

}  // namespace tarvel
