// The Canvas of the screen: draws in twips onto a QPainter, scaled to device
// pixels and shifted by the scroll position. Pens, brushes and fonts are kept
// between calls, so painting many nodes alike creates no new Qt objects.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <QStaticText>
#include <optional>
#include <unordered_map>

#include "export/canvas.h"

namespace tarvel {

// A QFont for a diagram font whose em is `pixelSize` device pixels tall. Fonts
// the system lacks fall back to a face of the same kind (fixed pitch for
// Courier-like names).
QFont toQFont(const Font& font, qreal pixelSize, qreal deviceDpiY);
// The diagram font of a QFont's family, size (points) and style.
Font fromQFont(const QFont& font);

// Lines of text laid out once and drawn again and again: the editor's window
// draws the same texts at the same size at every repaint and keeps one.
class TextCache {
public:
    // `fontKey` is the font's key, which the caller keeps for its font.
    const QStaticText& text(const QString& line, const QFont& font, const QString& fontKey);
    void clear() { m_texts.clear(); }

private:
    std::unordered_map<QString, QStaticText> m_texts;  // by font key and text
};

class QtCanvas final : public Canvas {
public:
    // A model point p is drawn at p * scale - offset (device pixels). With a
    // text cache the lines are laid out only the first time they are drawn.
    QtCanvas(QPainter& painter, qreal scale, QPointF offset, TextCache* texts = nullptr);

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

    QPointF map(PointF p) const {
        return {p.x * m_scale - m_offset.x(), p.y * m_scale - m_offset.y()};
    }
    QRectF map(const RectF& r) const;

private:
    const QPolygonF& polygon(const std::vector<PointF>& points);
    void drawTextBar(PointF topLeft, std::string_view text);

    QPainter& m_painter;
    qreal m_scale;
    QPointF m_offset;
    qreal m_dpiY;
    std::optional<Font> m_font;
    QFont m_qfont;
    QString m_fontKey;
    qreal m_ascent = 0;
    bool m_textTooSmall = false;
    qreal m_pixels = 0;
    std::optional<QFontMetricsF> m_measure;
    Color m_textColor = 0;
    QPolygonF m_polygon;
    TextCache* m_texts;
};

}  // namespace tarvel
