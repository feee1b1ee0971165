#include "archive/server/ArchivePointClass.h"

#include "archive/server/ArchiveAttributeSets.h"
#include "archive/server/ArchiveClassAttributes.h"
#include "archive/server/ArchiveServer.h"

namespace vq {

ArchivePointClass::ArchivePointClass(std::shared_ptr<ArchiveServer> server, qint64 classId)
    : m_server(std::move(server)), m_classId(classId) {}

QString ArchivePointClass::Name() const {
    return m_server->classById(m_classId)->name;
}

bool ArchivePointClass::isVq2() const {
    return m_server->ServerKind() == u"VQ2";
}

SdkPointAttributesPtr ArchivePointClass::PointAttributes() const {
    if (!isVq2()) return nullptr;
    return std::make_shared<ArchiveClassAttributes>(m_server,
                                                    m_server->classById(m_classId)->indexedSets.front());
}

SdkAttributeSetsPtr ArchivePointClass::AttributeSets() const {
    if (isVq2()) return nullptr;
    return std::make_shared<ArchiveAttributeSets>(m_server, m_classId);
}

}  // namespace vq
