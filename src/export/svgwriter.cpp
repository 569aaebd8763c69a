#include "export/svgwriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "base/cp1252.h"
#include "base/text.h"

namespace tarvel {

namespace {

// One pixel at 96 dots per inch: the width of a hairline, and the step of the
// line-style patterns of a pen no wider than that.
constexpr float PIXEL_TWIPS = 15;

// A coordinate or length with at most two decimals and no exponent, so every
// reader parses it; what is not a number becomes 0 rather than breaking the
// document.
std::string number(double value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    // Room for the 309 digits of the largest double.
    char buffer[320];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    if (error != std::errc{}) {
        return "0";
    }
    std::string text(buffer, end);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

std::string colour(Color c) {
    static constexpr char HEX[] = "0123456789abcdef";
    std::string text = "#";
    for (const int part : {redOf(c), greenOf(c), blueOf(c)}) {
        text += HEX[part >> 4];
        text += HEX[part & 0xF];
    }
    return text;
}

// Characters XML 1.0 allows in a document.
bool isXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || c >= 0x10000;
}

// Text safe in element content and in double-quoted attributes. Invalid
// UTF-8 and characters XML forbids become U+FFFD; tabs and line breaks are
// written as references so that attribute normalisation keeps them.
std::string xmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : decodeUtf8(text)) {
        switch (c) {
            case U'&':
                out += "&amp;";
                break;
            case U'<':
                out += "&lt;";
                break;
            case U'>':
                out += "&gt;";
                break;
            case U'"':
                out += "&quot;";
                break;
            case U'\t':
                out += "&#9;";
                break;
            case U'\n':
                out += "&#10;";
                break;
            case U'\r':
                out += "&#13;";
                break;
            default:
                appendUtf8(out, isXmlChar(c) ? c : REPLACEMENT_CHARACTER);
                break;
        }
    }
    return out;
}

// The font name as a quoted CSS string, so names with blanks, digits or
// quotes stay one family name.
std::string cssFamily(std::string_view name) {
    std::string quoted = "'";
    for (const char c : name) {
        if (c == '\'' || c == '\\') {
            quoted += '\\';
        }
        // A CSS string cannot hold a line break.
        quoted += (c == '\n' || c == '\r' || c == '\f') ? ' ' : c;
    }
    quoted += '\'';
    return quoted;
}

// The on/off pattern of a line style in steps of one pixel-wide line, the
// proportions the platform's screen drawing uses for its styled thin lines.
std::vector<int> dashSteps(LineStyle style) {
    switch (style) {
        case LineStyle::Solid:
        case LineStyle::None:
            return {};
        case LineStyle::Dash:
            return {18, 6};
        case LineStyle::Dot:
            return {3, 3};
        case LineStyle::DashDot:
            return {9, 6, 3, 6};
        case LineStyle::DashDotDot:
            return {9, 3, 3, 3, 3, 3};
    }
    return {};
}

std::string attribute(std::string_view name, std::string_view value) {
    std::string text = " ";
    text += name;
    text += "=\"";
    text += value;
    text += '"';
    return text;
}

// SVG refuses negative sizes, so a box given from another corner is turned
// into the same box from its top-left corner.
RectF normalised(const RectF& rect) {
    return {std::min(rect.left, rect.right()), std::min(rect.top, rect.bottom()),
            std::abs(rect.width), std::abs(rect.height)};
}

std::string boxAttributes(const RectF& rect) {
    const RectF r = normalised(rect);
    return attribute("x", number(r.left)) + attribute("y", number(r.top)) +
           attribute("width", number(r.width)) + attribute("height", number(r.height));
}

std::string pointList(const std::vector<PointF>& points) {
    std::string text;
    for (const PointF& p : points) {
        if (!text.empty()) {
            text += ' ';
        }
        text += number(p.x) + "," + number(p.y);
    }
    return text;
}

}  // namespace

SvgWriter::SvgWriter(const RectF& bounds) {
    const auto finiteOrZero = [](float v) { return std::isfinite(v) ? v : 0.0f; };
    // An empty view box would stop the whole document from rendering.
    m_bounds = {finiteOrZero(bounds.left), finiteOrZero(bounds.top),
                std::max(1.0f, finiteOrZero(bounds.width)),
                std::max(1.0f, finiteOrZero(bounds.height))};
}

void SvgWriter::setPen(const Pen& pen) {
    m_pen = pen;
}

void SvgWriter::setBrush(const Brush& brush) {
    m_brush = brush;
}

void SvgWriter::setFont(const Font& font) {
    m_font = font;
}

void SvgWriter::setTextColor(Color color) {
    m_textColor = color;
}

