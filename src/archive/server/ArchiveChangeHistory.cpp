#include "archive/server/ArchiveChangeHistory.h"

#include "archive/server/ArchiveChangeRecorder.h"
#include "archive/server/ArchiveServer.h"
#include "archive/server/PointWriter.h"
#include "archive/server/SecurityString.h"
#include "archive/storage/ArchiveStorage.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkNamedValues.h"

namespace vq {

namespace {

using Outcome = SdkRevertResult::Outcome;

// A change set's attribute changes, point by point in the order the points were written.
std::vector<std::vector<ArchiveAttributeChange>> byPoint(const std::vector<ArchiveAttributeChange>& changes) {
    std::vector<std::vector<ArchiveAttributeChange>> points;
    QHash<qint64, size_t> at;
    for (const ArchiveAttributeChange& change : changes) {
        const auto found = at.constFind(change.pointId);
        if (found == at.cend()) {
            at.insert(change.pointId, points.size());
            points.push_back({change});
        } else {
            points[*found].push_back(change);
        }
    }
    return points;
}

ArchiveHistoryQuery queryOf(const SdkHistoryFilter& filter, qint64 pointId) {
    ArchiveHistoryQuery query;
    query.pointId = pointId;
    query.since = filter.since;
    query.until = filter.until;
    query.user = filter.user;
    query.changeId = filter.changeId;
    query.limit = filter.limit;
    query.beforeId = filter.beforeId;
    return query;
}

// A point the change set made: its tag had no value before.
bool createdBy(const std::vector<ArchiveAttributeChange>& changes) {
    for (const ArchiveAttributeChange& change : changes)
        if (change.attribute.compare(u"Tag", Qt::CaseInsensitive) == 0 && change.before.isEmpty())
            return true;
    return false;
}

QString when(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODate);
}

}  // namespace

bool ArchiveChangeHistory::mayRead(qint64 pointId) {
    const auto known = m_readable.constFind(pointId);
    if (known != m_readable.cend()) return *known;
    const QString user = m_server->UserName();
    bool readable = user.compare(u"vqadmin", Qt::CaseInsensitive) == 0;
    std::optional<ArchivePointHeader> header = m_server->storage().pointHeader(pointId);
    if (!readable && header) {
        const ArchiveClassInfo& info = *m_server->classById(header->classId);
        const std::vector<Variant> values = m_server->readAttributes(*header);
        auto value = [&](const char* name) {
            return values[size_t(info.index.value(foldKey(QString::fromLatin1(name))))];
        };
        if (!info.index.contains(foldKey(QStringLiteral("PtAccess")))) {
            readable = true;  // archives without point security
        } else if (const auto access = SecurityString::parse(value("PtAccess").toString())) {
            const bool owns = value("PtOwner").toString().compare(user, Qt::CaseInsensitive) == 0;
            const auto inGroup = [&] {
                return m_server->groupsOf(user).contains(value("PtGroup").toString(), Qt::CaseInsensitive);
            };
            readable = access->rightsOf(owns, inGroup).read;
        }
    }
    m_readable.insert(pointId, readable);
    return readable;
}

SdkChangeSet ArchiveChangeHistory::shown(const ArchiveChangeRecord& record) {
    SdkChangeSet set{record.id,     record.time, record.user, record.program,
                     record.osUser, record.kind, record.note, {}};
    for (const std::vector<ArchiveAttributeChange>& point : byPoint(record.changes)) {
        if (!mayRead(point.front().pointId)) continue;
        SdkPointChange change{point.front().pointId, point.front().tag, {}};
        for (const ArchiveAttributeChange& attribute : point)
            change.attributes.push_back({attribute.attribute, attribute.before, attribute.after});
        set.points.push_back(std::move(change));
    }
    return set;
}

std::vector<SdkChangeSet> ArchiveChangeHistory::changeSets(const SdkHistoryFilter& filter) {
    m_server->requireConnection(QStringLiteral("read the change history"));
    m_readable.clear();
    qint64 pointId = 0;
    if (!filter.tag.isEmpty()) {
        const std::optional<ArchivePointHeader> point = m_server->findPoint(filter.tag);
        if (!point || !mayRead(point->id)) return {};
        pointId = point->id;
    }
    std::vector<SdkChangeSet> sets;
    for (const ArchiveChangeRecord& record : m_server->storage().changeSets(queryOf(filter, pointId))) {
        SdkChangeSet set = shown(record);
        // A change set of points the reader may not read says nothing to them.
        if (set.points.empty() && !record.changes.empty()) continue;
        sets.push_back(std::move(set));
    }
    return sets;
}

