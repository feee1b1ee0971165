#pragma once

#include "core/Variant.h"

namespace vq {

// One attribute: its name and value as loaded (for a point class, its default).
class SdkPointAttribute {
public:
    SdkPointAttribute(QString name, Variant value) : m_name(std::move(name)), m_value(std::move(value)) {}
    const QString& Name() const { return m_name; }
    const Variant& Value() const { return m_value; }

private:
    QString m_name;
    Variant m_value;
};

}  // namespace vq
