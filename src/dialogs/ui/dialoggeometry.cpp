#include "dialogs/ui/dialoggeometry.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <cmath>

namespace tarvel {

namespace {

constexpr double TWIPS_PER_INCH = 1440;
const QString HEIGHT = QStringLiteral("WndHeight");
const QString WIDTH = QStringLiteral("WndWidth");

// A stored size is read like a number typed by a person: unreadable text
// gives the default.
double storedNumber(const QSettings& s, const QString& key, double fallback) {
    bool ok = false;
    const double v = s.value(key).toString().trimmed().toDouble(&ok);
    return ok && v >= 0 ? v : fallback;
}

}  // namespace

int DialogGeometry::twipsToPixels(const QWidget& w, double twips) {
    return static_cast<int>(std::lround(twips * w.logicalDpiX() / TWIPS_PER_INCH));
}

double DialogGeometry::pixelsToTwips(const QWidget& w, int pixels) {
    return std::round(pixels * TWIPS_PER_INCH / w.logicalDpiX());
}

void DialogGeometry::restore(QDialog& dialog, const QString& section, int defaultHeightTwips,
                             int defaultWidthTwips) {
    const QSize smallest(twipsToPixels(dialog, defaultWidthTwips),
                         twipsToPixels(dialog, defaultHeightTwips));
    dialog.setMinimumSize(smallest.expandedTo(dialog.minimumSizeHint()));
    QSettings settings;
    settings.beginGroup(section);
    const double height = storedNumber(settings, HEIGHT, defaultHeightTwips);
    const double width = storedNumber(settings, WIDTH, defaultWidthTwips);
    if (height == 0 && width == 0) {
        dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
        return;
    }
    QSize size(twipsToPixels(dialog, width), twipsToPixels(dialog, height));
    size = size.expandedTo(dialog.minimumSize());
    const QScreen* screen = dialog.screen() ? dialog.screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        size = size.boundedTo(area.size());
        dialog.resize(size);
        dialog.move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    } else {
        dialog.resize(size);
    }
}

void DialogGeometry::store(const QDialog& dialog, const QString& section) {
    QSettings settings;
    settings.beginGroup(section);
    const bool normal = (dialog.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) == 0;
    settings.setValue(HEIGHT,
                      normal ? QString::number(pixelsToTwips(dialog, dialog.height())) : "0");
    settings.setValue(WIDTH, normal ? QString::number(pixelsToTwips(dialog, dialog.width())) : "0");
}

}  // namespace tarvel
