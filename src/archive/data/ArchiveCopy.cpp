#include "archive/data/ArchiveCopy.h"

#include "archive/server/ArchiveServer.h"
#include "archive/server/ArchiveStorageFactory.h"
#include "archive/storage/ArchiveStorage.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkErrors.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace vq {

namespace {

const QString source = QStringLiteral("VQArchive");

const ArchiveClassInfo& classNamed(const std::vector<ArchiveClassInfo>& classes, const QString& name) {
    for (const ArchiveClassInfo& info : classes)
        if (info.name == name) return info;
    throw Error(sdkerr::StorageFailed, source,
                QStringLiteral("The copy lacks the point class \"%1\"").arg(name));
}

void copyPeople(ArchiveStorage& from, ArchiveStorage& to) {
    for (const QString& group : from.groups()) to.addGroup(group);
    for (const QString& user : from.users()) {
        const ArchiveUserRecord record = *from.findUser(user);
        to.addUser(record.name, record.hash, record.salt);
        for (const QString& group : from.groupsOf(user)) to.addMembership(record.name, group);
    }
    for (const ArchiveDigitalSetRecord& set : from.digitalSets()) {
        QStringList states;
        for (const SdkDigitalState& state : set.states) states << state.Name();
        to.addDigitalSet(set.name, states);
    }
    for (const char* key : {"created", "seed_next"})
        if (const std::optional<QString> value = from.findFact(QString::fromLatin1(key)))
            to.setFact(QString::fromLatin1(key), *value);
}

void copyPoints(ArchiveStorage& from, ArchiveStorage& to) {
    const std::vector<ArchiveClassInfo> toClasses = to.classes();
    const std::unique_ptr<ArchiveStorage::BulkLoad> load = to.beginBulkLoad();
    from.scanPoints([&](const ArchiveStorage::ScannedPoint& point) {
        const ArchiveClassInfo& toClass = classNamed(toClasses, point.info->name);
        std::vector<ArchiveStoredValue> stored;
        for (size_t i = 0; i < toClass.attributes.size() && i < point.values.size(); ++i)
            if (!ArchiveCatalog::isComputedAttribute(toClass.attributes[i].name))
                stored.push_back({&toClass.attributes[i], &point.values[i]});
        load->addPoint(toClass, foldKey(point.header.tag), stored, point.archived, point.header.id);
    });
    load->commit();
}

// Every change set of the history, newest first, a page at a time.
void forEachChangeSet(ArchiveStorage& storage, const std::function<void(const ArchiveChangeRecord&)>& visit) {
    ArchiveHistoryQuery page;
    page.limit = 2000;
    for (;;) {
        const std::vector<ArchiveChangeRecord> sets = storage.changeSets(page);
        for (const ArchiveChangeRecord& set : sets) visit(set);
        if (sets.size() < size_t(page.limit)) return;
        page.beforeId = sets.back().id;
    }
}

// The history keeps its ids, so a revert named by id means the same change in the copy.
void copyHistory(ArchiveStorage& from, ArchiveStorage& to) {
    forEachChangeSet(from, [&](const ArchiveChangeRecord& set) { to.recordChangeSet(set); });
}

void hashHistory(ArchiveStorage& storage, QCryptographicHash& hash, qint64& count) {
    forEachChangeSet(storage, [&](const ArchiveChangeRecord& set) {
        ++count;
        const QStringList fields = {QString::number(set.id),
                                    QString::number(set.time.toMSecsSinceEpoch()),
                                    set.user,
                                    set.program,
                                    set.osUser,
                                    set.kind,
                                    set.note};
        hash.addData(fields.join(u'\0').toUtf8() + '\n');
        for (const ArchiveAttributeChange& change : set.changes)
            hash.addData(QStringList{QString::number(change.pointId), change.tag, change.attribute,
                                     change.before, change.after}
                             .join(u'\0')
                             .toUtf8() +
                         '\n');
    });
}

}  // namespace

ArchiveDigest ArchiveDigest::of(ArchiveStorage& storage) {
    ArchiveDigest digest;
    digest.users = storage.users().size();
    digest.groups = storage.groups().size();
    digest.digitalSets = qint64(storage.digitalSets().size());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    storage.scanPoints([&](const ArchiveStorage::ScannedPoint& point) {
        const ArchiveClassInfo& info = *point.info;
        ++digest.points;
        hash.addData(point.header.tag.toUtf8() + '\0' + info.name.toUtf8() + '\0');
        for (size_t i = 0; i < info.attributes.size(); ++i) {
            const AttributeDef& def = info.attributes[i];
            if (ArchiveCatalog::isComputedAttribute(def.name)) continue;
            hash.addData(def.name.toUtf8() + '=' + ArchiveCatalog::storedText(point.values[i], def.type) +
                         '\0');
        }
        for (const ArchivedValue& value : point.archived) {
            const bool number = value.value.isNumberType();
            ++digest.values;
            hash.addData(QByteArray::number(value.time.toMSecsSinceEpoch()) + (number ? "#" : "$") +
                         ArchiveCatalog::storedText(value.value,
                                                    number ? AttributeType::Double : AttributeType::String) +
                         '/' + QByteArray::number(value.status) + '\0');
        }
    });
    hashHistory(storage, hash, digest.changeSets);
    digest.sha256 = hash.result().toHex();
    return digest;
}

