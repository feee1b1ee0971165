#pragma once

namespace vq::pg {
class Connection;
}

namespace vq {

// What point searches need on a PostgreSQL archive beyond its own tables: the alias and batch
// tables, an index of the folded tag in byte order for prefix masks, trigram indexes (pg_trgm)
// over the folded tag and descriptor for inner literals, and the SQL functions the translation
// calls: vq_fold, vq_seconds, vq_sample and vq_pctgood, which compute what the SQLite archive's
// functions compute. An ArchiveMigrations step.
class PostgresSearchSchema {
public:
    // Adds whatever is missing; runs inside the caller's transaction, under the write lock.
    static void install(pg::Connection& connection);
};

}  // namespace vq
