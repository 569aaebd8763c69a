// Measures text with the fonts the screen draws: a line's width and height in
// twips, as the diagram painter and the node sizing need them.
#pragma once

#include <QFontMetricsF>
#include <map>
#include <memory>

#include "model/textmeasurer.h"

namespace tarvel {

class FontMetricsMeasurer final : public TextMeasurer {
public:
    FontMetricsMeasurer();

    float lineWidth(std::string_view line, const Font& font) const override;
    float lineHeight(const Font& font) const override;

private:
    const QFontMetricsF& metrics(const Font& font) const;

    qreal m_dpi;
    // Metrics by diagram font; diagrams use a handful of fonts, so the cache
    // stays small.
    mutable std::map<std::tuple<std::string, float, bool, bool>, std::unique_ptr<QFontMetricsF>>
        m_cache;
};

// The measurer of the editor, shared by every document.
const FontMetricsMeasurer& screenMeasurer();

}  // namespace tarvel
