#pragma once

#include "sdk/SdkExport.h"

#include <QString>

#include <cstdint>

namespace vq {

/// One state of a digital state set.
class VQ_SDK_EXPORT SdkDigitalState {
public:
    /// A state named `name` with the code `code`.
    SdkDigitalState(QString name, int32_t code) : m_name(std::move(name)), m_code(code) {}
    /// The state's name, as the set lists it.
    const QString& Name() const { return m_name; }
    /// The state's code; a set lists its states in code order.
    int32_t Code() const { return m_code; }

private:
    QString m_name;
    int32_t m_code;
};

}  // namespace vq
