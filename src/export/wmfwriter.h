// Records the drawing of a diagram as a placeable Windows metafile (".wmf"),
// the picture file of the picture export and of the HTML page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "export/canvas.h"

namespace tarvel {

class WmfWriter final : public Canvas {
public:
    // `bounds` is the part of the drawing the picture shows, in twips.
    explicit WmfWriter(const RectF& bounds);

    void setPen(const Pen& pen) override;
    void setBrush(const Brush& brush) override;
    void setFont(const Font& font) override;
    void setTextColor(Color color) override;

    void drawRectangle(const RectF& rect) override;
    void drawRoundedRectangle(const RectF& rect, float radiusX, float radiusY) override;
    void drawEllipse(const RectF& rect) override;
    void drawPolygon(const std::vector<PointF>& points) override;
    void drawPolyline(const std::vector<PointF>& points) override;
    void drawText(PointF topLeft, std::string_view text) override;

    // The complete file: placeable header, metafile header, the records drawn
    // so far and the end record. Drawing may go on afterwards.
    std::string finish() const;

    // Logical units per inch of the picture: 1440 (twips) unless the bounds
    // are too large for 16-bit coordinates and the picture was scaled down.
    int unitsPerInch() const { return m_unitsPerInch; }

private:
    // A pen, brush or font as the file knows it: the parameters of its create
    // record and its slot in the player's object table (-1: none yet).
    struct GdiObject {
        std::vector<std::uint16_t> params;
        int slot = -1;
    };

    std::int16_t toLogicalX(float x) const;
    std::int16_t toLogicalY(float y) const;
    std::int16_t toLogicalLength(double twips) const;

    std::vector<std::uint16_t> penParams() const;
    std::vector<std::uint16_t> brushParams() const;
    std::vector<std::uint16_t> fontParams() const;

    // Makes the current pen, brush, font and text colour the ones in force in
    // the player before a drawing record, writing only what changed.
    void applyPen();
    void applyBrush();
    void applyFont();
    void applyTextColor();
    void useObject(GdiObject& selected, std::uint16_t createFunction,
                   std::vector<std::uint16_t> params);
    int takeSlot();

    void writeBoxRecord(std::uint16_t function, const RectF& rect,
                        const std::vector<std::uint16_t>& before = {});
    void writePointsRecord(std::uint16_t function, const std::vector<PointF>& points,
                           std::size_t first, std::size_t count);
    void writeRecord(std::uint16_t function, const std::vector<std::uint16_t>& params);

    float m_originX = 0;
    float m_originY = 0;
    double m_scale = 1;  // logical units per twip
    int m_unitsPerInch = 1440;
    std::int16_t m_width = 1;
    std::int16_t m_height = 1;

    Pen m_pen;
    Brush m_brush;
    Font m_font;
    Color m_textColor = 0;

    GdiObject m_selectedPen;
    GdiObject m_selectedBrush;
    GdiObject m_selectedFont;
    std::optional<Color> m_writtenTextColor;

    std::vector<bool> m_slotInUse;  // the player's object table
    std::string m_records;          // every record after the metafile header
    std::uint32_t m_maxRecordWords = 0;
};

}  // namespace tarvel
