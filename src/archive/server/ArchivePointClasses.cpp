#include "archive/server/ArchivePointClasses.h"

#include "archive/server/ArchiveServer.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkErrors.h"

namespace vq {

int ArchivePointClasses::Count() const {
    return int(m_server->classes().size());
}

SdkPointClassPtr ArchivePointClasses::Item(const QString& name) const {
    const ArchiveClassInfo* info = m_server->classByName(name);
    if (!info) {
        m_server->raise(sdkerr::ClassUnknown,
                        QStringLiteral("The point class \"%1\" does not exist on server \"%2\"")
                            .arg(name, m_server->Name()));
    }
    return std::make_shared<ArchivePointClass>(m_server, info->id);
}

SdkPointClassPtr ArchivePointClasses::Item(int position) const {
    const auto& classes = m_server->classes();
    if (position < 1 || position > int(classes.size()))
        throwPositionOutOfRange(position, int(classes.size()));
    return std::make_shared<ArchivePointClass>(m_server, classes[size_t(position - 1)].id);
}

std::vector<SdkPointClassPtr> ArchivePointClasses::All() const {
    std::vector<SdkPointClassPtr> all;
    for (const ArchiveClassInfo& info : m_server->classes())
        all.push_back(std::make_shared<ArchivePointClass>(m_server, info.id));
    return all;
}

}  // namespace vq
