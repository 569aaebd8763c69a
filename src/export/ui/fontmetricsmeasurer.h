// Measures text with the fonts the screen draws: a line's width and height in
// twips, as the diagram painter and the node sizing need them.
#pragma once

#include <QFontMetricsF>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "model/textmeasurer.h"

namespace tarvel {

class FontMetricsMeasurer final : public TextMeasurer {
public:
    FontMetricsMeasurer();

    float lineWidth(std::string_view line, const Font& font) const override;
    float lineHeight(const Font& font) const override;

private:
    struct Measured {
        std::unique_ptr<QFontMetricsF> metrics;
        // Widths of the lines measured so far: the same texts are measured
        // again at every repaint and node fitting.
        std::unordered_map<std::string, float> widths;
    };
    Measured& measured(const Font& font) const;

    qreal m_dpi;
    // Metrics by diagram font; diagrams use a handful of fonts, so the cache
    // stays small.
    mutable std::map<std::tuple<std::string, float, bool, bool>, Measured> m_cache;
};

// The measurer of the editor, shared by every document.
const FontMetricsMeasurer& screenMeasurer();

}  // namespace tarvel
