#include "export/wmfwriter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

#include "base/cp1252.h"

namespace tarvel {

namespace {

// Record functions.
constexpr std::uint16_t META_EOF = 0x0000;
constexpr std::uint16_t META_SETBKMODE = 0x0102;
constexpr std::uint16_t META_SETMAPMODE = 0x0103;
constexpr std::uint16_t META_SELECTOBJECT = 0x012D;
constexpr std::uint16_t META_SETTEXTALIGN = 0x012E;
constexpr std::uint16_t META_DELETEOBJECT = 0x01F0;
constexpr std::uint16_t META_SETTEXTCOLOR = 0x0209;
constexpr std::uint16_t META_SETWINDOWORG = 0x020B;
constexpr std::uint16_t META_SETWINDOWEXT = 0x020C;
constexpr std::uint16_t META_CREATEPENINDIRECT = 0x02FA;
constexpr std::uint16_t META_CREATEFONTINDIRECT = 0x02FB;
constexpr std::uint16_t META_CREATEBRUSHINDIRECT = 0x02FC;
constexpr std::uint16_t META_POLYGON = 0x0324;
constexpr std::uint16_t META_POLYLINE = 0x0325;
constexpr std::uint16_t META_ELLIPSE = 0x0418;
constexpr std::uint16_t META_RECTANGLE = 0x041B;
constexpr std::uint16_t META_ROUNDRECT = 0x061C;
constexpr std::uint16_t META_EXTTEXTOUT = 0x0A32;

constexpr std::uint16_t MM_ANISOTROPIC = 8;
constexpr std::uint16_t TRANSPARENT = 1;
constexpr std::uint16_t TA_TOP_LEFT = 0;  // TA_TOP | TA_LEFT | TA_NOUPDATECP
constexpr std::uint16_t BS_SOLID = 0;
constexpr std::uint16_t BS_NULL = 1;
constexpr std::uint16_t FW_NORMAL = 400;
constexpr std::uint16_t FW_BOLD = 700;
constexpr std::uint8_t ANSI_CHARSET = 0;

constexpr std::uint32_t PLACEABLE_KEY = 0x9AC6CDD7;
constexpr std::uint16_t HEADER_WORDS = 9;
constexpr std::uint16_t METAFILE_VERSION = 0x0300;
constexpr int TWIPS_PER_INCH = 1440;
constexpr double MAX_COORDINATE = std::numeric_limits<std::int16_t>::max();
// Longest face name: the font record holds 32 bytes with the terminating NUL.
constexpr std::size_t MAX_FACE_NAME = 31;
// Counts of points and text bytes are 16-bit signed numbers in the records.
constexpr std::size_t MAX_RECORD_COUNT = 32767;

void appendWord(std::string& out, std::uint16_t word) {
    out += static_cast<char>(word & 0xFF);
    out += static_cast<char>(word >> 8);
}

void appendDword(std::string& out, std::uint32_t dword) {
    appendWord(out, static_cast<std::uint16_t>(dword & 0xFFFF));
    appendWord(out, static_cast<std::uint16_t>(dword >> 16));
}

std::uint16_t word(std::int16_t value) {
    return static_cast<std::uint16_t>(value);
}

std::uint16_t lowWord(Color color) {
    return static_cast<std::uint16_t>(color & 0xFFFF);
}
// The high word of a COLORREF: blue, then a zero byte.
std::uint16_t highWord(Color color) {
    return static_cast<std::uint16_t>((color >> 16) & 0xFF);
}

// Bytes packed two to a word, low byte first, padded with a zero byte to an
// even length.
void appendBytes(std::vector<std::uint16_t>& params, std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const auto low = static_cast<unsigned char>(bytes[i]);
        const auto high = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        params.push_back(static_cast<std::uint16_t>(low | (high << 8)));
    }
}

std::uint16_t bytePair(bool low, bool high) {
    return static_cast<std::uint16_t>((low ? 1 : 0) | (high ? 0x100 : 0));
}

double finiteOrZero(double value) {
    return std::isfinite(value) ? value : 0;
}

std::int16_t clampToInt16(double value) {
    value = std::clamp(std::round(finiteOrZero(value)), -MAX_COORDINATE - 1, MAX_COORDINATE);
    return static_cast<std::int16_t>(value);
}

}  // namespace

