// Printed pages of a diagram: a header line, the picture of the whole diagram
// and a footer line. The printer, the print preview and the tests all paint
// pages through these functions.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

class QPainter;
class QPrinter;
class QRectF;

namespace tarvel {

class Diagram;
class TextMeasurer;

// The texts of the print job and its pages. A header or footer is
// "left|centre|right"; "<PAGE>" in it becomes the page number.
struct PageTexts {
    QString title;  // the job's name in the print queue
    QString header;
    QString footer;
};

// The footer of the print preview.
inline constexpr const char* PREVIEW_FOOTER = "|- Page <PAGE> -|";

// "dd-mmm-yyyy" with English month abbreviations whatever the locale, so
// printouts read alike everywhere: "10-Dec-2026".
QString printDate(const QDate& date);
// The caption on the left and the date on the right.
QString pageHeader(const QString& caption, const QDate& date);
// The left, centre and right parts of a header or footer on page `page`:
// the text up to the first "|", up to the second, and the rest; missing
// parts are empty.
QStringList pageTextParts(const QString& text, int page);

// Paints page `page` into `page` (device pixels of a device with `dpi`
// dots per inch): the header at the top, the footer at the bottom and the
// diagram between them from its top left, at its natural size or scaled
// down to fit, never enlarged.
void paintDiagramPage(QPainter& painter, const QRectF& pageRect, qreal dpi, const Diagram& diagram,
                      const TextMeasurer& measurer, const PageTexts& texts, int page);

// Prints the diagram on one page of the printer. False when the printer
// could not be started.
bool printDiagram(QPrinter& printer, const Diagram& diagram, const TextMeasurer& measurer,
                  const PageTexts& texts);

}  // namespace tarvel
