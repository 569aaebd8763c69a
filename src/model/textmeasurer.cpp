#include "model/textmeasurer.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"

namespace tarvel {

SizeF TextMeasurer::measure(std::string_view text, const Font& font) const {
    if (text.empty()) {
        return {};
    }
    float width = 0;
    int lines = 0;
    std::size_t start = 0;
    std::string line;
    while (start < text.size()) {
        const std::size_t cr = text.find('\r', start);
        const std::size_t end = cr == std::string_view::npos ? text.size() : cr;
        line.clear();
        for (std::size_t i = start; i < end; ++i) {
            if (text[i] != '\n') {
                line += text[i];
            }
        }
        width = std::max(width, lineWidth(line, font));
        ++lines;
        start = end + 1;
        // The line feed of a CR LF belongs to the break just passed.
        if (start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
    return {width, static_cast<float>(lines) * lineHeight(font)};
}

float FixedPitchMeasurer::lineWidth(std::string_view line, const Font& font) const {
    return static_cast<float>(charCount(line)) * font.size * 20.0f * 0.6f;
}

float FixedPitchMeasurer::lineHeight(const Font& font) const { return font.size * 20.0f * 1.2f; }

const TextMeasurer& defaultMeasurer() {
    static const FixedPitchMeasurer measurer;
    return measurer;
}

}  // namespace tarvel

namespace tarvel {

SizeF fittedSize(const TextMeasurer& measurer, std::string_view text, const Font& font) {
    // Whole twips keep sizes exact in files and the same on every run.
    const SizeF s = measurer.measure(text, font);
    return {std::ceil(s.width) + 2 * TEXT_PADDING_X, std::ceil(s.height) + 2 * TEXT_PADDING_Y};
}

}  // namespace tarvel
