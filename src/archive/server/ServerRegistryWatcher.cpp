#include "archive/server/ServerRegistryWatcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace vq {

namespace {
// A write is a temporary file, a rename and a lock taken and dropped: read once it has settled.
constexpr int kSettleMs = 50;
}  // namespace

ServerRegistryWatcher::ServerRegistryWatcher(const QString& path, QObject* parent)
    : QObject(parent),
      m_path(QFileInfo(path).absoluteFilePath()),
      m_watcher(new QFileSystemWatcher(this)),
      m_settle(new QTimer(this)) {
    m_settle->setSingleShot(true);
    m_settle->setInterval(kSettleMs);
    connect(m_settle, &QTimer::timeout, this, &ServerRegistryWatcher::changed);
    const QString folder = QFileInfo(m_path).absolutePath();
    if (QFileInfo(folder).isDir()) m_watcher->addPath(folder);
    watchFile();
    const auto noticed = [this] {
        watchFile();
        m_settle->start();
    };
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, noticed);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, noticed);
}

// A replaced file is a new file to the system: watch it again.
void ServerRegistryWatcher::watchFile() {
    if (QFileInfo::exists(m_path) && !m_watcher->files().contains(m_path)) m_watcher->addPath(m_path);
}

}  // namespace vq
