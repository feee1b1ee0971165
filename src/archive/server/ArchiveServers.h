#pragma once

#include "archive/ArchiveExport.h"

#include "archive/server/ServerRegistry.h"
#include "sdk/SdkServers.h"

namespace vq {

class ArchiveServer;

/// The known servers, as the registry lists them. Adding, removing and choosing the default rewrite
/// the registry: each merges its one change into the list as the file holds it then, and the list
/// here takes on what other programs changed meanwhile.
class VQ_ARCHIVE_EXPORT ArchiveServers : public SdkServers {
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
    /// From now on, takes on the changes other programs make to the registry as they happen (an
    /// event loop must run), announcing removed servers and every change like its own.
    void followRegistry();

private:
    int indexOf(const QString& name) const;
    std::shared_ptr<ArchiveServer> makeServer(const ServerEntry& entry);
    // Makes `fresh` the list, keeping the server objects (and their connections) of unchanged
    // entries and taking `added` for its entry; then announces what went and that the list changed.
    void adopt(const std::vector<ServerEntry>& fresh, const std::shared_ptr<ArchiveServer>& added = {});
    std::shared_ptr<ArchiveServer> serverFor(const ServerEntry& entry,
                                             const std::shared_ptr<ArchiveServer>& added);
    void reloadRegistry();

    ServerRegistry m_registry;
    std::vector<ServerEntry> m_entries;
    std::vector<std::shared_ptr<ArchiveServer>> m_servers;
};

}  // namespace vq
