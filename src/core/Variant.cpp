#include "Variant.h"

#include "Error.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>

#include <charconv>
#include <cmath>

namespace vq {

namespace {

// Text that reads as a finite number after trimming blanks: sign, digits, one decimal point,
// an optional exponent. Thousands separators and currency signs are not accepted.
bool parseNumber(const QString& text, double* out) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return false;
    for (QChar c : trimmed) {
        if (!(c.isDigit() || c == u'.' || c == u'+' || c == u'-' || c == u'e' || c == u'E')) return false;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value)) return false;
    if (out) *out = value;
    return true;
}

}  // namespace

Variant Variant::null() {
    Variant v;
    v.m_type = Type::Null;
    return v;
}

Variant Variant::missing() {
    Variant v;
    v.m_type = Type::Missing;
    return v;
}

Variant Variant::date(int year, int month, int day, int hour, int minute, int second) {
    return Variant(QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC));
}

QDateTime Variant::zeroDate() {
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
}

bool Variant::isNumberType() const {
    switch (m_type) {
        case Type::Boolean:
        case Type::Int16:
        case Type::Int32:
        case Type::Single:
        case Type::Double:
            return true;
        default:
            return false;
    }
}

bool Variant::isNumeric() const {
    if (isNumberType()) return true;
    if (m_type == Type::String) return parseNumber(std::get<QString>(m_data), nullptr);
    return false;
}

double Variant::toDouble(bool* ok) const {
    double value = 0;
    bool good = true;
    switch (m_type) {
        case Type::Boolean:
            value = std::get<bool>(m_data) ? -1 : 0;
            break;
        case Type::Int16:
        case Type::Int32:
            value = std::get<int32_t>(m_data);
            break;
        case Type::Single:
        case Type::Double:
            value = std::get<double>(m_data);
            break;
        case Type::String:
            good = parseNumber(std::get<QString>(m_data), &value);
            if (!good) value = 0;
            break;
        default:
            good = false;
    }
    if (ok) *ok = good;
    return value;
}

int32_t Variant::toInt32(bool* ok) const {
    bool good = false;
    const double value = toDouble(&good);
    // Banker's rounding, as the numeric conversions of the server library do.
    const double rounded = std::nearbyint(value);
    if (!good || rounded < INT32_MIN || rounded > INT32_MAX) {
        if (ok) *ok = false;
        return 0;
    }
    if (ok) *ok = true;
    return int32_t(rounded);
}

int16_t Variant::toCheckedInt16() const {
    if (isEmpty()) return 0;
    bool numeric = false;
    const double rounded = std::nearbyint(toDouble(&numeric));
    if (!numeric)
        throw Error(errc::TypeMismatch, QStringLiteral("Variant"),
                    QStringLiteral("Type mismatch: \"%1\" is no number").arg(toString()));
    if (rounded < INT16_MIN || rounded > INT16_MAX)
        throw Error(errc::Overflow, QStringLiteral("Variant"),
                    QStringLiteral("Overflow: %1 is outside the 16-bit range").arg(toString()));
    return int16_t(rounded);
}

bool Variant::toBool() const {
    if (m_type == Type::Boolean) return std::get<bool>(m_data);
    if (m_type == Type::String) {
        const QString text = std::get<QString>(m_data).trimmed();
        if (text.compare(u"True", Qt::CaseInsensitive) == 0) return true;
        if (text.compare(u"False", Qt::CaseInsensitive) == 0) return false;
    }
    return toDouble() != 0;
}

QDateTime Variant::toDateTime() const {
    switch (m_type) {
        case Type::Date:
            return std::get<QDateTime>(m_data);
        case Type::String:
            return parseDate(std::get<QString>(m_data));
        case Type::Int16:
        case Type::Int32:
        case Type::Single:
        case Type::Double: {
            // Days since the zero date, the fraction being the time of day.
            const double days = toDouble();
            return zeroDate().addMSecs(qint64(std::llround(days * 86400000.0)));
        }
        default:
            return {};
    }
}

QString Variant::toString() const {
    switch (m_type) {
        case Type::Boolean:
            return std::get<bool>(m_data) ? QStringLiteral("True") : QStringLiteral("False");
        case Type::Int16:
        case Type::Int32:
            return QString::number(std::get<int32_t>(m_data));
        case Type::Single:
            return formatDouble(std::get<double>(m_data), true);
        case Type::Double:
            return formatDouble(std::get<double>(m_data), false);
        case Type::Date:
            return formatDate(std::get<QDateTime>(m_data));
        case Type::String:
            return std::get<QString>(m_data);
        default:
            return {};
    }
}

QString Variant::typeName() const {
    switch (m_type) {
        case Type::Empty:
            return QStringLiteral("Empty");
        case Type::Null:
            return QStringLiteral("Null");
        case Type::Missing:
            return QStringLiteral("Error");
        case Type::Boolean:
            return QStringLiteral("Boolean");
        case Type::Int16:
            return QStringLiteral("Integer");
        case Type::Int32:
            return QStringLiteral("Long");
        case Type::Single:
            return QStringLiteral("Single");
        case Type::Double:
            return QStringLiteral("Double");
        case Type::Date:
            return QStringLiteral("Date");
        case Type::String:
            return QStringLiteral("String");
    }
    return {};
}

