#include "export/ui/qtcanvas.h"

#include <QPaintDevice>
#include <QPen>

namespace tarvel {

namespace {

QColor toQColor(Color c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

Qt::PenStyle toQtStyle(LineStyle s) {
    switch (s) {
        case LineStyle::Solid:
            return Qt::SolidLine;
        case LineStyle::Dash:
            return Qt::DashLine;
        case LineStyle::Dot:
            return Qt::DotLine;
        case LineStyle::DashDot:
            return Qt::DashDotLine;
        case LineStyle::DashDotDot:
            return Qt::DashDotDotLine;
        case LineStyle::None:
            return Qt::NoPen;
    }
    return Qt::SolidLine;
}

bool looksFixedPitch(const QString& family) {
    const QString f = family.toLower();
    return f.contains(QLatin1String("courier")) || f.contains(QLatin1String("mono")) ||
           f.contains(QLatin1String("consol")) || f.contains(QLatin1String("fixed"));
}

// Text smaller than this many pixels (the em) is drawn as a faint bar as long
// as the text: nobody could read the letters, but the shape of the text
// stays, and a bar costs far less than the glyphs.
constexpr qreal SMALLEST_TEXT_PIXELS = 4;
// A text cache forgets everything beyond this many lines.
constexpr std::size_t MAX_CACHED_LINES = 40000;
// The font size at which a bar's length is measured, then scaled down.
constexpr qreal MEASURE_PIXELS = 16;

}  // namespace

QFont toQFont(const Font& font, qreal pixelSize, qreal deviceDpiY) {
    QFont f(QString::fromStdString(font.name));
    if (looksFixedPitch(f.family())) {
        f.setStyleHint(QFont::TypeWriter);
    }
    // Unhinted glyphs keep text widths proportional to the zoom, so text that
    // fits its node at one zoom fits at every other.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setPointSizeF(std::max<qreal>(pixelSize, 0.1) * 72.0 / (deviceDpiY > 0 ? deviceDpiY : 96));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeout);
    return f;
}

Font fromQFont(const QFont& font) {
    Font f;
    f.name = font.family().toStdString();
    f.size = static_cast<float>(font.pointSizeF() > 0 ? font.pointSizeF() : 8);
    f.bold = font.bold();
    f.italic = font.italic();
    f.underline = font.underline();
    f.strikeout = font.strikeOut();
    return f;
}

const QStaticText& TextCache::text(const QString& line, const QFont& font, const QString& fontKey) {
    const QString key = fontKey + QChar(0) + line;
    const auto it = m_texts.find(key);
    if (it != m_texts.end()) {
        return it->second;
    }
    if (m_texts.size() > MAX_CACHED_LINES) {
        m_texts.clear();
    }
    QStaticText text(line);
    text.setTextFormat(Qt::PlainText);
    text.setPerformanceHint(QStaticText::AggressiveCaching);
    text.prepare(QTransform(), font);
    return m_texts.emplace(key, std::move(text)).first->second;
}

QtCanvas::QtCanvas(QPainter& painter, qreal scale, QPointF offset, TextCache* texts)
    : m_painter(painter),
      m_scale(scale),
      m_offset(offset),
      m_dpiY(painter.device() ? painter.device()->logicalDpiY() : 96),
      m_texts(texts) {
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
}

QRectF QtCanvas::map(const RectF& r) const {
    return QRectF(map(PointF{r.left, r.top}), map(PointF{r.right(), r.bottom()})).normalized();
}

void QtCanvas::setPen(const Pen& pen) {
    if (pen.style == LineStyle::None) {
        m_painter.setPen(Qt::NoPen);
        return;
    }
    QPen p(toQColor(pen.color));
    // Lines never get thinner than one pixel, whatever the zoom; a line of
    // one pixel is drawn as such (a cosmetic pen, much quicker to draw).
    const qreal width = pen.width * m_scale;
    p.setWidthF(width > 1.0 ? width : 0.0);
    p.setStyle(toQtStyle(pen.style));
    p.setJoinStyle(Qt::MiterJoin);
    p.setCapStyle(Qt::FlatCap);
    m_painter.setPen(p);
}

void QtCanvas::setBrush(const Brush& brush) {
    if (!brush.visible) {
        m_painter.setBrush(Qt::NoBrush);
    } else {
        m_painter.setBrush(toQColor(brush.color));
    }
}

void QtCanvas::setFont(const Font& font) {
    if (m_font && *m_font == font) {
        return;
    }
    m_font = font;
    const qreal pixels = font.size * 20.0 * m_scale;
    m_textTooSmall = pixels < SMALLEST_TEXT_PIXELS;
    m_pixels = pixels;
    if (m_textTooSmall) {
        m_measure.emplace(toQFont(font, MEASURE_PIXELS, m_dpiY), m_painter.device());
        return;
    }
    m_qfont = toQFont(font, pixels, m_dpiY);
    m_fontKey = m_qfont.key();
    m_painter.setFont(m_qfont);
    m_ascent = QFontMetricsF(m_painter.font(), m_painter.device()).ascent();
}

void QtCanvas::setTextColor(Color color) {
    m_textColor = color;
}

void QtCanvas::drawRectangle(const RectF& rect) {
    m_painter.drawRect(map(rect));
}

void QtCanvas::drawRoundedRectangle(const RectF& rect, float radiusX, float radiusY) {
    m_painter.drawRoundedRect(map(rect), radiusX * m_scale, radiusY * m_scale);
}

void QtCanvas::drawEllipse(const RectF& rect) {
    m_painter.drawEllipse(map(rect));
}

const QPolygonF& QtCanvas::polygon(const std::vector<PointF>& points) {
    m_polygon.resize(static_cast<qsizetype>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) {
        m_polygon[static_cast<qsizetype>(i)] = map(points[i]);
    }
    return m_polygon;
}

void QtCanvas::drawPolygon(const std::vector<PointF>& points) {
    m_painter.drawPolygon(polygon(points));
}

void QtCanvas::drawPolyline(const std::vector<PointF>& points) {
    m_painter.drawPolyline(polygon(points));
}

void QtCanvas::drawText(PointF topLeft, std::string_view text) {
    if (text.empty()) {
        return;
    }
    if (m_textTooSmall) {
        drawTextBar(topLeft, text);
        return;
    }
    const QPen pen = m_painter.pen();
    m_painter.setPen(toQColor(m_textColor));
    const QPointF at = map(topLeft);
    const QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (m_texts != nullptr) {
        m_painter.drawStaticText(at, m_texts->text(line, m_qfont, m_fontKey));
    } else {
        m_painter.drawText(QPointF(at.x(), at.y() + m_ascent), line);
    }
    m_painter.setPen(pen);
}

void QtCanvas::drawTextBar(PointF topLeft, std::string_view text) {
    if (!m_measure) {
        return;
    }
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QString trimmed = s.trimmed();
    if (trimmed.isEmpty()) {
        return;
    }
    const qreal ratio = m_pixels / MEASURE_PIXELS;
    const qreal lead = m_measure->horizontalAdvance(s.left(s.indexOf(trimmed.front()))) * ratio;
    const qreal width = m_measure->horizontalAdvance(trimmed) * ratio;
    const QPointF at = map(topLeft);
    const qreal height = std::max<qreal>(m_pixels * 0.45, 1.0);
    QColor colour = toQColor(m_textColor);
    colour.setAlpha(120);
    m_painter.fillRect(
        QRectF(at.x() + lead, at.y() + m_pixels * 0.4, std::max<qreal>(width, 1.0), height),
        colour);
}

}  // namespace tarvel
