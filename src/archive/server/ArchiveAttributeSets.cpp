#include "archive/server/ArchiveAttributeSets.h"

#include "archive/server/ArchiveClassAttributes.h"
#include "archive/server/ArchiveServer.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkErrors.h"

namespace vq {

ArchiveAttributeSets::ArchiveAttributeSets(std::shared_ptr<ArchiveServer> server, qint64 classId)
    : m_server(std::move(server)), m_classId(classId) {}

int ArchiveAttributeSets::Count() const {
    return int(m_server->classById(m_classId)->sets.size());
}

SdkPointAttributesPtr ArchiveAttributeSets::Item(const QString& name) const {
    const ArchiveClassInfo* info = m_server->classById(m_classId);
    for (const auto& set : info->indexedSets)
        if (set->set.name.compare(name, Qt::CaseInsensitive) == 0)
            return std::make_shared<ArchiveClassAttributes>(m_server, set);
    m_server->raise(
        sdkerr::AttributeUnknown,
        QStringLiteral("The point class \"%1\" has no attribute set \"%2\"").arg(info->name, name));
}

SdkPointAttributesPtr ArchiveAttributeSets::Item(int position) const {
    const ArchiveClassInfo* info = m_server->classById(m_classId);
    if (position < 1 || position > int(info->sets.size()))
        throwPositionOutOfRange(position, int(info->sets.size()));
    return std::make_shared<ArchiveClassAttributes>(m_server, info->indexedSets[size_t(position - 1)]);
}

std::vector<SdkPointAttributesPtr> ArchiveAttributeSets::All() const {
    std::vector<SdkPointAttributesPtr> all;
    for (const auto& set : m_server->classById(m_classId)->indexedSets)
        all.push_back(std::make_shared<ArchiveClassAttributes>(m_server, set));
    return all;
}

}  // namespace vq
