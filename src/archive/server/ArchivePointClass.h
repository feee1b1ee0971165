#pragma once

#include "sdk/SdkPointClass.h"

namespace vq {

class ArchiveServer;

// A point class of an archive: one attribute collection on "VQ2" archives, named sets on "VQ3".
class ArchivePointClass : public SdkPointClass {
public:
    ArchivePointClass(std::shared_ptr<ArchiveServer> server, qint64 classId);

    QString Name() const override;
    SdkPointAttributesPtr PointAttributes() const override;
    SdkAttributeSetsPtr AttributeSets() const override;

private:
    bool isVq2() const;

    std::shared_ptr<ArchiveServer> m_server;
    qint64 m_classId;
};

}  // namespace vq
