#include "export/ui/fontmetricsmeasurer.h"

#include <QGuiApplication>
#include <QScreen>
#include <QString>

#include "export/ui/qtcanvas.h"

namespace tarvel {

namespace {

constexpr std::size_t MAX_REMEMBERED_LINES = 200000;

// Dots per inch of the screen the diagrams are drawn on.
qreal screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96;
    return dpi > 0 ? dpi : 96;
}

}  // namespace

FontMetricsMeasurer::FontMetricsMeasurer() : m_dpi(screenDpi()) {}

FontMetricsMeasurer::Measured& FontMetricsMeasurer::measured(const Font& font) const {
    auto key = std::make_tuple(font.name, font.size, font.bold, font.italic);
    auto it = m_cache.find(key);
    if (it == m_cache.end()) {
        // The font as the screen shows it at 100%: glyph widths are rounded
        // at that size, so text measured here fits its node when drawn.
        const QFont f = toQFont(font, font.size * 20.0 * m_dpi / 1440.0, m_dpi);
        Measured m;
        m.metrics = std::make_unique<QFontMetricsF>(f);
        it = m_cache.emplace(std::move(key), std::move(m)).first;
    }
    return it->second;
}

float FontMetricsMeasurer::lineWidth(std::string_view line, const Font& font) const {
    if (line.empty()) {
        return 0;
    }
    Measured& m = measured(font);
    const std::string key(line);
    if (const auto it = m.widths.find(key); it != m.widths.end()) {
        return it->second;
    }
    // Kept bounded: a diagram's texts are far fewer than this.
    if (m.widths.size() > MAX_REMEMBERED_LINES) {
        m.widths.clear();
    }
    const float width = static_cast<float>(m.metrics->horizontalAdvance(QString::fromUtf8(
                                               line.data(), static_cast<qsizetype>(line.size()))) *
                                           1440.0 / m_dpi);
    m.widths.emplace(key, width);
    return width;
}

float FontMetricsMeasurer::lineHeight(const Font& font) const {
    return static_cast<float>(measured(font).metrics->lineSpacing() * 1440.0 / m_dpi);
}

const FontMetricsMeasurer& screenMeasurer() {
    static const FontMetricsMeasurer measurer;
    return measurer;
}

}  // namespace tarvel
