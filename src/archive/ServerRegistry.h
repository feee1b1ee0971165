#pragma once

#include <QString>

#include <vector>

namespace vq {

struct ServerEntry {
    QString name;
    QString location;  // the archive file; relative locations are relative to the registry's folder
    bool isDefault = false;
};

// The file listing the known servers (JSON). Its place is, in order: the path a host sets, the
// environment variable VQ_SERVER_REGISTRY, or "servers.json" in the user's data folder.
class ServerRegistry {
public:
    explicit ServerRegistry(QString path = {});

    static QString defaultPath();
    // The folder of the registry a host would use by default; sample archives live beside it.
    static QString defaultFolder();
    static void setDefaultPath(const QString& path);

    const QString& path() const { return m_path; }
    // A missing file is an empty registry; a damaged one raises.
    std::vector<ServerEntry> load() const;
    // Writes atomically: readers never see half a file.
    void save(const std::vector<ServerEntry>& entries) const;
    QString resolve(const QString& location) const;

private:
    QString m_path;
};

}  // namespace vq
