#include "archive/server/ArchivePoint.h"

#include "archive/server/ArchivePointAttributes.h"
#include "archive/server/ArchivePointClass.h"
#include "sdk/SdkPointList.h"

namespace vq {

ArchivePointHeader& ArchivePointState::loadedHeader() {
    if (!headerLoaded) {
        header = server->pointHeader(header.id);
        headerLoaded = true;
    }
    return header;
}

ArchivePoint::ArchivePoint(std::shared_ptr<ArchiveServer> server, qint64 pointId, const QString& tag)
    : m_state(std::make_shared<ArchivePointState>()) {
    m_state->server = std::move(server);
    m_state->header.id = pointId;
    m_state->header.tag = tag;
}

ArchivePoint::ArchivePoint(std::shared_ptr<ArchiveServer> server, const ArchivePointHeader& header)
    : m_state(std::make_shared<ArchivePointState>()) {
    m_state->server = std::move(server);
    m_state->header = header;
    m_state->headerLoaded = true;
}

QString ArchivePoint::ListText() const {
    return SdkPointList::Path(m_state->server->Name(), Name());
}

SdkPointClassPtr ArchivePoint::PointClass() const {
    const ArchiveClassInfo* info = m_state->server->classById(m_state->loadedHeader().classId);
    return std::make_shared<ArchivePointClass>(m_state->server, info->id);
}

SdkPointAttributesPtr ArchivePoint::PointAttributes() {
    if (!m_attributes) m_attributes = std::make_shared<ArchivePointAttributes>(m_state);
    return m_attributes;
}

}  // namespace vq
