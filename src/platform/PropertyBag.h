#pragma once

#include "platform/PlatformExport.h"

#include "core/Variant.h"

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>

namespace vq {

/// The design-time properties a control persists: names (compared without regard to case) to values.
/// A value equal to its default is not stored, so a bag holds only what the user changed and reads
/// back the default for everything else. Bags round-trip through JSON keeping each value's type.
class VQ_PLATFORM_EXPORT PropertyBag {
public:
    /// The stored value, or `defaultValue` when the name is absent.
    Variant ReadProperty(const QString& name, const Variant& defaultValue) const;
    /// Stores `value` when it differs from `defaultValue` in type or value (text case included);
    /// otherwise removes the name.
    void WriteProperty(const QString& name, const Variant& value, const Variant& defaultValue);

    /// Colours are saved as 32-bit integers (0x00BBGGRR, or a flagged theme colour).
    uint32_t ReadColor(const QString& name, uint32_t defaultValue) const;
    /// Stores a colour as a 32-bit integer, as WriteProperty() does.
    void WriteColor(const QString& name, uint32_t value, uint32_t defaultValue);

    /// True when a value is stored under `name`: one that differs from its default.
    bool contains(const QString& name) const;
    /// The number of stored values.
    int count() const;
    QStringList names() const;  ///< as first written, in alphabetical order of their folded form

    /// {"Name": {"type": "Int32", "value": 5}, ...}; dates as ISO 8601 in UTC, non-finite
    /// numbers as the texts "nan", "inf" and "-inf".
    QJsonObject toJson() const;
    /// Throws vq::Error (InvalidArgument) naming the property when an entry is malformed.
    static PropertyBag fromJson(const QJsonObject& json);

    /// The same names with the same types and values.
    bool operator==(const PropertyBag& other) const;

private:
    struct Entry {
        QString name;
        Variant value;
        bool operator==(const Entry& other) const { return name == other.name && value == other.value; }
    };
    QMap<QString, Entry> m_entries;  // keyed by the case-folded name
};

}  // namespace vq
