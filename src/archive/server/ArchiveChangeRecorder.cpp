#include "archive/server/ArchiveChangeRecorder.h"

#include "archive/server/ArchiveServer.h"
#include "archive/storage/ArchiveStorage.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkNamedValues.h"

#include <QCoreApplication>

#include <charconv>

namespace vq {

QString ArchiveChangeRecorder::textOf(const Variant& value, AttributeType type) {
    if (type != AttributeType::Single) return QString::fromUtf8(ArchiveCatalog::storedText(value, type));
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, float(value.toDouble())).ptr;
    return QString::fromLatin1(digits, end - digits);
}

ArchiveChangeRecorder::ArchiveChangeRecorder(ArchiveServer& server, QString kind, QString note)
    : m_server(server) {
    m_record.kind = std::move(kind);
    m_record.note = std::move(note);
}

ArchiveChangeRecorder::~ArchiveChangeRecorder() {
    if (m_collecting) m_server.setCollectingChanges(m_outer);
}

// A write collecting inside another (a revert inside a batch) hands the outer one back after.
void ArchiveChangeRecorder::collectWrites() {
    if (m_collecting) return;
    m_outer = m_server.collectingChanges();
    m_server.setCollectingChanges(this);
    m_collecting = true;
}

ArchiveChangeRecorder::PointWrite::PointWrite(ArchiveServer& server)
    : m_recorder(server.collectingChanges()), m_mark(m_recorder ? m_recorder->m_record.changes.size() : 0) {}

ArchiveChangeRecorder::PointWrite::~PointWrite() {
    if (!m_recorder) return;
    auto& changes = m_recorder->m_record.changes;
    changes.erase(changes.begin() + qsizetype(m_mark), changes.end());
}

void ArchiveChangeRecorder::addPoint(qint64 pointId, const QString& tag, const ArchiveClassInfo& info,
                                     const std::vector<Variant>& before, const std::vector<Variant>& after,
                                     const std::vector<int>& attributes) {
    for (const int i : attributes) {
        // Most attributes of an edit are untouched: equal values need no text to compare.
        if (!before.empty() && before[size_t(i)] == after[size_t(i)]) continue;
        const AttributeType type = info.attributes[size_t(i)].type;
        const QString was = before.empty() ? QString() : textOf(before[size_t(i)], type);
        const QString is = textOf(after[size_t(i)], type);
        if (!before.empty() && was == is) continue;
        m_record.changes.push_back({pointId, tag, info.attributes[size_t(i)].name, was, is});
    }
}

std::optional<ArchiveChangeRecord> ArchiveChangeRecorder::takeRecord() {
    ArchiveChangeRecord record = std::exchange(m_record, {});
    m_record.kind = record.kind;
    m_record.note = record.note;
    if (!m_server.recordsHistory() || (record.changes.empty() && record.kind != u"seed")) return std::nullopt;
    record.time = QDateTime::currentDateTimeUtc();
    record.user = m_server.UserName();
    record.program = m_server.programName();
    record.osUser = osUser();
    return record;
}

qint64 ArchiveChangeRecorder::record() {
    const auto record = takeRecord();
    return record ? m_server.storage().recordChangeSet(*record) : 0;
}

qint64 ArchiveChangeRecorder::recordWithId() {
    const auto record = takeRecord();
    return record ? m_server.storage().recordChangeSetNow(*record) : 0;
}

void ArchiveChangeRecorder::recordWrite(ArchiveServer& server, const char* kind, qint64 pointId,
                                        const QString& tag, const ArchiveClassInfo& info,
                                        const std::vector<Variant>& before, const std::vector<Variant>& after,
                                        const std::vector<int>& attributes) {
    if (ArchiveChangeRecorder* collecting = server.collectingChanges())
        return collecting->addPoint(pointId, tag, info, before, after, attributes);
    ArchiveChangeRecorder own(server, QString::fromLatin1(kind));
    own.addPoint(pointId, tag, info, before, after, attributes);
    own.record();
}

const std::vector<int>& ArchiveChangeRecorder::recordedAttributes(const ArchiveClassInfo& info) {
    return info.userSetAttributes;
}

std::vector<int> ArchiveChangeRecorder::givenAttributes(const ArchiveClassInfo& info,
                                                        const std::vector<Variant>& values,
                                                        const SdkNamedValues& given) {
    QSet<QString> named;
    for (const SdkNamedValue& pair : given) {
        const QString base = ArchiveCatalog::percentBase(pair.Name());
        named.insert(foldKey(base.isEmpty() ? pair.Name() : base));
    }
    std::vector<int> chosen;
    for (const int i : recordedAttributes(info)) {
        const AttributeDef& def = info.attributes[size_t(i)];
        if (named.contains(foldKey(def.name)) || ArchiveCatalog::storedText(values[size_t(i)], def.type) !=
                                                     ArchiveCatalog::storedText(def.defaultValue, def.type))
            chosen.push_back(i);
    }
    return chosen;
}

QString ArchiveChangeRecorder::osUser() {
    // Read once: the program's user does not change while it runs.
    static const QString user =
        qEnvironmentVariableIsEmpty("USER") ? qEnvironmentVariable("USERNAME") : qEnvironmentVariable("USER");
    return user;
}

}  // namespace vq
