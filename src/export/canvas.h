// The drawing surface every picture of a diagram is painted on: the screen, the
// printer, the preview and the picture files all receive the same calls, so
// they show the same drawing.
//
// Coordinates are in twips (1/1440 inch), the unit of the diagram model.
#pragma once

#include <string_view>
#include <vector>

#include "model/types.h"

namespace tarvel {

// Line styles of nodes and links: 0 solid, 1 dash, 2 dot, 3 dash-dot,
// 4 dash-dot-dot, 5 no line.
enum class LineStyle { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, None = 5 };

struct Pen {
    Color color = 0;
    float width = 15;  // twips; 15 twips are one pixel at 96 dots per inch
    LineStyle style = LineStyle::Solid;
};

struct Brush {
    Color color = 0xFFFFFF;
    bool visible = true;  // false: shapes are not filled
};

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void setPen(const Pen& pen) = 0;
    virtual void setBrush(const Brush& brush) = 0;
    virtual void setFont(const Font& font) = 0;
    virtual void setTextColor(Color color) = 0;

    // Closed shapes are outlined with the pen and filled with the brush.
    virtual void drawRectangle(const RectF& rect) = 0;
    virtual void drawRoundedRectangle(const RectF& rect, float radiusX, float radiusY) = 0;
    virtual void drawEllipse(const RectF& rect) = 0;
    virtual void drawPolygon(const std::vector<PointF>& points) = 0;
    // An open line through the points, drawn with the pen only.
    virtual void drawPolyline(const std::vector<PointF>& points) = 0;
    // One line of text (UTF-8) with its top-left corner at `topLeft`, in the
    // current font and text colour, on a transparent background.
    virtual void drawText(PointF topLeft, std::string_view text) = 0;
};

}  // namespace tarvel
