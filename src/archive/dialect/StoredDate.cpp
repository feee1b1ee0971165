#include "archive/dialect/StoredDate.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace vq {

namespace {

// The digits of text[from, from + count), or -1 when one is not a digit.
int digitsAt(const QString& text, qsizetype from, qsizetype count) {
    int number = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9') return -1;
        number = number * 10 + (c - u'0');
    }
    return number;
}

// The form text() writes, read as UTC directly: the general parser reads it as local time
// first, and the time-zone work that takes is most of the cost of loading a point's dates.
std::optional<QDateTime> storedForm(const QString& text) {
    if (text.size() != 19 || text.at(4) != u'-' || text.at(7) != u'-' || text.at(10) != u'T' ||
        text.at(13) != u':' || text.at(16) != u':')
        return std::nullopt;
    const int fields[] = {digitsAt(text, 0, 4),  digitsAt(text, 5, 2),  digitsAt(text, 8, 2),
                          digitsAt(text, 11, 2), digitsAt(text, 14, 2), digitsAt(text, 17, 2)};
    if (std::any_of(std::begin(fields), std::end(fields), [](int field) { return field < 0; }))
        return std::nullopt;
    const QDate date(fields[0], fields[1], fields[2]);
    const QTime time(fields[3], fields[4], fields[5]);
    if (!date.isValid() || !time.isValid()) return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

}  // namespace

QString StoredDate::text(const QDateTime& time) {
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QDateTime StoredDate::fromText(const QString& text) {
    if (std::optional<QDateTime> stored = storedForm(text)) return *stored;
    QDateTime time = QDateTime::fromString(text, Qt::ISODate);
    time.setTimeSpec(Qt::UTC);
    return time;
}

}  // namespace vq