namespace {

void fill(ArchiveStorage& from, ArchiveStorage& to) {
    const auto write = to.beginWrite();
    copyPeople(from, to);
    copyPoints(from, to);
    copyHistory(from, to);
    // Last: an archive that keeps no history from now on still takes along the history it has.
    if (const std::optional<QString> history = from.findFact(QStringLiteral("history")))
        to.setFact(QStringLiteral("history"), *history);
    write->commit();
}

ArchiveDigest compared(ArchiveStorage& from, ArchiveStorage& to) {
    const ArchiveDigest expected = ArchiveDigest::of(from);
    const ArchiveDigest copied = ArchiveDigest::of(to);
    if (!(copied == expected))
        throw Error(
            sdkerr::StorageFailed, source,
            QStringLiteral("The copy differs from its source: %1 points, %2 values, digest %3 against %4 "
                           "points, %5 values, digest %6")
                .arg(copied.points)
                .arg(copied.values)
                .arg(QString::fromLatin1(copied.sha256))
                .arg(expected.points)
                .arg(expected.values)
                .arg(QString::fromLatin1(expected.sha256)));
    return copied;
}

void removeArchiveFile(const QString& path) {
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
}

// The file is built beside its destination under another name and renamed once it is complete
// and matches its source, so a copy killed on the way leaves nothing that passes for an archive.
// The lock keeps two copies from building one file; the next copy clears what a killed one left.
ArchiveDigest copyToFile(ArchiveStorage& from, const QString& destination, const ArchiveFacts& facts) {
    if (QFile::exists(destination))
        throw Error(sdkerr::ServerUnavailable, source,
                    QStringLiteral("The archive file \"%1\" already exists").arg(destination));
    QDir().mkpath(QFileInfo(destination).absolutePath());
    QLockFile lock(destination + QStringLiteral(".copying.lock"));
    lock.setStaleLockTime(0);  // stale only when its process is gone: a copy may take hours
    if (!lock.tryLock(0))
        throw Error(sdkerr::ServerUnavailable, source,
                    QStringLiteral("Another copy is writing \"%1\"; nothing was copied").arg(destination));
    const QString unfinished = destination + QStringLiteral(".copying");
    removeArchiveFile(unfinished);
    ArchiveDigest digest;
    try {
        const std::unique_ptr<ArchiveStorage> to =
            ArchiveStorageFactory::create(unfinished, facts, from.classes());
        fill(from, *to);
        digest = compared(from, *to);
    } catch (const Error&) {
        removeArchiveFile(unfinished);
        throw;
    }
    // Closed, the file holds its whole journal; renaming never replaces a file that appeared meanwhile.
    if (QFile::exists(unfinished + QStringLiteral("-wal")) || !QFile::rename(unfinished, destination)) {
        removeArchiveFile(unfinished);
        throw Error(sdkerr::StorageFailed, source,
                    QStringLiteral("The copy could not be put in place at \"%1\"; nothing was copied")
                        .arg(destination));
    }
    return digest;
}

// The archive is marked unfinished in the transaction that makes its tables and the mark goes
// last, so a copy killed on the way leaves an archive that no program opens and the next copy replaces.
ArchiveDigest copyToDatabase(ArchiveStorage& from, const QString& destination, const ArchiveFacts& facts) {
    const std::unique_ptr<ArchiveStorage> to =
        ArchiveStorageFactory::createUnfinished(destination, facts, from.classes());
    try {
        fill(from, *to);
        const ArchiveDigest digest = compared(from, *to);
        ArchiveStorageFactory::markComplete(*to);
        return digest;
    } catch (Error& error) {
        error.setDescription(error.description() +
                             QStringLiteral("; the database holds an unfinished copy that no program opens, "
                                            "and copying again replaces it"));
        throw;
    }
}

}  // namespace

ArchiveDigest ArchiveCopy::copy(const QString& sourceLocation, const QString& destination) {
    const std::unique_ptr<ArchiveStorage> from = ArchiveStorageFactory::open(sourceLocation);
    const ArchiveFacts facts{from->fact(QStringLiteral("name")), from->fact(QStringLiteral("kind")),
                             from->fact(QStringLiteral("version"))};
    if (ArchiveStorage::isServerLocation(destination)) return copyToDatabase(*from, destination, facts);
    return copyToFile(*from, destination, facts);
}

}  // namespace vq
