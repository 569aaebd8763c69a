// Plain value types shared by the model, the generators and the picture writers.
#pragma once

#include <cstdint>
#include <string>

namespace tarvel {

// A 24-bit colour with red in the low byte (0x00BBGGRR).
using Color = std::uint32_t;

constexpr Color rgb(int r, int g, int b) {
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int redOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

// Geometry is in twips (1/1440 inch), single precision.
struct PointF {
    float x = 0;
    float y = 0;
    friend bool operator==(const PointF&, const PointF&) = default;
};

struct SizeF {
    float width = 0;
    float height = 0;
    friend bool operator==(const SizeF&, const SizeF&) = default;
};

struct RectF {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    float right() const { return left + width; }
    float bottom() const { return top + height; }
    PointF centre() const { return {left + width / 2, top + height / 2}; }
    friend bool operator==(const RectF&, const RectF&) = default;
};

struct Font {
    std::string name = "Courier New";
    float size = 8;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    friend bool operator==(const Font&, const Font&) = default;
};

}  // namespace tarvel
