#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <ostream>

// Readable failure output for the Qt values tests compare; CR LF in a text shows as "|".
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("|")).toStdString() << '"';
}
inline void PrintTo(const QRect& r, std::ostream* out) {
    *out << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height();
}
inline void PrintTo(const QSize& s, std::ostream* out) {
    *out << s.width() << 'x' << s.height();
}
