#pragma once

#include "archive/ArchiveExport.h"
#include "archive/storage/ArchiveCatalog.h"
#include "archive/storage/ArchiveHistoryRecords.h"

#include <optional>
#include <vector>

namespace vq {

class ArchiveServer;
class SdkNamedValues;

// The change set one write of points builds: who wrote it (the archive user, the program, the
// operating-system user), what kind of write it was, and each stored attribute it changed, from
// the text stored before to the text stored after. A point write records a change set of its
// own, unless a larger write (an import batch, a revert) collects its point writes into one.
class VQ_ARCHIVE_EXPORT ArchiveChangeRecorder {
public:
    ArchiveChangeRecorder(ArchiveServer& server, QString kind, QString note = {});
    ~ArchiveChangeRecorder();
    ArchiveChangeRecorder(const ArchiveChangeRecorder&) = delete;
    ArchiveChangeRecorder& operator=(const ArchiveChangeRecorder&) = delete;

    // From now until this recorder is dropped, the point writes on the server go into it.
    void collectWrites();
    // The attributes at `attributes` of a point as they were (`before`; empty for a new point)
    // and as they are stored now; only those whose stored text differs are kept.
    void addPoint(qint64 pointId, const QString& tag, const ArchiveClassInfo& info,
                  const std::vector<Variant>& before, const std::vector<Variant>& after,
                  const std::vector<int>& attributes);
    // Stores the change set inside the caller's write, unless the archive keeps no history or
    // nothing changed (a seeding run is recorded all the same); returns its id, or 0. Starts over.
    qint64 record();
    // As record(), but the id is known at once even where the storage would send the change set
    // with the commit.
    qint64 recordWithId();
    bool isEmpty() const { return m_record.changes.empty(); }

    // The changes one point write adds to the change set collecting; dropped without keep(), as
    // when the point's savepoint is undone, it takes them out again.
    class PointWrite {
    public:
        explicit PointWrite(ArchiveServer& server);
        ~PointWrite();
        PointWrite(const PointWrite&) = delete;
        PointWrite& operator=(const PointWrite&) = delete;
        void keep() { m_recorder = nullptr; }

    private:
        ArchiveChangeRecorder* m_recorder;
        size_t m_mark;
    };

    // What PointWriter records for one point: into the change set collecting, else its own.
    static void recordWrite(ArchiveServer& server, const char* kind, qint64 pointId, const QString& tag,
                            const ArchiveClassInfo& info, const std::vector<Variant>& before,
                            const std::vector<Variant>& after, const std::vector<int>& attributes);
    // The stored attributes whose changes a write records: those a user sets, not the audit
    // fields the archive stamps nor values derived from others.
    static const std::vector<int>& recordedAttributes(const ArchiveClassInfo& info);
    // Of those, what a new point was given: the attributes named in `given` (a per-cent twin
    // stands for its base) and those its write set apart from the class default.
    static std::vector<int> givenAttributes(const ArchiveClassInfo& info, const std::vector<Variant>& values,
                                            const SdkNamedValues& given);
    // A value as the history keeps it: the archive's stored text, a single-precision number as the
    // shortest text that reads back as the same number.
    static QString textOf(const Variant& value, AttributeType type);
    // The operating-system user running this program.
    static QString osUser();

private:
    // The change set to store and the archive's switch, or none; starts over.
    std::optional<ArchiveChangeRecord> takeRecord();

    ArchiveServer& m_server;
    ArchiveChangeRecord m_record;
    bool m_collecting = false;
    ArchiveChangeRecorder* m_outer = nullptr;  // the one collecting before this one
};

}  // namespace vq
