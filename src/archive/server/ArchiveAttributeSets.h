#pragma once

#include "sdk/SdkAttributeSets.h"

namespace vq {

class ArchiveServer;

// The attribute sets of one point class, "base" first.
class ArchiveAttributeSets : public SdkAttributeSets {
public:
    ArchiveAttributeSets(std::shared_ptr<ArchiveServer> server, qint64 classId);

    int Count() const override;
    SdkPointAttributesPtr Item(const QString& name) const override;
    SdkPointAttributesPtr Item(int position) const override;
    std::vector<SdkPointAttributesPtr> All() const override;

private:
    std::shared_ptr<ArchiveServer> m_server;
    qint64 m_classId;
};

}  // namespace vq
