#pragma once

#include "sdk/SdkDigitalStateSets.h"

namespace vq {

class ArchiveServer;

// The digital state sets of an archive, read when the collection is made.
class ArchiveDigitalStateSets : public SdkDigitalStateSets {
public:
    explicit ArchiveDigitalStateSets(std::shared_ptr<ArchiveServer> server);

    int Count() const override { return int(m_sets.size()); }
    SdkDigitalStateSetPtr Item(const QString& name) const override;
    bool Contains(const QString& name) const override;
    std::vector<SdkDigitalStateSetPtr> All() const override { return m_sets; }
    SdkNamedValuesPtr Search(const SdkNamedValues& masks, int condition) const override;

    // A state-name mask: "*" stands for any run of characters, letter case is ignored, and the
    // mask is trimmed of blanks.
    static bool matchesMask(const QString& name, const QString& mask);

private:
    std::shared_ptr<ArchiveServer> m_server;
    std::vector<SdkDigitalStateSetPtr> m_sets;
};

}  // namespace vq
