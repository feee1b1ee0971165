#pragma once

namespace vq::pg {
class Connection;
}

namespace vq {

// What point searches need on a PostgreSQL archive beyond its own tables: the alias and batch
// tables, an index of the folded tag in byte order for prefix masks, trigram indexes (pg_trgm)
// over the folded tag and descriptor for inner literals, and the SQL functions the translation
// calls: vq_fold, vq_seconds, vq_sample and vq_pctgood, which compute what the SQLite archive's
// functions compute.
class PostgresSearchSchema {
public:
    // Raised when the definitions change; an archive with an older one gets them again.
    static constexpr int Version = 1;

    // Adds whatever is missing, in one transaction, under the archive's write lock; true when
    // something was added. Nothing is written when the schema is in place, so a user who may
    // only read the archive can open it.
    static bool ensure(pg::Connection& connection);
};

}  // namespace vq
