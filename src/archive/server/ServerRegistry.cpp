#include "archive/server/ServerRegistry.h"

#include "archive/storage/ArchiveStorage.h"
#include "sdk/SdkErrors.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <chrono>
#include <thread>

namespace vq {

namespace {

// Long enough for another program's write of a long list, short enough that a user is not left
// waiting on a lock that will not go; a holder that died leaves a lock QLockFile sees through.
constexpr int kLockWaitMs = 10000;

QString& hostPath() {
    static QString path;
    return path;
}

[[noreturn]] void raiseRegistry(const QString& description) {
    throw Error(sdkerr::RegistryInvalid, QStringLiteral("VQArchive.Registry"), description);
}

// QLockFile's own wait sleeps 100 ms and more between tries, while a write of the list takes a
// few milliseconds: try often instead.
bool lockSoon(QLockFile& lock) {
    const QDeadlineTimer deadline(kLockWaitMs);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace

ServerRegistry::ServerRegistry(QString path) : m_path(path.isEmpty() ? defaultPath() : std::move(path)) {}

QString ServerRegistry::defaultPath() {
    if (!hostPath().isEmpty()) return hostPath();
    const QString fromEnvironment = qEnvironmentVariable("VQ_SERVER_REGISTRY");
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("VQTagwright/servers.json"));
}

QString ServerRegistry::defaultFolder() {
    return QFileInfo(defaultPath()).absolutePath();
}

void ServerRegistry::setDefaultPath(const QString& path) {
    hostPath() = path;
}

std::vector<ServerEntry> ServerRegistry::load() const {
    QFile file(m_path);
    if (!file.exists()) return {};
    if (!file.open(QIODevice::ReadOnly))
        raiseRegistry(QStringLiteral("Cannot read the server list \"%1\"").arg(m_path));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        raiseRegistry(
            QStringLiteral("The server list \"%1\" is damaged: %2").arg(m_path, parseError.errorString()));
    }
    std::vector<ServerEntry> entries;
    for (const QJsonValue& value : document.object().value(QStringLiteral("servers")).toArray()) {
        const QJsonObject object = value.toObject();
        ServerEntry entry{object.value(QStringLiteral("name")).toString(),
                          object.value(QStringLiteral("location")).toString(),
                          object.value(QStringLiteral("default")).toBool()};
        if (entry.name.isEmpty() || entry.location.isEmpty())
            raiseRegistry(
                QStringLiteral("The server list \"%1\" has an entry without name or location").arg(m_path));
        entries.push_back(entry);
    }
    return entries;
}

void ServerRegistry::save(const std::vector<ServerEntry>& entries) const {
    QJsonArray servers;
    for (const ServerEntry& entry : entries) {
        servers.append(QJsonObject{{QStringLiteral("name"), entry.name},
                                   {QStringLiteral("location"), entry.location},
                                   {QStringLiteral("default"), entry.isDefault}});
    }
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        raiseRegistry(QStringLiteral("Cannot write the server list \"%1\"").arg(m_path));
    file.write(QJsonDocument(QJsonObject{{QStringLiteral("servers"), servers}}).toJson());
    if (!file.commit()) raiseRegistry(QStringLiteral("Cannot write the server list \"%1\"").arg(m_path));
}

std::vector<ServerEntry> ServerRegistry::update(
    const std::function<void(std::vector<ServerEntry>&)>& change) const {
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!lockSoon(lock))
        raiseRegistry(QStringLiteral("The server list \"%1\" is kept locked by another program").arg(m_path));
    std::vector<ServerEntry> entries = load();
    change(entries);
    save(entries);
    return entries;
}

QString ServerRegistry::resolve(const QString& location) const {
    if (QDir::isAbsolutePath(location) || ArchiveStorage::isServerLocation(location)) return location;
    return QFileInfo(m_path).absoluteDir().filePath(location);
}

}  // namespace vq
