#pragma once

#include <QString>

#include <cstdint>

namespace vq {

// One state of a digital state set.
class SdkDigitalState {
public:
    SdkDigitalState(QString name, int32_t code) : m_name(std::move(name)), m_code(code) {}
    const QString& Name() const { return m_name; }
    int32_t Code() const { return m_code; }

private:
    QString m_name;
    int32_t m_code;
};

}  // namespace vq
