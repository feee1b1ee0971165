#include "platform/PropertyBag.h"

#include "core/Error.h"

#include <QJsonValue>

#include <array>
#include <cmath>
#include <utility>

namespace vq {

namespace {

using Type = Variant::Type;

constexpr std::array<std::pair<Type, const char*>, 10> kTypeNames{{
    {Type::Empty, "Empty"},
    {Type::Null, "Null"},
    {Type::Missing, "Missing"},
    {Type::Boolean, "Boolean"},
    {Type::Int16, "Int16"},
    {Type::Int32, "Int32"},
    {Type::Single, "Single"},
    {Type::Double, "Double"},
    {Type::Date, "Date"},
    {Type::String, "String"},
}};

QString typeText(Type type) {
    for (const auto& [t, name] : kTypeNames)
        if (t == type) return QString::fromLatin1(name);
    return {};
}

bool typeFromText(const QString& text, Type* type) {
    for (const auto& [t, name] : kTypeNames) {
        if (text == QLatin1String(name)) {
            *type = t;
            return true;
        }
    }
    return false;
}

QJsonValue numberToJson(double value) {
    if (std::isfinite(value)) return value;
    if (std::isnan(value)) return QStringLiteral("nan");
    return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
}

bool numberFromJson(const QJsonValue& json, double* value) {
    if (json.isDouble()) {
        *value = json.toDouble();
        return true;
    }
    const QString text = json.toString();
    if (text == QLatin1String("nan"))
        *value = std::nan("");
    else if (text == QLatin1String("inf"))
        *value = INFINITY;
    else if (text == QLatin1String("-inf"))
        *value = -INFINITY;
    else
        return false;
    return true;
}

QJsonValue valueToJson(const Variant& value) {
    switch (value.type()) {
        case Type::Boolean:
            return value.toBool();
        case Type::Int16:
        case Type::Int32:
            return value.toInt32();
        case Type::Single:
        case Type::Double:
            return numberToJson(value.toDouble());
        case Type::Date:
            return value.toDateTime().toUTC().toString(Qt::ISODateWithMs);
        case Type::String:
            return value.toString();
        default:
            return QJsonValue();
    }
}

bool isWholeIn(double number, double low, double high) {
    return number == std::floor(number) && number >= low && number <= high;
}

// Reads one typed value; false when the JSON does not hold a value of that type.
bool valueFromJson(Type type, const QJsonValue& json, Variant* out) {
    double number = 0;
    switch (type) {
        case Type::Empty:
            *out = Variant();
            return true;
        case Type::Null:
            *out = Variant::null();
            return true;
        case Type::Missing:
            *out = Variant::missing();
            return true;
        case Type::Boolean:
            *out = Variant(json.toBool());
            return json.isBool();
        case Type::Int16:
            *out = Variant(int16_t(json.toInt()));
            return json.isDouble() && isWholeIn(json.toDouble(), INT16_MIN, INT16_MAX);
        case Type::Int32:
            *out = Variant(int32_t(json.toInt()));
            return json.isDouble() && isWholeIn(json.toDouble(), INT32_MIN, INT32_MAX);
        case Type::Single:
            if (!numberFromJson(json, &number)) return false;
            *out = Variant(float(number));
            return true;
        case Type::Double:
            if (!numberFromJson(json, &number)) return false;
            *out = Variant(number);
            return true;
        case Type::Date: {
            const QDateTime date = QDateTime::fromString(json.toString(), Qt::ISODateWithMs);
            *out = Variant(date);
            return date.isValid();
        }
        case Type::String:
            *out = Variant(json.toString());
            return json.isString();
    }
    return false;
}

[[noreturn]] void throwMalformed(const QString& name) {
    throw Error(errc::InvalidArgument, QStringLiteral("PropertyBag:fromJson"),
                QStringLiteral("The saved property \"%1\" is malformed").arg(name));
}

}  // namespace

Variant PropertyBag::ReadProperty(const QString& name, const Variant& defaultValue) const {
    const auto it = m_entries.constFind(name.toCaseFolded());
    return it == m_entries.constEnd() ? defaultValue : it->value;
}

void PropertyBag::WriteProperty(const QString& name, const Variant& value, const Variant& defaultValue) {
    // Exact comparison: "On" and "on", or Int16 0 and Int32 0, are different saved values.
    if (value == defaultValue)
        m_entries.remove(name.toCaseFolded());
    else
        m_entries.insert(name.toCaseFolded(), Entry{name, value});
}

uint32_t PropertyBag::ReadColor(const QString& name, uint32_t defaultValue) const {
    return uint32_t(ReadProperty(name, int32_t(defaultValue)).toInt32());
}

void PropertyBag::WriteColor(const QString& name, uint32_t value, uint32_t defaultValue) {
    WriteProperty(name, int32_t(value), int32_t(defaultValue));
}

bool PropertyBag::contains(const QString& name) const {
    return m_entries.contains(name.toCaseFolded());
}

int PropertyBag::count() const {
    return int(m_entries.size());
}

QStringList PropertyBag::names() const {
    QStringList out;
    for (const Entry& entry : m_entries) out.append(entry.name);
    return out;
}

QJsonObject PropertyBag::toJson() const {
    QJsonObject json;
    for (const Entry& entry : m_entries) {
        QJsonObject item{{QStringLiteral("type"), typeText(entry.value.type())}};
        const QJsonValue value = valueToJson(entry.value);
        if (!value.isNull()) item.insert(QStringLiteral("value"), value);
        json.insert(entry.name, item);
    }
    return json;
}

PropertyBag PropertyBag::fromJson(const QJsonObject& json) {
    PropertyBag bag;
    for (auto it = json.constBegin(); it != json.constEnd(); ++it) {
        const QJsonObject item = it.value().toObject();
        Type type = Type::Empty;
        Variant value;
        if (!it.value().isObject() || !typeFromText(item.value(QStringLiteral("type")).toString(), &type) ||
            !valueFromJson(type, item.value(QStringLiteral("value")), &value))
            throwMalformed(it.key());
        bag.m_entries.insert(it.key().toCaseFolded(), Entry{it.key(), value});
    }
    return bag;
}

bool PropertyBag::operator==(const PropertyBag& other) const {
    return m_entries == other.m_entries;
}

}  // namespace vq
