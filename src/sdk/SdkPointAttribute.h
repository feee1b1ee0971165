#pragma once

#include "core/Variant.h"

namespace vq {

/// One attribute: its name and value as loaded (for a point class, its default).
class SdkPointAttribute {
public:
    /// The attribute `name` with `value`.
    SdkPointAttribute(QString name, Variant value) : m_name(std::move(name)), m_value(std::move(value)) {}
    /// The attribute's name in the catalogue's spelling.
    const QString& Name() const { return m_name; }
    /// The value as loaded; a class's attribute holds its default.
    const Variant& Value() const { return m_value; }

private:
    QString m_name;
    Variant m_value;
};

}  // namespace vq