int Variant::compare(const Variant& a, const Variant& b) {
    double x = 0, y = 0;
    bool xNumeric = false, yNumeric = false;
    x = a.toDouble(&xNumeric);
    if (xNumeric) y = b.toDouble(&yNumeric);
    if (xNumeric && yNumeric) {
        // A single holds about seven digits: compared in double precision, 0.2f would differ
        // from the "0.2" it displays as.
        if (a.m_type == Type::Single || b.m_type == Type::Single) {
            const float fx = float(x), fy = float(y);
            return fx < fy ? -1 : (fx > fy ? 1 : 0);
        }
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return a.toString().compare(b.toString(), Qt::CaseInsensitive);
}

bool Variant::operator==(const Variant& other) const {
    if (m_type != other.m_type) return false;
    return m_data == other.m_data;
}

QDateTime Variant::parseDate(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return {};
    // Month/day/year with an optional time of day, 12- or 24-hour.
    static const QRegularExpression usDate(QStringLiteral(
        R"(^(\d{1,2})/(\d{1,2})/(\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?\s*([AaPp][Mm])?)?$)"));
    const QRegularExpressionMatch m = usDate.match(trimmed);
    if (m.hasMatch()) {
        const QDate date(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
        int hour = m.captured(4).toInt();
        const QString meridiem = m.captured(7).toUpper();
        if (!meridiem.isEmpty()) {
            if (hour < 1 || hour > 12) return {};
            hour = hour % 12 + (meridiem == u"PM" ? 12 : 0);
        }
        const QTime time(hour, m.captured(5).toInt(), m.captured(6).toInt());
        if (!date.isValid() || !time.isValid()) return {};
        return QDateTime(date, time, Qt::UTC);
    }
    QDateTime iso = QDateTime::fromString(trimmed, Qt::ISODateWithMs);
    if (!iso.isValid()) return {};
    if (iso.timeSpec() == Qt::LocalTime) iso.setTimeSpec(Qt::UTC);
    return iso;
}

namespace {

// Digits appended without QString::arg: every loaded point shows two dates.
void appendPadded(QString& text, int number, int width) {
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    for (qsizetype pad = width - (end - digits); pad > 0; --pad) text += u'0';
    text += QLatin1StringView(digits, end - digits);
}

}  // namespace

QString Variant::formatDate(const QDateTime& value) {
    if (!value.isValid()) return {};
    const QDateTime utc = value.toUTC();
    const QDate date = utc.date();
    QString text;
    text.reserve(22);
    appendPadded(text, date.month(), 1);
    text += u'/';
    appendPadded(text, date.day(), 1);
    text += u'/';
    if (date.year() >= 0)
        appendPadded(text, date.year(), 4);
    else
        text += QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
    const QTime time = utc.time();
    if (time == QTime(0, 0)) return text;
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    text += u' ';
    appendPadded(text, hour12, 1);
    text += u':';
    appendPadded(text, time.minute(), 2);
    text += u':';
    appendPadded(text, time.second(), 2);
    text += time.hour() < 12 ? QLatin1StringView(" AM") : QLatin1StringView(" PM");
    return text;
}

// Shortest digits that read back the same value; plain notation for exponents from -5 to 14,
// otherwise "1.5E+15" style.
QString Variant::formatDouble(double value, bool singlePrecision) {
    if (std::isnan(value)) return QStringLiteral("NaN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    if (value == 0) return QStringLiteral("0");
    char buffer[64];
    const auto result =
        singlePrecision
            ? std::to_chars(buffer, buffer + sizeof buffer, float(value), std::chars_format::scientific)
            : std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string sci(buffer, result.ptr);
    const auto ePos = sci.find('e');
    std::string mantissa = sci.substr(0, ePos);
    const int exponent = std::stoi(sci.substr(ePos + 1));
    const bool negative = mantissa.front() == '-';
    if (negative) mantissa.erase(0, 1);
    std::string digits;
    for (char c : mantissa)
        if (c != '.') digits += c;

    std::string out;
    if (exponent >= -5 && exponent <= 14) {
        if (exponent < 0) {
            out = "0." + std::string(size_t(-exponent - 1), '0') + digits;
        } else if (size_t(exponent) + 1 >= digits.size()) {
            out = digits + std::string(size_t(exponent) + 1 - digits.size(), '0');
        } else {
            out = digits.substr(0, size_t(exponent) + 1) + "." + digits.substr(size_t(exponent) + 1);
        }
    } else {
        out = digits.substr(0, 1);
        if (digits.size() > 1) out += "." + digits.substr(1);
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out += exp;
    }
    if (negative) out.insert(0, "-");
    return QString::fromLatin1(out.c_str());
}

QString debugText(const Variant& value) {
    return value.typeName() + u'(' + value.toString() + u')';
}

}  // namespace vq