void SvgWriter::drawRectangle(const RectF& rect) {
    writeElement("rect", boxAttributes(rect) + fillAttributes() + strokeAttributes());
}

void SvgWriter::drawRoundedRectangle(const RectF& rect, float radiusX, float radiusY) {
    writeElement("rect", boxAttributes(rect) + attribute("rx", number(std::abs(radiusX))) +
                             attribute("ry", number(std::abs(radiusY))) + fillAttributes() +
                             strokeAttributes());
}

void SvgWriter::drawEllipse(const RectF& rect) {
    const RectF r = normalised(rect);
    const PointF c = r.centre();
    writeElement("ellipse", attribute("cx", number(c.x)) + attribute("cy", number(c.y)) +
                                attribute("rx", number(r.width / 2)) +
                                attribute("ry", number(r.height / 2)) + fillAttributes() +
                                strokeAttributes());
}

void SvgWriter::drawPolygon(const std::vector<PointF>& points) {
    if (points.size() < 2) {
        return;
    }
    // Where a polygon crosses itself the overlap stays unfilled, the rule of
    // the metafile and of the screen.
    writeElement("polygon", attribute("points", pointList(points)) + fillAttributes() +
                                attribute("fill-rule", "evenodd") + strokeAttributes());
}

void SvgWriter::drawPolyline(const std::vector<PointF>& points) {
    if (points.size() < 2) {
        return;
    }
    writeElement("polyline", attribute("points", pointList(points)) + attribute("fill", "none") +
                                 strokeAttributes());
}

void SvgWriter::drawText(PointF topLeft, std::string_view text) {
    if (text.empty()) {
        return;
    }
    std::string decoration;
    if (m_font.underline) {
        decoration = "underline";
    }
    if (m_font.strikeout) {
        decoration += decoration.empty() ? "line-through" : " line-through";
    }
    std::string attributes = attribute("x", number(topLeft.x)) + attribute("y", number(topLeft.y)) +
                             attribute("font-family", xmlEscape(cssFamily(m_font.name))) +
                             attribute("font-size", number(std::abs(m_font.size) * 20.0));
    if (m_font.bold) {
        attributes += attribute("font-weight", "bold");
    }
    if (m_font.italic) {
        attributes += attribute("font-style", "italic");
    }
    if (!decoration.empty()) {
        attributes += attribute("text-decoration", decoration);
    }
    // The point given is the top of the line, not its baseline; blanks at the
    // start or in a row are part of the text.
    attributes += attribute("fill", colour(m_textColor)) +
                  attribute("dominant-baseline", "text-before-edge") +
                  attribute("xml:space", "preserve");
    m_body += "<text" + attributes + ">" + xmlEscape(text) + "</text>";
    m_body += CRLF;
}

std::string SvgWriter::finish() const {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>";
    out += CRLF;
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"" +
           attribute("width", number(m_bounds.width / 20) + "pt") +
           attribute("height", number(m_bounds.height / 20) + "pt") +
           attribute("viewBox", number(m_bounds.left) + " " + number(m_bounds.top) + " " +
                                    number(m_bounds.width) + " " + number(m_bounds.height)) +
           ">";
    out += CRLF;
    out += m_body;
    out += "</svg>";
    out += CRLF;
    return out;
}

std::string SvgWriter::strokeAttributes() const {
    if (m_pen.style == LineStyle::None) {
        return attribute("stroke", "none");
    }
    // A pen without a usable width is a hairline.
    const float width = std::isfinite(m_pen.width) && m_pen.width > 0 ? m_pen.width : PIXEL_TWIPS;
    std::string text =
        attribute("stroke", colour(m_pen.color)) + attribute("stroke-width", number(width));
    const std::vector<int> steps = dashSteps(m_pen.style);
    if (steps.empty()) {
        return text;
    }
    // A wider line stretches its pattern along, so dots stay apart; a thin
    // line keeps the pixel steps, so its dashes stay visible.
    const float step = std::max(width, PIXEL_TWIPS);
    std::string dashes;
    for (const int n : steps) {
        if (!dashes.empty()) {
            dashes += ' ';
        }
        dashes += number(n * step);
    }
    return text + attribute("stroke-dasharray", dashes);
}

std::string SvgWriter::fillAttributes() const {
    if (!m_brush.visible) {
        return attribute("fill", "none");
    }
    return attribute("fill", colour(m_brush.color));
}

void SvgWriter::writeElement(std::string_view name, const std::string& attributes) {
    m_body += "<";
    m_body += name;
    m_body += attributes;
    m_body += "/>";
    m_body += CRLF;
}

}  // namespace tarvel
