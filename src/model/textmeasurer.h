// Measures texts for fitting nodes to them. The editor plugs in real font
// metrics; batch runs and tests use the deterministic fixed-pitch measurer.
#pragma once

#include <string_view>

#include "model/types.h"

namespace tarvel {

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    // Width in twips of one line of text.
    virtual float lineWidth(std::string_view line, const Font& font) const = 0;
    // Height in twips of one line.
    virtual float lineHeight(const Font& font) const = 0;

    // Size of a multi-line text (lines end at carriage returns, line feeds are
    // dropped); a final line break adds no line. An empty text has no size.
    SizeF measure(std::string_view text, const Font& font) const;
};

// Every character is 0.6 of the font size wide and a line is 1.2 of it high,
// the proportions of a typical fixed-pitch font.
class FixedPitchMeasurer final : public TextMeasurer {
public:
    float lineWidth(std::string_view line, const Font& font) const override;
    float lineHeight(const Font& font) const override;
};

// The measurer used where none was given.
const TextMeasurer& defaultMeasurer();

}  // namespace tarvel

namespace tarvel {

// Room left around a node's text, on each side, when a node is fitted to it.
inline constexpr float TEXT_PADDING_X = 90;
inline constexpr float TEXT_PADDING_Y = 30;

// The size a node needs to show its text with the padding around it.
SizeF fittedSize(const TextMeasurer& measurer, std::string_view text, const Font& font);

}  // namespace tarvel
