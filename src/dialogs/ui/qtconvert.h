// Conversions between the core's plain values and Qt's: UTF-8 texts, colours
// with red in the low byte, fonts.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>

#include "model/types.h"

namespace tarvel {

inline QString toQString(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string toStd(const QString& s) {
    return s.toStdString();
}

inline QColor toQColor(Color c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}
inline Color toColor(const QColor& c) {
    return rgb(c.red(), c.green(), c.blue());
}

inline QFont toQFont(const Font& f) {
    QFont q(toQString(f.name));
    q.setPointSizeF(f.size > 0 ? f.size : 8);
    q.setBold(f.bold);
    q.setItalic(f.italic);
    q.setUnderline(f.underline);
    q.setStrikeOut(f.strikeout);
    return q;
}

inline Font toFont(const QFont& q) {
    Font f;
    f.name = toStd(q.family());
    f.size = static_cast<float>(q.pointSizeF() > 0 ? q.pointSizeF() : q.pointSize());
    f.bold = q.bold();
    f.italic = q.italic();
    f.underline = q.underline();
    f.strikeout = q.strikeOut();
    return f;
}

}  // namespace tarvel
