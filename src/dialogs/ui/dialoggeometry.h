// Size of a property dialog, kept in the settings store in twips under the
// dialog's section ("WndHeight", "WndWidth"). Both 0 means it was closed
// maximised (or minimised) and opens maximised.
#pragma once

#include <QSize>
#include <QString>

class QDialog;
class QWidget;

namespace tarvel {

class DialogGeometry {
public:
    // Also the smallest size the dialog may take.
    static void restore(QDialog& dialog, const QString& section, int defaultHeightTwips,
                        int defaultWidthTwips);
    static void store(const QDialog& dialog, const QString& section);

    static int twipsToPixels(const QWidget& w, double twips);
    static double pixelsToTwips(const QWidget& w, int pixels);
};

}  // namespace tarvel
