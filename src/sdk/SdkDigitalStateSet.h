#pragma once

#include "sdk/SdkExport.h"

#include "SdkDigitalState.h"

#include <vector>

namespace vq {

/// A digital state set: its name and its states in code order.
class VQ_SDK_EXPORT SdkDigitalStateSet {
public:
    /// A set named `name` with `states` in code order.
    SdkDigitalStateSet(QString name, std::vector<SdkDigitalState> states)
        : m_name(std::move(name)), m_states(std::move(states)) {}
    /// The set's name.
    const QString& Name() const { return m_name; }
    /// The number of states.
    int Count() const { return int(m_states.size()); }
    /// The states in code order.
    const std::vector<SdkDigitalState>& States() const { return m_states; }

private:
    QString m_name;
    std::vector<SdkDigitalState> m_states;
};

}  // namespace vq
