#pragma once

#include "archive/ArchiveExport.h"

#include "archive/server/ArchiveServer.h"
#include "sdk/SdkPoint.h"

namespace vq {

class ArchivePointAttributes;

// What a point object and its attribute collection share: the point's identity and header,
// read from the archive when first needed and refreshed after every write.
struct VQ_ARCHIVE_EXPORT ArchivePointState {
    std::shared_ptr<ArchiveServer> server;
    ArchivePointHeader header;
    bool headerLoaded = false;

    ArchivePointHeader& loadedHeader();
};

// A point of an archive server.
class VQ_ARCHIVE_EXPORT ArchivePoint : public SdkPoint {
public:
    ArchivePoint(std::shared_ptr<ArchiveServer> server, qint64 pointId, const QString& tag);
    ArchivePoint(std::shared_ptr<ArchiveServer> server, const ArchivePointHeader& header);

    QString Name() const override { return m_state->header.tag; }
    QString ListText() const override;
    SdkPointType PointType() const override { return m_state->loadedHeader().pointType; }
    qint64 PointID() const override { return m_state->header.id; }
    SdkServerPtr Server() const override { return m_state->server; }
    SdkPointClassPtr PointClass() const override;
    SdkPointAttributesPtr PointAttributes() override;

private:
    std::shared_ptr<ArchivePointState> m_state;
    std::shared_ptr<ArchivePointAttributes> m_attributes;
};

}  // namespace vq
