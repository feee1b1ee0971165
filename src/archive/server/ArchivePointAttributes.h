#pragma once

#include "archive/server/ArchivePoint.h"
#include "sdk/SdkPointAttributes.h"

namespace vq {

// The attributes of one stored point, in its class's order. Values are read on first use and
// again by LoadAll; writes go through PointWriter.
class ArchivePointAttributes : public SdkPointAttributes {
public:
    explicit ArchivePointAttributes(std::shared_ptr<ArchivePointState> state) : m_state(std::move(state)) {}

    QString Name() const override;
    int Count() override;
    SdkPointAttributePtr Item(const QString& name) override;
    SdkPointAttributePtr Item(int position) override;
    bool Contains(const QString& name) override;
    std::vector<SdkPointAttributePtr> All() override;
    void ForEach(const std::function<void(const QString& name, const Variant& value)>& visit) override;
    void LoadAll() override;
    SdkNamedValuesPtr NamedValues() override;
    void SetStopOnFirstError(bool stop) override { m_stopOnFirstError = stop; }
    void SetAttributes(const SdkNamedValues& edits, SdkNamedValues& failed) override;

private:
    const ArchiveClassInfo& info();
    void ensureLoaded();

    std::shared_ptr<ArchivePointState> m_state;
    std::vector<Variant> m_values;
    bool m_loaded = false;
    bool m_stopOnFirstError = true;
};

}  // namespace vq
