#include "export/ui/diagramprint.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "export/picture.h"
#include "export/ui/qtcanvas.h"
#include "model/diagram.h"

namespace tarvel {

namespace {

constexpr qreal TWIPS_PER_INCH = 1440;
constexpr qreal PAGE_TEXT_POINTS = 9;
// Space between the header or footer and the diagram, in inches.
constexpr qreal PAGE_TEXT_GAP = 0.15;

// One header or footer line: the left part elided where the right part
// needs the room, the centre part centred over the whole line.
void drawPageTextLine(QPainter& painter, const QRectF& line, const QStringList& parts) {
    const QFontMetricsF metrics(painter.font(), painter.device());
    const qreal rightWidth = metrics.horizontalAdvance(parts[2]);
    const qreal room = std::max<qreal>(0, line.width() - rightWidth - metrics.averageCharWidth());
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(parts[0], Qt::ElideRight, room));
    painter.drawText(line, Qt::AlignHCenter | Qt::AlignVCenter, parts[1]);
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, parts[2]);
}

}  // namespace

QString printDate(const QDate& date) {
    return QLocale::c().toString(date, QStringLiteral("dd-MMM-yyyy"));
}

QString pageHeader(const QString& caption, const QDate& date) {
    return caption + QStringLiteral("||") + printDate(date);
}

QStringList pageTextParts(const QString& text, int page) {
    QString filled = text;
    filled.replace(QStringLiteral("<PAGE>"), QString::number(page));
    const qsizetype first = filled.indexOf(QLatin1Char('|'));
    if (first < 0) {
        return {filled, QString(), QString()};
    }
    const qsizetype second = filled.indexOf(QLatin1Char('|'), first + 1);
    if (second < 0) {
        return {filled.left(first), filled.mid(first + 1), QString()};
    }
    return {filled.left(first), filled.mid(first + 1, second - first - 1), filled.mid(second + 1)};
}

void paintDiagramPage(QPainter& painter, const QRectF& pageRect, qreal dpi, const Diagram& diagram,
                      const TextMeasurer& measurer, const PageTexts& texts, int page) {
    painter.save();
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(PAGE_TEXT_POINTS);
    painter.setFont(QFont(font, painter.device()));
    painter.setPen(Qt::black);
    const qreal lineHeight = QFontMetricsF(painter.font(), painter.device()).height();
    drawPageTextLine(painter, QRectF(pageRect.left(), pageRect.top(), pageRect.width(), lineHeight),
                     pageTextParts(texts.header, page));
    drawPageTextLine(
        painter,
        QRectF(pageRect.left(), pageRect.bottom() - lineHeight, pageRect.width(), lineHeight),
        pageTextParts(texts.footer, page));
    const qreal band = lineHeight + PAGE_TEXT_GAP * dpi;
    const QRectF body(pageRect.left(), pageRect.top() + band, pageRect.width(),
                      std::max<qreal>(1, pageRect.height() - 2 * band));

    const RectF area = pictureArea(diagram);
    const qreal natural = dpi / TWIPS_PER_INCH;
    const qreal fit = std::min(
        {1.0, body.width() / (area.width * natural), body.height() / (area.height * natural)});
    const qreal scale = natural * fit;
    painter.setClipRect(body);
    QtCanvas canvas(painter, scale,
                    QPointF(area.left * scale - body.left(), area.top * scale - body.top()));
    paintPicture(canvas, diagram, measurer);
    painter.restore();
}

bool printDiagram(QPrinter& printer, const Diagram& diagram, const TextMeasurer& measurer,
                  const PageTexts& texts) {
    printer.setDocName(texts.title);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    // The painter's origin is the top left of the printable area.
    const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
    paintDiagramPage(painter, QRectF(0, 0, printable.width(), printable.height()),
                     printer.resolution(), diagram, measurer, texts, 1);
    return painter.end();
}

}  // namespace tarvel
