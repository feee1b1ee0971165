#pragma once

#include "archive/storage/ArchiveCatalog.h"
#include "sdk/SdkPointAttributes.h"

namespace vq {

class ArchiveServer;

// One attribute set of a point class with its default values. Defaults are read-only here.
class ArchiveClassAttributes : public SdkPointAttributes {
public:
    ArchiveClassAttributes(std::shared_ptr<ArchiveServer> server,
                           std::shared_ptr<const IndexedAttributeSet> set);

    QString Name() const override { return m_set->set.name; }
    int Count() override { return int(m_set->set.attributes.size()); }
    SdkPointAttributePtr Item(const QString& name) override;
    SdkPointAttributePtr Item(int position) override;
    bool Contains(const QString& name) override;
    std::vector<SdkPointAttributePtr> All() override;
    void ForEach(const std::function<void(const QString& name, const Variant& value)>& visit) override;
    void LoadAll() override {}
    SdkNamedValuesPtr NamedValues() override;
    void SetStopOnFirstError(bool) override {}
    void SetAttributes(const SdkNamedValues& edits, SdkNamedValues& failed) override;

private:
    std::shared_ptr<ArchiveServer> m_server;
    std::shared_ptr<const IndexedAttributeSet> m_set;
};

}  // namespace vq
