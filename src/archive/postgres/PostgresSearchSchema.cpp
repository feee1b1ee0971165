#include "archive/postgres/PostgresSearchSchema.h"

#include "archive/postgres/PgConnection.h"
#include "archive/postgres/PostgresArchiveSchema.h"

namespace vq {

namespace {

const char* const kTables =
    "CREATE EXTENSION IF NOT EXISTS pg_trgm;"
    "CREATE TABLE IF NOT EXISTS aliases(point_id bigint NOT NULL, alias text NOT NULL, unit text,"
    " PRIMARY KEY(point_id, alias));"
    "CREATE TABLE IF NOT EXISTS batches(batch_id text NOT NULL, point_id bigint, unit text, product text,"
    " start_time double precision, end_time double precision);";

// Case folding as the C++ side folds (simple per-character mapping, which the libc C.UTF-8
// locale's lower() gives); %1 is the collation chosen for it. Numbers read as text the way SQLite
// writes them: integers plainly, doubles with 15 significant digits and at least one decimal.
const char* const kFold =
    "CREATE OR REPLACE FUNCTION vq_fold(text) RETURNS text LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE"
    " AS $$ SELECT lower($1 COLLATE %1) $$;"
    "CREATE OR REPLACE FUNCTION vq_fold(bigint) RETURNS text LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE"
    " AS $$ SELECT $1::text $$;"
    "CREATE OR REPLACE FUNCTION vq_fold(integer) RETURNS text LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE"
    " AS $$ SELECT $1::text $$;"
    "CREATE OR REPLACE FUNCTION vq_fold(double precision) RETURNS text LANGUAGE sql IMMUTABLE STRICT"
    " PARALLEL SAFE AS $$ SELECT CASE"
    " WHEN $1 = 0 THEN '0.0'"
    " WHEN $1 = 'NaN'::float8 THEN NULL"
    " WHEN $1 = 'Infinity'::float8 THEN 'Inf' WHEN $1 = '-Infinity'::float8 THEN '-Inf'"
    " WHEN abs($1) >= 1e-4 AND abs($1) < 1e15 THEN"
    "  CASE WHEN strpos($1::numeric::text, '.') > 0 THEN $1::numeric::text ELSE $1::numeric::text || '.0' END"
    " ELSE regexp_replace(regexp_replace(trim(to_char($1, '9.99999999999999EEEE')), '0+e', 'e'),"
    "  '\\.e', '.0e') END $$;";

// A stored date ('2024-03-01T08:00:00', UTC) in seconds, by the same steps as SQLite's
// (julianday(x) - 2440587.5) * 86400.0, so that both give the same double.
const char* const kSeconds =
    "CREATE OR REPLACE FUNCTION vq_seconds(date text) RETURNS double precision LANGUAGE plpgsql STABLE"
    " STRICT PARALLEL SAFE AS $$ DECLARE ms bigint; BEGIN"
    " IF date !~ '^\\d{4}-\\d\\d-\\d\\d([T ]\\d\\d:\\d\\d(:\\d\\d(\\.\\d+)?)?)?$' THEN RETURN NULL; END IF;"
    " ms := round(extract(epoch FROM date::timestamp) * 1000);"
    " RETURN ((ms + 210866760000000)::float8 / 86400000::float8 - 2440587.5::float8) * 86400::float8;"
    " EXCEPTION WHEN others THEN RETURN NULL; END $$;";

// The interpolated and summary values, step by step as ArchiveSummary computes them (the same
// operations in the same order, so the doubles agree): function 0 interpolates, 1..7 are avg,
// mean, total, min, max, range and std over (t - step, t].
const char* const kSummary =
    "CREATE OR REPLACE FUNCTION vq_summary(fn integer, point bigint, t double precision,"
    " step double precision, OUT sampled double precision, OUT good double precision)"
    " LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$"
    " DECLARE b record; a record; e record; since float8; cur_good boolean := false; cur float8;"
    " integral float8 := 0; covered float8 := 0; vals float8[] := '{}'; v float8; total float8 := 0;"
    " squares float8 := 0; n integer;"
    " BEGIN"
    " IF fn IS NULL OR fn < 0 OR fn > 7 THEN RETURN; END IF;"
    " IF fn = 0 THEN"
    "  SELECT x.time, CASE WHEN x.value_is_number THEN x.value::float8 END AS num, x.status INTO b"
    "   FROM archive x WHERE x.point_id = point AND x.time <= t ORDER BY x.time DESC LIMIT 1;"
    "  IF NOT FOUND THEN RETURN; END IF;"
    "  sampled := b.num;"
    "  good := CASE WHEN b.status = 0 AND b.num IS NOT NULL THEN 100 ELSE 0 END;"
    "  SELECT x.time, CASE WHEN x.value_is_number THEN x.value::float8 END AS num, x.status INTO a"
    "   FROM archive x WHERE x.point_id = point AND x.time > t ORDER BY x.time LIMIT 1;"
    "  IF FOUND AND b.status = 0 AND b.num IS NOT NULL AND a.status = 0 AND a.num IS NOT NULL"
    "   AND a.time > b.time THEN"
    "   v := (t - b.time) / (a.time - b.time);"
    "   sampled := b.num + v * (a.num - b.num);"
    "  END IF;"
    " ELSE"
    "  since := t - step;"
    "  SELECT CASE WHEN x.value_is_number THEN x.value::float8 END AS num, x.status INTO b"
    "   FROM archive x WHERE x.point_id = point AND x.time <= since ORDER BY x.time DESC LIMIT 1;"
    "  IF FOUND THEN cur_good := b.status = 0 AND b.num IS NOT NULL; cur := b.num; END IF;"
    "  FOR e IN SELECT x.time, CASE WHEN x.value_is_number THEN x.value::float8 END AS num, x.status"
    "   FROM archive x WHERE x.point_id = point AND x.time > t - step AND x.time <= t ORDER BY x.time LOOP"
    "   IF cur_good AND e.time > since THEN"
    "    integral := integral + cur * (e.time - since); covered := covered + (e.time - since);"
    "   END IF;"
    "   cur_good := e.status = 0 AND e.num IS NOT NULL; cur := e.num;"
    "   since := greatest(t - step, e.time);"
    "   IF cur_good THEN vals := vals || e.num; END IF;"
    "  END LOOP;"
    "  IF cur_good AND t > since THEN"
    "   integral := integral + cur * (t - since); covered := covered + (t - since);"
    "  END IF;"
    "  good := CASE WHEN step > 0 THEN 100::float8 * covered / step ELSE 0 END;"
    "  IF fn IN (1, 3) THEN"
    "   IF covered > 0 THEN sampled := CASE WHEN fn = 1 THEN integral / covered ELSE integral / 86400 END;"
    "   END IF;"
    "  ELSE"
    "   n := cardinality(vals);"
    "   IF n > 0 THEN"
    "    FOREACH v IN ARRAY vals LOOP total := total + v; END LOOP;"
    "    total := total / n;"
    "    IF fn = 4 THEN SELECT min(u) INTO sampled FROM unnest(vals) u;"
    "    ELSIF fn = 5 THEN SELECT max(u) INTO sampled FROM unnest(vals) u;"
    "    ELSIF fn = 6 THEN SELECT max(u) - min(u) INTO sampled FROM unnest(vals) u;"
    "    ELSIF fn = 7 THEN"
    "     FOREACH v IN ARRAY vals LOOP squares := squares + (v - total) * (v - total); END LOOP;"
    "     sampled := sqrt(squares / n);"
    "    ELSE sampled := total; END IF;"
    "   END IF;"
    "  END IF;"
    " END IF;"
    " IF sampled IN ('Infinity'::float8, '-Infinity'::float8, 'NaN'::float8) THEN sampled := NULL; END IF;"
    " IF good IN ('Infinity'::float8, '-Infinity'::float8, 'NaN'::float8) THEN good := NULL; END IF;"
    " END $$;"
    "CREATE OR REPLACE FUNCTION vq_sample(integer, bigint, double precision, double precision)"
    " RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE"
    " AS $$ SELECT (vq_summary($1, $2, $3, $4)).sampled $$;"
    "CREATE OR REPLACE FUNCTION vq_pctgood(integer, bigint, double precision, double precision)"
    " RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE"
    " AS $$ SELECT (vq_summary($1, $2, $3, $4)).good $$;";

// Prefix masks read a range of the folded tag in byte order: the tag key's own unique index when
// the key sorts so already, else an index of its own. Inner literals go to the trigram indexes.
const char* const kIndexes =
    "CREATE INDEX IF NOT EXISTS points_tag_trigrams ON points USING gin (tag_key gin_trgm_ops);"
    "CREATE INDEX IF NOT EXISTS points_descriptor_trigrams ON points"
    " USING gin (vq_fold(\"Descriptor\") gin_trgm_ops);";

const char* const kByteOrderIndex =
    "CREATE INDEX IF NOT EXISTS points_tag_order ON points (tag_key COLLATE \"C\");";

// The collation whose lower() folds as the C++ side does: per character, for every script.
QString foldCollation(pg::Connection& connection) {
    const pg::Rows rows = connection.exec(
        "SELECT quote_ident(collname) FROM pg_collation WHERE collname IN ('C.utf8', 'C.UTF-8', 'und-x-icu')"
        " AND collencoding IN (-1, pg_char_to_encoding('UTF8'))"
        " ORDER BY collname = 'und-x-icu', collname LIMIT 1");
    return rows.count() == 1 ? rows.text(0, 0) : QStringLiteral("\"default\"");
}

bool keyIsInByteOrder(pg::Connection& connection) {
    const pg::Rows rows = connection.exec(
        "SELECT collation_name FROM information_schema.columns WHERE table_schema = current_schema()"
        " AND table_name = 'points' AND column_name = 'tag_key'");
    return rows.count() == 1 && !rows.isNull(0, 0) && rows.text(0, 0) == u"C";
}

}  // namespace

void PostgresSearchSchema::install(pg::Connection& connection) {
    connection.execScript(kTables);
    connection.execScript(QString::fromLatin1(kFold).arg(foldCollation(connection)).toUtf8());
    connection.execScript(QByteArray(kSeconds) + kSummary);
    if (!keyIsInByteOrder(connection)) connection.execScript(kByteOrderIndex);
    connection.execScript(kIndexes);
}

}  // namespace vq
