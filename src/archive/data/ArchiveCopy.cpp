#include "archive/data/ArchiveCopy.h"

#include "archive/server/ArchiveServer.h"
#include "archive/server/ArchiveStorageFactory.h"
#include "archive/storage/ArchiveStorage.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkErrors.h"

#include <QCryptographicHash>
#include <QFile>

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
    digest.sha256 = hash.result().toHex();
    return digest;
}

ArchiveDigest ArchiveCopy::copy(const QString& sourceLocation, const QString& destination) {
    const std::unique_ptr<ArchiveStorage> from = ArchiveStorageFactory::open(sourceLocation);
    const ArchiveFacts facts{from->fact(QStringLiteral("name")), from->fact(QStringLiteral("kind")),
                             from->fact(QStringLiteral("version"))};
    std::unique_ptr<ArchiveStorage> to = ArchiveStorageFactory::create(destination, facts, from->classes());
    try {
        const auto write = to->beginWrite();
        copyPeople(*from, *to);
        copyPoints(*from, *to);
        write->commit();
    } catch (const Error& error) {
        // The write is undone; an empty archive must not pass for a copy later.
        to.reset();
        if (!ArchiveStorage::isServerLocation(destination)) {
            for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
                QFile::remove(destination + suffix);
            throw;
        }
        throw Error(
            error.number(), error.source(),
            error.description() + QStringLiteral("; nothing was copied, but the database now holds an "
                                                 "empty archive: drop its tables before copying again"));
    }
    const ArchiveDigest expected = ArchiveDigest::of(*from);
    const ArchiveDigest copied = ArchiveDigest::of(*to);
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

}  // namespace vq
