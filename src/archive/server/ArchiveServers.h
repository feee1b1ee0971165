#pragma once

#include "archive/server/ServerRegistry.h"
#include "sdk/SdkServers.h"

namespace vq {

class ArchiveServer;

/// The known servers, as the registry lists them. Adding, removing and choosing the default rewrite
/// the registry.
class ArchiveServers : public SdkServers {
    Q_OBJECT
public:
    /// The servers `registry` lists, read once now.
    explicit ArchiveServers(ServerRegistry registry);

    int Count() const override { return int(m_servers.size()); }
    SdkServerPtr Item(const QString& name) const override;
    SdkServerPtr Item(int position) const override;
    bool Contains(const QString& name) const override { return indexOf(name) >= 0; }
    SdkServerPtr DefaultServer() const override;
    std::vector<SdkServerPtr> All() const override;
    SdkServerPtr Add(const QString& name, const QString& location, bool isDefault) override;
    void Remove(const QString& name) override;
    void SetDefault(const QString& name) override;

    /// The registry the list reads and rewrites.
    const ServerRegistry& registry() const { return m_registry; }
    /// The list as the registry holds it, in order.
    const std::vector<ServerEntry>& entries() const { return m_entries; }

private:
    int indexOf(const QString& name) const;
    std::shared_ptr<ArchiveServer> makeServer(const ServerEntry& entry);

    ServerRegistry m_registry;
    std::vector<ServerEntry> m_entries;
    std::vector<std::shared_ptr<ArchiveServer>> m_servers;
};

}  // namespace vq
