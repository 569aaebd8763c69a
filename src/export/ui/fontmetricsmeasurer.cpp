#include "export/ui/fontmetricsmeasurer.h"

#include <QGuiApplication>
#include <QScreen>
#include <QString>

#include "export/ui/qtcanvas.h"

namespace tarvel {

namespace {

// Dots per inch of the screen the diagrams are drawn on.
qreal screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96;
    return dpi > 0 ? dpi : 96;
}

}  // namespace

FontMetricsMeasurer::FontMetricsMeasurer() : m_dpi(screenDpi()) {}

const QFontMetricsF& FontMetricsMeasurer::metrics(const Font& font) const {
    auto key = std::make_tuple(font.name, font.size, font.bold, font.italic);
    auto it = m_cache.find(key);
    if (it == m_cache.end()) {
        // The font as the screen shows it at 100%: glyph widths are rounded
        // at that size, so text measured here fits its node when drawn.
        const QFont f = toQFont(font, font.size * 20.0 * m_dpi / 1440.0, m_dpi);
        it = m_cache.emplace(std::move(key), std::make_unique<QFontMetricsF>(f)).first;
    }
    return *it->second;
}

float FontMetricsMeasurer::lineWidth(std::string_view line, const Font& font) const {
    if (line.empty()) {
        return 0;
    }
    return static_cast<float>(metrics(font).horizontalAdvance(QString::fromUtf8(
                                  line.data(), static_cast<qsizetype>(line.size()))) *
                              1440.0 / m_dpi);
}

float FontMetricsMeasurer::lineHeight(const Font& font) const {
    return static_cast<float>(metrics(font).lineSpacing() * 1440.0 / m_dpi);
}

const FontMetricsMeasurer& screenMeasurer() {
    static const FontMetricsMeasurer measurer;
    return measurer;
}

}  // namespace tarvel
