#pragma once

namespace vq {

class ArchiveDatabase;

// The parts of an archive that point searches need beyond the points themselves: the alias and
// batch tables, and a trigram index over tag and descriptor kept current by triggers. New
// archives get them at creation; archives made before open with them added once.
class ArchiveSearchSchema {
public:
    // Adds whatever is missing, in one transaction; true when something was added.
    static bool ensure(ArchiveDatabase& db);
};

}  // namespace vq
