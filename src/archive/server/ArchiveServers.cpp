#include "archive/server/ArchiveServers.h"

#include "archive/server/ArchiveServer.h"
#include "archive/storage/ArchiveStorage.h"
#include "archive/storage/LocationSecrets.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkErrors.h"

#include <QFileInfo>
#include <QPointer>

namespace vq {

namespace {
const QString serversSource = QStringLiteral("VQSDK.Servers");
}

ArchiveServers::ArchiveServers(ServerRegistry registry) : m_registry(std::move(registry)) {
    m_entries = m_registry.load();
    for (const ServerEntry& entry : m_entries) m_servers.push_back(makeServer(entry));
}

std::shared_ptr<ArchiveServer> ArchiveServers::makeServer(const ServerEntry& entry) {
    auto server = ArchiveServer::open(entry.name, m_registry.resolve(entry.location));
    QPointer<ArchiveServers> self(this);
    server->setOpenedCallback([self](const QString& name) {
        if (self) Q_EMIT self->OnOpen(name);
    });
    return server;
}

int ArchiveServers::indexOf(const QString& name) const {
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].name.compare(name, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

SdkServerPtr ArchiveServers::Item(const QString& name) const {
    const int index = indexOf(name);
    if (index < 0) {
        throw Error(sdkerr::ServerUnknown, serversSource,
                    QStringLiteral("There is no known server \"%1\"").arg(name));
    }
    return m_servers[size_t(index)];
}

SdkServerPtr ArchiveServers::Item(int position) const {
    if (position < 1 || position > Count()) throwPositionOutOfRange(position, Count());
    return m_servers[size_t(position - 1)];
}

SdkServerPtr ArchiveServers::DefaultServer() const {
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].isDefault) return m_servers[i];
    return m_servers.empty() ? nullptr : m_servers.front();
}

std::vector<SdkServerPtr> ArchiveServers::All() const {
    return {m_servers.begin(), m_servers.end()};
}

SdkServerPtr ArchiveServers::Add(const QString& name, const QString& location, bool isDefault) {
    if (name.trimmed().isEmpty() || name.contains(u'\\'))
        throw Error(sdkerr::ServerUnknown, serversSource,
                    QStringLiteral("\"%1\" is not a usable server name").arg(name));
    if (indexOf(name.trimmed()) >= 0)
        throw Error(sdkerr::ServerExists, serversSource,
                    QStringLiteral("The server \"%1\" is already known").arg(name));
    refusePasswordInServerList(location, serversSource);
    const bool atServer = ArchiveStorage::isServerLocation(location);
    if (!atServer && !QFileInfo::exists(m_registry.resolve(location))) {
        throw Error(
            sdkerr::ServerUnavailable, serversSource,
            QStringLiteral("The archive file \"%1\" does not exist").arg(m_registry.resolve(location)));
    }
    std::vector<ServerEntry> entries = m_entries;
    if (isDefault)
        for (ServerEntry& entry : entries) entry.isDefault = false;
    entries.push_back({name.trimmed(), location, isDefault});
    // A file that is no archive would list as a server that fails on every use: refuse it now.
    std::shared_ptr<ArchiveServer> server = makeServer(entries.back());
    try {
        server->ServerKind();
    } catch (const Error& error) {
        if (atServer) throw Error(sdkerr::ServerUnavailable, serversSource, error.description());
        throw Error(sdkerr::ServerUnavailable, serversSource,
                    QStringLiteral("The file \"%1\" is not a usable archive: %2")
                        .arg(m_registry.resolve(location), error.description()));
    }
    m_registry.save(entries);
    m_entries = std::move(entries);
    m_servers.push_back(std::move(server));
    return m_servers.back();
}

void ArchiveServers::SetDefault(const QString& name) {
    const int index = indexOf(name);
    if (index < 0) Item(name);  // raises the unknown-server error
    std::vector<ServerEntry> entries = m_entries;
    for (size_t i = 0; i < entries.size(); ++i) entries[i].isDefault = int(i) == index;
    m_registry.save(entries);
    m_entries = std::move(entries);
}

void ArchiveServers::Remove(const QString& name) {
    const int index = indexOf(name);
    if (index < 0) Item(name);  // raises the unknown-server error
    std::vector<ServerEntry> entries = m_entries;
    const QString removed = entries[size_t(index)].name;
    entries.erase(entries.begin() + index);
    m_registry.save(entries);
    m_entries = std::move(entries);
    m_servers.erase(m_servers.begin() + index);
    Q_EMIT OnRemove(removed);
}

}  // namespace vq
