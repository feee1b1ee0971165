#include "archive/dialect/TimeText.h"

#include <QRegularExpression>

namespace vq {

namespace {

double unitSeconds(QChar unit) {
    switch (unit.toLower().unicode()) {
        case u's':
            return 1;
        case u'm':
            return 60;
        case u'h':
            return 3600;
        case u'd':
            return 86400;
        case u'w':
            return 7 * 86400;
        default:
            return 0;
    }
}

// Sums offsets such as "-1h+30m"; none when the text holds anything else. `signs` demands a sign
// before every offset.
std::optional<double> offsets(const QString& text, bool signs) {
    static const QRegularExpression term(
        QStringLiteral("\\s*([+-]?)\\s*(\\d+(?:\\.\\d+)?)\\s*([smhdwSMHDW])\\s*"));
    double total = 0;
    qsizetype at = 0;
    while (at < text.size()) {
        const QRegularExpressionMatch match = term.match(text, at, QRegularExpression::NormalMatch,
                                                         QRegularExpression::AnchorAtOffsetMatchOption);
        if (!match.hasMatch() || (signs && match.capturedView(1).isEmpty())) return std::nullopt;
        const double amount = match.capturedView(2).toDouble() * unitSeconds(match.capturedView(3)[0]);
        total += match.capturedView(1) == u"-" ? -amount : amount;
        at = match.capturedEnd(0);
    }
    return total;
}

double epochSeconds(const QDateTime& time) {
    return double(time.toMSecsSinceEpoch()) / 1000.0;
}

std::optional<double> absolute(const QString& text) {
    static const char* const formats[] = {
        "yyyy-MM-dd",          "yyyy-MM-dd HH:mm", "yyyy-MM-dd HH:mm:ss",
        "yyyy-MM-ddTHH:mm:ss", "d-MMM-yy",         "d-MMM-yy HH:mm",
        "d-MMM-yy HH:mm:ss",   "d-MMM-yyyy",       "d-MMM-yyyy HH:mm",
        "d-MMM-yyyy HH:mm:ss", "M/d/yyyy",         "M/d/yyyy H:mm",
        "M/d/yyyy H:mm:ss",
    };
    for (const char* format : formats) {
        QDateTime time = QDateTime::fromString(text, QLatin1String(format));
        if (!time.isValid()) continue;
        const QLatin1String pattern(format);
        if (time.date().year() < 1950 && pattern.contains(QLatin1String("-yy")) &&
            !pattern.contains(QLatin1String("-yyyy")))
            time = time.addYears(100);
        return epochSeconds(time);
    }
    return std::nullopt;
}

}  // namespace

std::optional<double> TimeText::seconds(const QString& text, const QDateTime& now) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    const QChar first = trimmed[0].toLower();
    std::optional<double> base;
    if (first == u'*') {
        base = epochSeconds(now);
    } else if (first == u't' || first == u'y') {
        const QDate day = now.toLocalTime().date().addDays(first == u'y' ? -1 : 0);
        base = epochSeconds(day.startOfDay());
    } else if (first == u'+' || first == u'-') {
        const auto shift = offsets(trimmed, true);
        if (!shift) return std::nullopt;
        return epochSeconds(now) + *shift;
    } else {
        return absolute(trimmed);
    }
    const auto shift = offsets(trimmed.mid(1), true);
    if (!shift) return std::nullopt;
    return *base + *shift;
}

std::optional<double> TimeText::span(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    const auto total = offsets(trimmed, false);
    if (!total || *total <= 0) return std::nullopt;
    return total;
}

}  // namespace vq
