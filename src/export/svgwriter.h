// Records the drawing of a diagram as a standalone SVG 1.1 document, a picture
// that browsers and drawing programs show without any metafile support.
#pragma once

#include <string>
#include <vector>

#include "export/canvas.h"

namespace tarvel {

class SvgWriter final : public Canvas {
public:
    // `bounds` is the part of the drawing the picture shows, in twips; the
    // document keeps twips as its user units and gets the size in points.
    explicit SvgWriter(const RectF& bounds);

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

    // The complete UTF-8 document with everything drawn so far. Drawing may
    // go on afterwards.
    std::string finish() const;

private:
    std::string strokeAttributes() const;
    std::string fillAttributes() const;
    void writeElement(std::string_view name, const std::string& attributes);

    RectF m_bounds;
    Pen m_pen;
    Brush m_brush;
    Font m_font;
    Color m_textColor = 0;
    std::string m_body;
};

}  // namespace tarvel