WmfWriter::WmfWriter(const RectF& bounds) {
    const double width = std::max(0.0, finiteOrZero(bounds.width));
    const double height = std::max(0.0, finiteOrZero(bounds.height));
    m_originX = static_cast<float>(finiteOrZero(bounds.left));
    m_originY = static_cast<float>(finiteOrZero(bounds.top));
    // Coordinates are 16-bit. A larger picture is scaled down uniformly, and
    // the units-per-inch field says so, so the picture keeps its physical size.
    const double extent = std::max(width, height);
    if (extent > MAX_COORDINATE) {
        m_unitsPerInch = std::max(1, static_cast<int>(TWIPS_PER_INCH * MAX_COORDINATE / extent));
        m_scale = static_cast<double>(m_unitsPerInch) / TWIPS_PER_INCH;
    }
    // A zero extent would make the players divide by zero.
    m_width = std::max<std::int16_t>(1, clampToInt16(width * m_scale));
    m_height = std::max<std::int16_t>(1, clampToInt16(height * m_scale));

    writeRecord(META_SETMAPMODE, {MM_ANISOTROPIC});
    writeRecord(META_SETWINDOWORG, {0, 0});  // y first, then x
    writeRecord(META_SETWINDOWEXT, {word(m_height), word(m_width)});
    writeRecord(META_SETBKMODE, {TRANSPARENT});
    writeRecord(META_SETTEXTALIGN, {TA_TOP_LEFT});
}

void WmfWriter::setPen(const Pen& pen) {
    m_pen = pen;
}

void WmfWriter::setBrush(const Brush& brush) {
    m_brush = brush;
}

void WmfWriter::setFont(const Font& font) {
    m_font = font;
}

void WmfWriter::setTextColor(Color color) {
    m_textColor = color;
}

void WmfWriter::drawRectangle(const RectF& rect) {
    applyPen();
    applyBrush();
    writeBoxRecord(META_RECTANGLE, rect);
}

void WmfWriter::drawRoundedRectangle(const RectF& rect, float radiusX, float radiusY) {
    applyPen();
    applyBrush();
    // The record takes the size of the corner ellipse, height first.
    writeBoxRecord(META_ROUNDRECT, rect,
                   {word(toLogicalLength(2.0 * std::abs(radiusY))),
                    word(toLogicalLength(2.0 * std::abs(radiusX)))});
}

void WmfWriter::drawEllipse(const RectF& rect) {
    applyPen();
    applyBrush();
    writeBoxRecord(META_ELLIPSE, rect);
}

void WmfWriter::drawPolygon(const std::vector<PointF>& points) {
    if (points.size() < 2) {
        return;  // nothing to outline or fill
    }
    // A polygon cannot be split without changing what is filled.
    if (points.size() > MAX_RECORD_COUNT) {
        throw std::length_error("WmfWriter: a polygon of " + std::to_string(points.size()) +
                                " points exceeds the metafile limit of 32767");
    }
    applyPen();
    applyBrush();
    writePointsRecord(META_POLYGON, points, 0, points.size());
}

void WmfWriter::drawPolyline(const std::vector<PointF>& points) {
    if (points.size() < 2) {
        return;
    }
    applyPen();
    // A line longer than one record holds goes on in the next record from the
    // last point written, so it stays connected.
    for (std::size_t first = 0; first + 1 < points.size(); first += MAX_RECORD_COUNT - 1) {
        const std::size_t count = std::min(MAX_RECORD_COUNT, points.size() - first);
        writePointsRecord(META_POLYLINE, points, first, count);
    }
}

void WmfWriter::drawText(PointF topLeft, std::string_view text) {
    std::string bytes = utf8ToCp1252(text);
    if (bytes.empty()) {
        return;
    }
    // One line of a diagram never comes near this; the count field ends there.
    if (bytes.size() > MAX_RECORD_COUNT) {
        bytes.resize(MAX_RECORD_COUNT);
    }
    applyFont();
    applyTextColor();
    std::vector<std::uint16_t> params = {word(toLogicalY(topLeft.y)), word(toLogicalX(topLeft.x)),
                                         static_cast<std::uint16_t>(bytes.size()),
                                         0};  // no clipping or opaque rectangle
    appendBytes(params, bytes);
    writeRecord(META_EXTTEXTOUT, params);
}

