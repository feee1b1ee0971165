#include "archive/server/ArchiveApplication.h"

#include "archive/server/ArchiveServers.h"

namespace vq {

ArchiveApplication::ArchiveApplication(ServerRegistry registry) : m_registry(std::move(registry)) {}

SdkServersPtr ArchiveApplication::Servers() {
    if (!m_servers) {
        m_servers = std::make_shared<ArchiveServers>(m_registry);
        m_servers->followRegistry();  // the windows of a program show what other programs change
    }
    return m_servers;
}

void ArchiveApplication::install(const QString& registryPath) {
    if (!registryPath.isEmpty()) ServerRegistry::setDefaultPath(registryPath);
    SdkApplication::setFactory([] { return std::make_shared<ArchiveApplication>(ServerRegistry()); });
}

}  // namespace vq
