#pragma once

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

namespace vq {

/// Tells when the server list file at a path may have changed: written here, by another program,
/// or by hand. A write replaces the file, so the folder is watched as well as the file; a burst of
/// changes is told once.
class ServerRegistryWatcher : public QObject {
    Q_OBJECT
public:
    /// Watches the file at `path`; a folder that does not exist yet is not watched.
    explicit ServerRegistryWatcher(const QString& path, QObject* parent = nullptr);

Q_SIGNALS:
    /// The file was written, replaced, removed or created.
    void changed();

private:
    void watchFile();

    QString m_path;
    QFileSystemWatcher* m_watcher;
    QTimer* m_settle;
};

}  // namespace vq
