#pragma once

#include "archive/ArchiveExport.h"

#include "archive/storage/ArchiveStorage.h"

#include <functional>
#include <memory>
#include <vector>

namespace vq {

// Picks the storage engine by an archive's location: an SQLite file path, or a "postgresql://"
// (or "postgres://") URI naming a database. Locations of other engines are refused clearly. The
// only place above the engines that knows them, so that the storage interface knows none.
class VQ_ARCHIVE_EXPORT ArchiveStorageFactory {
public:
    // Opens the archive at `location`.
    static std::unique_ptr<ArchiveStorage> open(const QString& location);
    // Makes a new archive at `location` with those facts and classes (their ids are assigned); an
    // existing archive is never overwritten. `sharedFile` is an SQLite option: the file is then
    // writable by the owner's group too. A database server's access is its own grants, so a
    // server location refuses it rather than ignore it. `fill` writes the first content in the same
    // write, and a location becomes an archive only once all of it is stored: a file is made under
    // another name and takes its own when whole, a database's tables come in one transaction.
    static std::unique_ptr<ArchiveStorage> create(const QString& location, const ArchiveFacts& facts,
                                                  std::vector<ArchiveClassInfo> classes,
                                                  bool sharedFile = false,
                                                  const std::function<void(ArchiveStorage&)>& fill = {});
    // Makes a new archive at a server location that open() refuses until markComplete(), for a
    // copy to build; it replaces one that an earlier copy never completed. A file location has no
    // such mark: a copy builds a file under another name and renames it.
    static std::unique_ptr<ArchiveStorage> createUnfinished(const QString& location,
                                                            const ArchiveFacts& facts,
                                                            std::vector<ArchiveClassInfo> classes);
    static void markComplete(ArchiveStorage& storage);
};

}  // namespace vq