std::string WmfWriter::finish() const {
    constexpr std::uint32_t EOF_WORDS = 3;
    const auto metafileWords =
        static_cast<std::uint32_t>(HEADER_WORDS + m_records.size() / 2 + EOF_WORDS);

    std::string placeable;
    appendDword(placeable, PLACEABLE_KEY);
    appendWord(placeable, 0);  // handle, always 0 in a file
    appendWord(placeable, 0);  // bounding box: left, top, right, bottom
    appendWord(placeable, 0);
    appendWord(placeable, word(m_width));
    appendWord(placeable, word(m_height));
    appendWord(placeable, static_cast<std::uint16_t>(m_unitsPerInch));
    appendDword(placeable, 0);  // reserved
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < placeable.size(); i += 2) {
        checksum ^= static_cast<std::uint16_t>(static_cast<unsigned char>(placeable[i]) |
                                               static_cast<unsigned char>(placeable[i + 1]) << 8);
    }
    appendWord(placeable, checksum);

    std::string out = std::move(placeable);
    out.reserve(out.size() + metafileWords * 2);
    appendWord(out, 1);  // type: the value metafile files carry in practice
    appendWord(out, HEADER_WORDS);
    appendWord(out, METAFILE_VERSION);
    // The size counts the metafile proper, not the placeable header before it.
    appendDword(out, metafileWords);
    appendWord(out, static_cast<std::uint16_t>(m_slotInUse.size()));
    appendDword(out, std::max(m_maxRecordWords, EOF_WORDS));
    appendWord(out, 0);  // unused
    out += m_records;
    appendDword(out, EOF_WORDS);
    appendWord(out, META_EOF);
    return out;
}

std::int16_t WmfWriter::toLogicalX(float x) const {
    return clampToInt16((static_cast<double>(x) - m_originX) * m_scale);
}

std::int16_t WmfWriter::toLogicalY(float y) const {
    return clampToInt16((static_cast<double>(y) - m_originY) * m_scale);
}

std::int16_t WmfWriter::toLogicalLength(double twips) const {
    return clampToInt16(twips * m_scale);
}

std::vector<std::uint16_t> WmfWriter::penParams() const {
    std::uint16_t style = 0;
    switch (m_pen.style) {
        case LineStyle::Solid:
            style = 0;  // PS_SOLID
            break;
        case LineStyle::Dash:
            style = 1;  // PS_DASH
            break;
        case LineStyle::Dot:
            style = 2;  // PS_DOT
            break;
        case LineStyle::DashDot:
            style = 3;  // PS_DASHDOT
            break;
        case LineStyle::DashDotDot:
            style = 4;  // PS_DASHDOTDOT
            break;
        case LineStyle::None:
            style = 5;  // PS_NULL
            break;
    }
    // A styled pen wider than one logical unit is drawn solid by the
    // platform's own metafile player, and one logical unit here is a twip. A
    // width of 0 means "one device pixel at any scale", keeps the pattern in
    // every player and is how the editor shows styled lines, so styled pens
    // are written that way. Solid pens keep their width; one that rounds to 0
    // becomes that same thinnest line rather than vanishing.
    std::int16_t width = 0;
    if (m_pen.style == LineStyle::Solid) {
        width = std::max<std::int16_t>(0, toLogicalLength(m_pen.width));
    }
    return {style, word(width), 0, lowWord(m_pen.color), highWord(m_pen.color)};
}

std::vector<std::uint16_t> WmfWriter::brushParams() const {
    if (!m_brush.visible) {
        return {BS_NULL, 0, 0, 0};
    }
    return {BS_SOLID, lowWord(m_brush.color), highWord(m_brush.color), 0};
}

