#include "archive/server/ArchiveServers.h"

#include "archive/server/ArchiveServer.h"
#include "archive/server/ServerRegistryWatcher.h"
#include "archive/storage/ArchiveStorage.h"
#include "archive/storage/LocationSecrets.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkErrors.h"

#include <QFileInfo>
#include <QPointer>

namespace vq {

namespace {
const QString serversSource = QStringLiteral("VQSDK.Servers");

bool sameName(const ServerEntry& entry, const QString& name) {
    return entry.name.compare(name, Qt::CaseInsensitive) == 0;
}

std::vector<ServerEntry>::iterator findEntry(std::vector<ServerEntry>& entries, const QString& name) {
    return std::find_if(entries.begin(), entries.end(),
                        [&](const ServerEntry& e) { return sameName(e, name); });
}

[[noreturn]] void raiseUnknown(const QString& name) {
    throw Error(sdkerr::ServerUnknown, serversSource,
                QStringLiteral("There is no known server \"%1\"").arg(name));
}

[[noreturn]] void raiseExists(const QString& name) {
    throw Error(sdkerr::ServerExists, serversSource,
                QStringLiteral("The server \"%1\" is already known").arg(name));
}

}  // namespace

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
        if (sameName(m_entries[i], name)) return int(i);
    return -1;
}

SdkServerPtr ArchiveServers::Item(const QString& name) const {
    const int index = indexOf(name);
    if (index < 0) raiseUnknown(name);
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
    const ServerEntry added{name.trimmed(), location, isDefault};
    if (indexOf(added.name) >= 0) raiseExists(name);
    refusePasswordInServerList(location, serversSource);
    const bool atServer = ArchiveStorage::isServerLocation(location);
    if (!atServer && !QFileInfo::exists(m_registry.resolve(location))) {
        throw Error(
            sdkerr::ServerUnavailable, serversSource,
            QStringLiteral("The archive file \"%1\" does not exist").arg(m_registry.resolve(location)));
    }
    // A file that is no archive would list as a server that fails on every use: refuse it now.
    std::shared_ptr<ArchiveServer> server = makeServer(added);
    try {
        server->ServerKind();
    } catch (const Error& error) {
        if (atServer) throw Error(sdkerr::ServerUnavailable, serversSource, error.description());
        throw Error(sdkerr::ServerUnavailable, serversSource,
                    QStringLiteral("The file \"%1\" is not a usable archive: %2")
                        .arg(m_registry.resolve(location), error.description()));
    }
    adopt(m_registry.update([&](std::vector<ServerEntry>& entries) {
        if (findEntry(entries, added.name) != entries.end()) raiseExists(name);
        if (isDefault)
            for (ServerEntry& entry : entries) entry.isDefault = false;
        entries.push_back(added);
    }),
          server);
    return server;
}

void ArchiveServers::SetDefault(const QString& name) {
    if (indexOf(name) < 0) raiseUnknown(name);
    adopt(m_registry.update([&](std::vector<ServerEntry>& entries) {
        if (findEntry(entries, name) == entries.end()) raiseUnknown(name);
        for (ServerEntry& entry : entries) entry.isDefault = sameName(entry, name);
    }));
}

// One that another program removed meanwhile is gone all the same.
void ArchiveServers::Remove(const QString& name) {
    if (indexOf(name) < 0) raiseUnknown(name);
    adopt(m_registry.update([&](std::vector<ServerEntry>& entries) {
        std::erase_if(entries, [&](const ServerEntry& entry) { return sameName(entry, name); });
    }));
}

void ArchiveServers::followRegistry() {
    if (findChild<ServerRegistryWatcher*>()) return;
    auto* watcher = new ServerRegistryWatcher(m_registry.path(), this);
    connect(watcher, &ServerRegistryWatcher::changed, this, &ArchiveServers::reloadRegistry);
}

// A list damaged by hand is not taken on: the servers known stay usable until it is mended.
void ArchiveServers::reloadRegistry() {
    try {
        adopt(m_registry.load());
    } catch (const Error&) {
    }
}

void ArchiveServers::adopt(const std::vector<ServerEntry>& fresh,
                           const std::shared_ptr<ArchiveServer>& added) {
    if (fresh == m_entries) return;
    std::vector<std::shared_ptr<ArchiveServer>> servers;
    for (const ServerEntry& entry : fresh) servers.push_back(serverFor(entry, added));
    QStringList removed;
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (std::find(servers.begin(), servers.end(), m_servers[i]) == servers.end())
            removed << m_entries[i].name;
    m_entries = fresh;
    m_servers = std::move(servers);
    for (const QString& name : removed) Q_EMIT OnRemove(name);
    Q_EMIT listChanged();
}

// An entry whose location changed is another server under the same name.
std::shared_ptr<ArchiveServer> ArchiveServers::serverFor(const ServerEntry& entry,
                                                         const std::shared_ptr<ArchiveServer>& added) {
    if (added && sameName(entry, added->Name())) return added;
    const int index = indexOf(entry.name);
    if (index >= 0 && m_entries[size_t(index)].location == entry.location) return m_servers[size_t(index)];
    return makeServer(entry);
}

}  // namespace vq
