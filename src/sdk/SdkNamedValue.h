#pragma once

#include "sdk/SdkExport.h"

#include "core/Variant.h"

namespace vq {

/// One pair of an SdkNamedValues set.
class VQ_SDK_EXPORT SdkNamedValue {
public:
    /// The pair (`name`, `value`).
    SdkNamedValue(QString name, Variant value) : m_name(std::move(name)), m_value(std::move(value)) {}
    /// The name as it was added.
    const QString& Name() const { return m_name; }
    /// The value.
    const Variant& Value() const { return m_value; }
    /// Replaces the value; the name stays.
    void SetValue(const Variant& value) { m_value = value; }

private:
    QString m_name;
    Variant m_value;
};

}  // namespace vq
