#pragma once

#include "archive/ArchiveExport.h"

#include <QString>

#include <functional>
#include <vector>

namespace vq {

/// One server of the list.
struct VQ_ARCHIVE_EXPORT ServerEntry {
    /// The name the server is known under.
    QString name;
    QString location;  ///< the archive file; relative locations are relative to the registry's folder
    /// True for the default server.
    bool isDefault = false;

    /// Entries are equal when name, location and default flag are.
    friend bool operator==(const ServerEntry&, const ServerEntry&) = default;
};

/// The file listing the known servers (JSON). Its place is, in order: the path a host sets, the
/// environment variable VQ_SERVER_REGISTRY, or "servers.json" in the user's data folder.
class VQ_ARCHIVE_EXPORT ServerRegistry {
public:
    /// The registry at `path`; an empty path means defaultPath().
    explicit ServerRegistry(QString path = {});

    /// The path a registry without a path of its own uses, found as the class says.
    static QString defaultPath();
    /// The folder of the registry a host would use by default; sample archives live beside it.
    static QString defaultFolder();
    /// Sets the path the host chose; an empty path falls back to the environment and the data folder.
    static void setDefaultPath(const QString& path);

    /// The file this registry reads and writes.
    const QString& path() const { return m_path; }
    /// A missing file is an empty registry; a damaged one raises.
    std::vector<ServerEntry> load() const;
    /// Writes atomically: readers never see half a file. The file is the user's alone (mode 600):
    /// a location may name a database server.
    void save(const std::vector<ServerEntry>& entries) const;
    /// Applies `change` to the list as the file holds it now and writes the result, all under the
    /// list's lock, so that a change another program made meanwhile is kept; answers the list
    /// written. What `change` raises is raised, and nothing is written.
    std::vector<ServerEntry> update(const std::function<void(std::vector<ServerEntry>&)>& change) const;
    /// The archive a location names: a file path absolute as it is, relative to the registry's folder
    /// otherwise; a database server's URI ("postgresql://...") as it is.
    QString resolve(const QString& location) const;

private:
    QString m_path;
};

}  // namespace vq