std::vector<std::uint16_t> WmfWriter::fontParams() const {
    // A negative height asks for that character height, without the internal
    // leading, which is how point sizes are meant. A height of 0 would mean
    // "the default size", so the smallest font is one unit high.
    const double twips = static_cast<double>(m_font.size) * 20.0;
    const std::int16_t height = std::max<std::int16_t>(1, toLogicalLength(std::abs(twips)));
    std::vector<std::uint16_t> params = {
        word(static_cast<std::int16_t>(-height)),
        0,  // width: the font's own proportions
        0,  // escapement
        0,  // orientation
        m_font.bold ? FW_BOLD : FW_NORMAL,
        bytePair(m_font.italic, m_font.underline),
        static_cast<std::uint16_t>((m_font.strikeout ? 1 : 0) | (ANSI_CHARSET << 8)),
        0,  // output and clipping precision: default
        0,  // quality and pitch/family: default
    };
    std::string face = utf8ToCp1252(m_font.name);
    if (face.size() > MAX_FACE_NAME) {
        face.resize(MAX_FACE_NAME);
    }
    face += '\0';
    appendBytes(params, face);
    return params;
}

void WmfWriter::applyPen() {
    useObject(m_selectedPen, META_CREATEPENINDIRECT, penParams());
}

void WmfWriter::applyBrush() {
    useObject(m_selectedBrush, META_CREATEBRUSHINDIRECT, brushParams());
}

void WmfWriter::applyFont() {
    useObject(m_selectedFont, META_CREATEFONTINDIRECT, fontParams());
}

void WmfWriter::applyTextColor() {
    if (m_writtenTextColor == m_textColor) {
        return;
    }
    writeRecord(META_SETTEXTCOLOR, {lowWord(m_textColor), highWord(m_textColor)});
    m_writtenTextColor = m_textColor;
}

void WmfWriter::useObject(GdiObject& selected, std::uint16_t createFunction,
                          std::vector<std::uint16_t> params) {
    if (selected.slot >= 0 && selected.params == params) {
        return;
    }
    // The new object is created and selected before the old one is deleted,
    // since an object must not be deleted while it is selected. Each kind thus
    // holds at most two slots for a moment, and the table stays small however
    // often the drawing changes pens, brushes and fonts.
    const int slot = takeSlot();
    writeRecord(createFunction, params);
    writeRecord(META_SELECTOBJECT, {static_cast<std::uint16_t>(slot)});
    if (selected.slot >= 0) {
        writeRecord(META_DELETEOBJECT, {static_cast<std::uint16_t>(selected.slot)});
        m_slotInUse[static_cast<std::size_t>(selected.slot)] = false;
    }
    selected = {std::move(params), slot};
}

int WmfWriter::takeSlot() {
    // Players put a created object into the lowest free slot of their table;
    // the header's object count is the size that table must have.
    const auto free = std::find(m_slotInUse.begin(), m_slotInUse.end(), false);
    if (free != m_slotInUse.end()) {
        *free = true;
        return static_cast<int>(free - m_slotInUse.begin());
    }
    m_slotInUse.push_back(true);
    return static_cast<int>(m_slotInUse.size() - 1);
}

void WmfWriter::writeBoxRecord(std::uint16_t function, const RectF& rect,
                               const std::vector<std::uint16_t>& before) {
    // Coordinates go in reverse order: bottom, right, top, left.
    std::vector<std::uint16_t> params = before;
    const float left = std::min(rect.left, rect.right());
    const float top = std::min(rect.top, rect.bottom());
    params.push_back(word(toLogicalY(std::max(rect.top, rect.bottom()))));
    params.push_back(word(toLogicalX(std::max(rect.left, rect.right()))));
    params.push_back(word(toLogicalY(top)));
    params.push_back(word(toLogicalX(left)));
    writeRecord(function, params);
}

void WmfWriter::writePointsRecord(std::uint16_t function, const std::vector<PointF>& points,
                                  std::size_t first, std::size_t count) {
    std::vector<std::uint16_t> params;
    params.reserve(1 + 2 * count);
    params.push_back(static_cast<std::uint16_t>(count));
    for (std::size_t i = first; i < first + count; ++i) {
        params.push_back(word(toLogicalX(points[i].x)));
        params.push_back(word(toLogicalY(points[i].y)));
    }
    writeRecord(function, params);
}

void WmfWriter::writeRecord(std::uint16_t function, const std::vector<std::uint16_t>& params) {
    const auto words = static_cast<std::uint32_t>(3 + params.size());
    appendDword(m_records, words);
    appendWord(m_records, function);
    for (const std::uint16_t param : params) {
        appendWord(m_records, param);
    }
    m_maxRecordWords = std::max(m_maxRecordWords, words);
}

}  // namespace tarvel