std::vector<SdkRevertResult> ArchiveChangeHistory::revert(qint64 changeId, bool force) {
    m_server->requireConnection(QStringLiteral("revert a change"));
    m_readable.clear();
    ArchiveHistoryQuery query;
    query.changeId = changeId;
    const std::vector<ArchiveChangeRecord> found = m_server->storage().changeSets(query);
    if (found.empty())
        m_server->raise(
            sdkerr::AttributesRefused,
            QStringLiteral("There is no change set %1 on server \"%2\"").arg(changeId).arg(m_server->Name()));
    const ArchiveChangeRecord& record = found.front();
    if (record.changes.empty())
        m_server->raise(sdkerr::AttributesRefused,
                        QStringLiteral("The change set %1 (%2) holds no attribute values to put back")
                            .arg(changeId)
                            .arg(record.kind));
    // All points go back in one write, recorded as one change set; each is its own savepoint.
    const auto write = m_server->storage().beginWrite();
    ArchiveChangeRecorder recorder(*m_server, QStringLiteral("revert"),
                                   QStringLiteral("reverts change set %1").arg(changeId));
    recorder.collectWrites();
    std::vector<SdkRevertResult> results;
    for (const std::vector<ArchiveAttributeChange>& point : byPoint(record.changes))
        results.push_back(revertPoint(record, point, force));
    recorder.record();
    write->commit();
    return results;
}

SdkRevertResult ArchiveChangeHistory::revertPoint(const ArchiveChangeRecord& record,
                                                  const std::vector<ArchiveAttributeChange>& changes,
                                                  bool force) {
    const qint64 pointId = changes.front().pointId;
    SdkRevertResult result{pointId, changes.front().tag, Outcome::Restored, {}};
    auto refused = [&](const QString& reason) {
        result.outcome = Outcome::Refused;
        result.reason = reason;
        return result;
    };
    std::optional<ArchivePointHeader> header = m_server->storage().pointHeader(pointId);
    if (!header) return refused(QStringLiteral("the point no longer exists"));
    if (!mayRead(pointId))
        return refused(QStringLiteral("the user \"%1\" may not read this point").arg(m_server->UserName()));
    if (createdBy(changes))
        return refused(
            QStringLiteral("the change set created this point, and the archive removes no points"));
    result.tag = header->tag;
    if (!force) {
        if (QString reason = changedSince(record, changes); !reason.isEmpty()) {
            result.outcome = Outcome::ChangedSince;
            result.reason = reason;
            return result;
        }
    }
    const ArchiveClassInfo& info = *m_server->classById(header->classId);
    SdkNamedValues edits;
    for (const ArchiveAttributeChange& change : changes) {
        const AttributeDef* def = info.find(change.attribute);
        if (!def)
            return refused(QStringLiteral("%1 is no longer an attribute of its class").arg(change.attribute));
        edits.Add(def->name, ArchiveCatalog::storedDefault(info, def->name, def->type, change.before));
    }
    try {
        SdkNamedValues failed;
        PointWriter(*m_server).update(*header, edits, false, failed);
        result.tag = header->tag;
    } catch (const Error& error) {
        if (error.number() == sdkerr::StorageFailed || error.number() == sdkerr::ServerUnavailable) throw;
        return refused(error.description());
    }
    return result;
}

// Who changed the point after the change set, and when: a later change set of the point, or a
// stored value that is no longer what the change set left (a write while history was off).
QString ArchiveChangeHistory::changedSince(const ArchiveChangeRecord& record,
                                           const std::vector<ArchiveAttributeChange>& changes) {
    ArchiveHistoryQuery newest;
    newest.pointId = changes.front().pointId;
    newest.limit = 1;
    const std::vector<ArchiveChangeRecord> later = m_server->storage().changeSets(newest);
    if (!later.empty() && later.front().id > record.id)
        return QStringLiteral("changed since by %1 at %2 (change set %3)")
            .arg(later.front().user, when(later.front().time))
            .arg(later.front().id);
    ArchivePointHeader header = *m_server->storage().pointHeader(newest.pointId);
    const ArchiveClassInfo& info = *m_server->classById(header.classId);
    const std::vector<Variant> values = m_server->readAttributes(header);
    for (const ArchiveAttributeChange& change : changes) {
        const int i = info.index.value(foldKey(change.attribute), -1);
        if (i < 0) continue;
        const AttributeDef& def = info.attributes[size_t(i)];
        if (ArchiveChangeRecorder::textOf(values[size_t(i)], def.type) == change.after) continue;
        const int changer = info.index.value(foldKey(QStringLiteral("Changer")), -1);
        const int changed = info.index.value(foldKey(QStringLiteral("ChangeDate")), -1);
        return QStringLiteral("changed since by %1 at %2, while no history was kept (%3 is no longer \"%4\")")
            .arg(changer < 0 ? QStringLiteral("another program") : values[size_t(changer)].toString(),
                 changed < 0 ? QStringLiteral("an unknown time") : when(values[size_t(changed)].toDateTime()),
                 change.attribute, change.after);
    }
    return {};
}

}  // namespace vq
