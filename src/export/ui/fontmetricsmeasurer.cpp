#include "export/ui/fontmetricsmeasurer.h"

#include <QString>

#include "export/ui/qtcanvas.h"

namespace tarvel {

const QFontMetricsF& FontMetricsMeasurer::metrics(const Font& font) const {
    auto key = std::make_tuple(font.name, font.size, font.bold, font.italic);
    auto it = m_cache.find(key);
    if (it == m_cache.end()) {
        // One pixel per twip: a font of s points is 20 * s pixels tall, large
        // enough that the widths are the font's own, free of pixel rounding.
        const QFont f = toQFont(font, font.size * 20.0, 72.0);
        QFont exact = f;
        exact.setPixelSize(std::max(1, static_cast<int>(font.size * 20.0f + 0.5f)));
        it = m_cache.emplace(std::move(key), std::make_unique<QFontMetricsF>(exact)).first;
    }
    return *it->second;
}

float FontMetricsMeasurer::lineWidth(std::string_view line, const Font& font) const {
    if (line.empty()) {
        return 0;
    }
    return static_cast<float>(metrics(font).horizontalAdvance(
        QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()))));
}

float FontMetricsMeasurer::lineHeight(const Font& font) const {
    return static_cast<float>(metrics(font).lineSpacing());
}

const FontMetricsMeasurer& screenMeasurer() {
    static const FontMetricsMeasurer measurer;
    return measurer;
}

}  // namespace tarvel
