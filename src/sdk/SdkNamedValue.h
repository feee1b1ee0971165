#pragma once

#include "core/Variant.h"

namespace vq {

// One pair of an SdkNamedValues set.
class SdkNamedValue {
public:
    SdkNamedValue(QString name, Variant value) : m_name(std::move(name)), m_value(std::move(value)) {}
    const QString& Name() const { return m_name; }
    const Variant& Value() const { return m_value; }
    void SetValue(const Variant& value) { m_value = value; }

private:
    QString m_name;
    Variant m_value;
};

}  // namespace vq
