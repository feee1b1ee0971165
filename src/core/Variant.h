#pragma once

#include "core/CoreExport.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <variant>

namespace vq {

/// The value of every attribute. It keeps the rules the whole model relies on:
/// which values count as numbers, how two values compare, and how a value reads as text.
class VQ_CORE_EXPORT Variant {
public:
    /// The kinds of value, with the type names typeName() gives them.
    enum class Type {
        Empty,    ///< never assigned ("Empty")
        Null,     ///< no valid data ("Null")
        Missing,  ///< an optional argument left out
        Boolean,  ///< "Boolean"
        Int16,    ///< 16-bit integer ("Integer")
        Int32,    ///< 32-bit integer ("Long")
        Single,   ///< single-precision floating value ("Single")
        Double,   ///< double-precision floating value ("Double")
        Date,     ///< date and time ("Date")
        String    ///< text ("String")
    };

    Variant() = default;  ///< Empty
    /// A Boolean.
    Variant(bool value) : m_type(Type::Boolean), m_data(value) {}
    /// An Int16.
    Variant(int16_t value) : m_type(Type::Int16), m_data(int32_t(value)) {}
    /// An Int32.
    Variant(int32_t value) : m_type(Type::Int32), m_data(value) {}
    /// A Single.
    Variant(float value) : m_type(Type::Single), m_data(double(value)) {}
    /// A Double.
    Variant(double value) : m_type(Type::Double), m_data(value) {}
    /// A Date.
    Variant(const QDateTime& value) : m_type(Type::Date), m_data(value) {}
    /// @{
    /// A String.
    Variant(const QString& value) : m_type(Type::String), m_data(value) {}
    Variant(const char16_t* value) : Variant(QString::fromUtf16(value)) {}
    Variant(const char* value) : Variant(QString::fromUtf8(value)) {}
    /// @}

    /// The Null value.
    static Variant null();
    /// The value of an optional argument that was left out.
    static Variant missing();
    /// A Date at the given day and time, in UTC.
    static Variant date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    /// The zero date of the archive: 12/30/1899; one day later is the "never written" placeholder.
    static QDateTime zeroDate();

    /// The kind of value held.
    Type type() const { return m_type; }
    /// True for Empty only.
    bool isEmpty() const { return m_type == Type::Empty; }
    /// True for Null only.
    bool isNull() const { return m_type == Type::Null; }
    /// True for Missing only.
    bool isMissing() const { return m_type == Type::Missing; }
    /// True for String, whatever the text.
    bool isString() const { return m_type == Type::String; }
    /// True for the numeric types proper (not for text that reads as a number).
    bool isNumberType() const;

    /// Numbers and booleans are numeric; so is text that parses as a number once trimmed of blanks.
    /// Empty, Null, Missing, dates and blank text are not.
    bool isNumeric() const;

    /// @{
    /// Conversions. toDouble and toInt32 of a non-numeric value give 0 and set *ok to false.
    double toDouble(bool* ok = nullptr) const;
    int32_t toInt32(bool* ok = nullptr) const;
    /// @}
    /// The value as a 16-bit integer, rounded as toInt32 rounds; Empty gives 0. A value that is no
    /// number raises errc::TypeMismatch, one outside -32768..32767 raises errc::Overflow.
    int16_t toCheckedInt16() const;
    /// True for a true Boolean, the text "True" (any case) or a number other than 0.
    bool toBool() const;
    /// A Date as it is, text parsed as by parseDate(), numbers as days since zeroDate(); otherwise invalid.
    QDateTime toDateTime() const;
    /// Integers plain, floating values in the shortest form that reads back the same, dates as
    /// month/day/year (with the time only when it is not midnight), booleans "True"/"False";
    /// Empty, Null and Missing give "".
    QString toString() const;

    /// "String", "Integer", "Long", "Single", "Double", "Date", "Boolean", "Empty", "Null", "Error".
    QString typeName() const;

    /// Numbers compare as numbers when both are numeric, otherwise as text without regard to case.
    /// Returns <0, 0 or >0.
    static int compare(const Variant& a, const Variant& b);
    /// True when compare() does not find the values equal: the test of an edit that changes nothing.
    static bool valuesDiffer(const Variant& a, const Variant& b) { return compare(a, b) != 0; }

    /// Same type and same value, for tests and containers.
    bool operator==(const Variant& other) const;

    /// Parses the text forms of dates this system writes and accepts: "12/31/1899",
    /// "1/5/2024 3:04:05 PM", ISO 8601. Gives an invalid QDateTime when the text is no date.
    static QDateTime parseDate(const QString& text);
    /// A date as toString() writes it: month/day/year, with the time only when it is not midnight.
    static QString formatDate(const QDateTime& value);
    /// The shortest text that reads back as the same value, in single precision when `singlePrecision`.
    static QString formatDouble(double value, bool singlePrecision);

private:
    Type m_type = Type::Empty;
    std::variant<std::monostate, bool, int32_t, double, QDateTime, QString> m_data;
};

/// Shorthand for Qt's test output and for error messages.
VQ_CORE_EXPORT QString debugText(const Variant& value);

}  // namespace vq
