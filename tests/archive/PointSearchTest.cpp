// The point search: clauses through the archive against a plain evaluator, syntax errors,
// safety denials, cancellation, completion, and the time and summary arithmetic beneath.
#include "ArchiveTestSupport.h"
#include "ClauseEvaluator.h"
#include "archive/data/ArchiveCopy.h"
#include "archive/data/ArchiveSeeder.h"
#include "archive/dialect/ArchiveSummary.h"
#include "archive/dialect/SqlDialectParser.h"
#include "archive/dialect/SqlDialectTranslator.h"
#include "archive/dialect/TimeText.h"
#include "archive/postgres/PgConnection.h"
#include "archive/postgres/PostgresPointSearch.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "archive/sqlite/SqlitePointSearch.h"
#include "sdk/SdkPointList.h"

#include <QElapsedTimer>
#include <QFile>

#include <cmath>
#include <numeric>
#include <stdexcept>
#include <thread>

namespace vq::test {
namespace {

// The tags the archive answers; empty for its "no point matches" error.
QStringList searched(ArchiveServer& server, const QString& clause) {
    try {
        SdkNamedValues tables;
        for (SqlTable table : SqlDialectParser::tablesOf(*SqlDialectParser::parse(clause)))
            if (table != SqlTable::Point)
                tables.Add(SqlDialectVocabulary::setName(table), Variant(int16_t(0)));
        const SdkPointListPtr list = server.GetPointsSQL(clause, tables, nullptr);
        QStringList tags;
        for (int i = 1; i <= list->Count(); ++i) tags << list->Tag(i);
        return tags;
    } catch (const Error& error) {
        if (error.number() != errc::NoPointsFound) throw;
        return {};
    }
}

// Stored aliases and batches, which an archive copy leaves to the search that fills them, and a
// point without a stored descriptor, to which a copy gives the class default: the same on both engines.
QString searchRows() {
    static const qint64 now = QDateTime::currentSecsSinceEpoch();
    return u"INSERT INTO aliases(point_id, alias, unit) SELECT point_id, 'alias-' || \"Tag\", 'U' || "
           u"(point_id % 3)"
           " FROM points WHERE point_id % 7 = 0;"
           "INSERT INTO batches(batch_id, point_id, unit, product, start_time, end_time) VALUES"
           " ('B-1', 3, 'U1', 'Resin', %1 - 7200, %1 - 1800), ('B-2', 5, 'U2', 'Glue', %1 - 600, NULL),"
           " ('B-3', 8, 'U1', 'Resin', %1 - 90000, %1 - 86000);"
           "UPDATE points SET \"Descriptor\" = NULL WHERE \"Tag\" = 'TI-11';"_s.arg(now);
}

// One small seeded archive shared by the tests, with a few points whose tags and descriptors
// hold the characters that masks must treat literally, and stored aliases and batches.
class PointSearchTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        s_server =
            ArchiveServer::create(s_dir->filePath(u"search.vqa"_s), u"search"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
        s_server->Open(u"vqadmin"_s, QString());
        ArchiveSeeder::seed(*s_server, 150, 2);
        const std::pair<const char*, const char*> odd[] = {{"Fic_1%a", "Level [%] of tank 4"},
                                                           {"FICX1ZA", "Level of tank 5"},
                                                           {"fic_200", "Reflux_flow"},
                                                           {"Tank~1", "Level of tank 6"},
                                                           {"Füll-1", "Fill level"},
                                                           {"FÜ-2", "Fill flow"},
                                                           {"FV-3", "Fill valve"},
                                                           {"O'Q-1", "back\\slash 'quoted'"},
                                                           {"TI-10", "Boundary of a tag range"},
                                                           {"TI-11", "Boundary of a tag range"}};
        for (const auto& [tag, descriptor] : odd)
            s_server->Points()->Add(QString::fromUtf8(tag), u"classic"_s, 12,
                                    namedValues({{"Descriptor", Variant(QString::fromUtf8(descriptor))}}));
        SqliteArchiveStorage::databaseOf(s_server->storage())
            .execute(
                searchRows() +
                // The trigram indexes follow renames, changed descriptors and removals.
                u"UPDATE points SET \"Tag\" = 'RENAMED-QQZ-1', tag_key = 'renamed-qqz-1' WHERE point_id = 4;"
                "UPDATE points SET \"Descriptor\" = 'Changed xylophone' WHERE point_id = 6;"
                "UPDATE points SET \"Descriptor\" = 'Removed xylophone' WHERE point_id = 11;"
                "DELETE FROM points WHERE point_id = 11; DELETE FROM archive WHERE point_id = 11;"
                // An archived zero, which reads as text "0.0".
                "INSERT INTO archive(point_id, time, value, status)"
                " SELECT point_id, unixepoch() - 60, 0.0, 0 FROM points WHERE \"Tag\" = 'FV-3';"_s);
    }
    static void TearDownTestSuite() {
        s_server.reset();
        delete s_dir;
    }

    static inline QTemporaryDir* s_dir = nullptr;
    static inline std::shared_ptr<ArchiveServer> s_server;
};

// The same archive on each storage engine: the shared SQLite file, or a copy of it on PostgreSQL
// (the same points, ids and times), each searched through its own storage.
// Both must answer what the evaluator finds, so a difference in meaning between them fails.
class PointSearchBackendTest : public PointSearchTest, public ::testing::WithParamInterface<StorageBackend> {
protected:
    static void TearDownTestSuite() {
        s_postgres.reset();
        s_database.reset();
        PointSearchTest::TearDownTestSuite();
    }

    ArchiveServer& server() {
        if (GetParam() == StorageBackend::Sqlite) return *s_server;
        if (!s_postgres) {
            s_database = std::make_unique<TestDatabase>();
            const QString uri = QString::fromStdString(s_database->uri());
            ArchiveCopy::copy(s_server->path(), uri);
            pg::Connection(uri).execScript(searchRows().toUtf8());
            s_postgres = ArchiveServer::open(u"search"_s, uri);
            s_postgres->Open(u"vqadmin"_s, QString());
        }
        return *s_postgres;
    }

    QStringList search(const QString& clause) { return searched(server(), clause); }

    // Runs SQL made by hand on a new search connection of the engine; the (id, tag) rows it answers.
    std::vector<std::pair<qint64, QString>> run(const SqlQuery& query) {
        std::vector<std::pair<qint64, QString>> rows;
        const auto sink = [&](qint64 id, QStringView tag) { rows.emplace_back(id, tag.toString()); };
        if (GetParam() == StorageBackend::Sqlite)
            SqlitePointSearch(server().path(), s_server->pointColumns()).run(query, sink);
        else
            PostgresPointSearch(server().path(), s_server->pointColumns()).run(query, sink);
        return rows;
    }
    size_t storedPoints() { return run({"SELECT point_id, \"Tag\" FROM points", {}}).size(); }

    static inline std::unique_ptr<TestDatabase> s_database;
    static inline std::shared_ptr<ArchiveServer> s_postgres;
};

VQ_ON_BOTH_BACKENDS(PointSearchBackendTest);

// Every clause form the search control builds, and the ones users type by hand; masks and texts
// match without regard to case, and take '%', '_' and '[' literally.
const char* const kClauses[] = {
    "VQPoint.Tag = '*'",
    "VQPOINT.TAG LIKE 'sin*'  AND VQPOINT.POINTSOURCE = 'R'  AND VQPOINT.POINTTYPE = 'R'",
    "VQPOINT.TAG = 'fic_200' ",
    "VQPOINT.TAG LIKE 'fic_*'",
    "VQPOINT.TAG LIKE 'fic?1*'",
    "VQPOINT.TAG = 'O''Q?1'",
    "VQPOINT.DESCRIPTOR LIKE '*\\S*''Q*'",
    "VQPOINT.DESCRIPTOR >= 'level' AND VQPOINT.DESCRIPTOR < 'level of tank 6'",
    "VQPOINT.TAG LIKE '*-tic-*'",
    // Literal prefixes answered by a range of the tag key: its upper end past '~', past a letter
    // that is not ASCII, under NOT, and for a sampled table's tag.
    "VQPOINT.TAG LIKE 'tank~*'",
    "VQPOINT.TAG LIKE 'FÜ*'",
    "VQPOINT.TAG LIKE 'fül*'",
    "VQPOINT.TAG LIKE 'fü-?'",
    "VQPOINT.TAG LIKE 'TI-10*'",
    "VQPOINT.TAG LIKE '*QQZ*' OR VQPOINT.DESCRIPTOR LIKE '*xylophone*'",
    "NOT VQPOINT.TAG LIKE 'fic*'",
    "NOT VQPOINT.DESCRIPTOR LIKE '*tank*'",
    "VQcomp.Value LIKE '0.0' AND VQpoint.Tag = VQcomp.Tag",
    "VQPOINT.TAG <> 'f*' AND VQPOINT.TAG LIKE 'fic_?00'",
    "VQinterp.Tag LIKE 'fic*' AND VQpoint.Tag = VQinterp.Tag AND VQinterp.Time = DATE('*-12h')",
    "vqpoint.tag like '*I?-*'",
    "VQPOINT.DESCRIPTOR LIKE '*[%]*'",
    "VQPOINT.DESCRIPTOR LIKE '*X_F*'",
    "VQPOINT.DESCRIPTOR = 'level of TANK 5'",
    "VQPOINT.ENGUNITS LIKE 'deg*'  AND VQPOINT.POINTCLASS = 'classic' ",
    "VQPOINT.POINTCLASS = 'TOTALIZER'",
    "VQPOINT.POINTTYPE IN (\"I\", \"D\")",
    "VQPOINT.POINTTYPE NOT IN ('R', 'S')",
    "VQpoint.Tag = '123'",
    "VQpoint.Zero >= 10 AND \r\nVQpoint.Span < 500",
    "VQpoint.Span > 100 OR (VQpoint.Zero < 0 AND NOT VQpoint.PointType = 'R')",
    "VQPOINT.POINTID <= 20 AND VQPOINT.POINTNUMBER != 3",
    "VQPOINT.CREATIONDATE > DATE('y') AND VQPOINT.CHANGEDATE <= DATE('*+1h')",
    "ABS(VQCOMP.STATUS) = ABS(DIGCODE(\"ON\")) AND VQPOINT.TAG = VQCOMP.TAG AND VQCOMP.TIME = DATE(\" * \")",
    "ABS(VQCOMP.STATUS) = ABS(DIGCODE(\"Closed\")) AND VQPOINT.TAG = VQCOMP.TAG AND VQCOMP.TIME = "
    "DATE(\"*\")",
    "VQcomp.Value > 5 AND VQpoint.Tag = VQcomp.Tag AND VQcomp.Time = DATE('*-12h')",
    "VQcomp.Status = -253 AND VQpoint.Tag = VQcomp.Tag",
    "VQcomp.Value LIKE 'batch*' AND VQpoint.Tag = VQcomp.Tag AND VQcomp.Time >= DATE('t')",
    "VQcomp.Value < -1E3",
    "VQinterp.Value > 50 AND VQpoint.Tag = VQinterp.Tag AND VQinterp.Time >= DATE('*-1h') AND "
    "VQinterp.Time <= DATE('*')",
    "VQinterp.PctGood = 100 AND VQpoint.Tag = VQinterp.Tag AND VQinterp.Time = DATE('*-12h')",
    "VQavg.Value > 20 AND VQpoint.Tag = VQavg.Tag AND VQavg.Time >= DATE('*-1h') AND VQavg.Time <= DATE('*')",
    "VQmean.Value > 20 AND VQpoint.Tag = VQmean.Tag AND VQmean.TimeStep = '2d'",
    "VQtotal.Value > 100 AND VQpoint.Tag = VQtotal.Tag AND VQtotal.TimeStep = '2d'",
    "VQmin.Value < 0 AND VQpoint.Tag = VQmin.Tag AND VQmin.TimeStep = '2d'",
    "VQmax.Value >= 100 AND VQpoint.Tag = VQmax.Tag AND VQmax.TimeStep = '2d'",
    "VQrange.Value > 1 AND VQpoint.Tag = VQrange.Tag AND VQrange.TimeStep = '2d'",
    "VQstd.Value > 0.5 AND VQpoint.Tag = VQstd.Tag AND VQstd.TimeStep = '2d' AND VQstd.Time <= DATE('*')",
    "VQalias.Alias LIKE 'alias-*' AND VQpoint.Tag = VQalias.Tag AND VQalias.Time >= DATE('*-1h') AND "
    "VQalias.Time <= DATE('*')",
    "VQalias.Unit = 'u1' AND VQpoint.Tag = VQalias.Tag",
    "VQbatch.Product = 'resin' AND VQpoint.Tag = VQBatch.Tag AND VQBatch.Time >= DATE('*-1h') AND "
    "VQBatch.Time <= DATE('*')",
    "VQbatch.Unit = 'U2' AND VQpoint.Tag = VQbatch.Tag AND VQbatch.Starttime > DATE('*-1h')",
    "VQbatch.Batchid = 'B-3' AND VQpoint.Pointid < 3",
};

TEST_P(PointSearchBackendTest, EveryClauseFormAnswersWhatAPlainEvaluatorFinds) {
    server();
    const ClauseEvaluator evaluator(*s_server, QDateTime::currentDateTimeUtc());
    auto check = [&](const QString& clause) {
        const QStringList expected = evaluator.evaluate(*SqlDialectParser::parse(clause));
        QString answer;
        try {
            answer = search(clause).join(u' ');
        } catch (const Error& error) {
            answer = u"error: "_s + error.description();
        }
        EXPECT_EQ(answer.toStdString(), expected.join(u' ').toStdString()) << clause.toStdString();
        return !expected.isEmpty() && expected.size() < s_server->pointCount();
    };
    int answered = 0;
    for (const char* text : kClauses) answered += check(QString::fromUtf8(text)) ? 1 : 0;
    // Most clauses select some points but not all, so a search that ignored its clause would fail.
    EXPECT_GE(answered, int(std::size(kClauses)) * 3 / 4);
    // Every column of VQPOINT compared as its kind says, so a column that one engine stores with
    // another type than the dialect expects shows.
    for (const QString& column : SqlDialectVocabulary::columns(SqlTable::Point)) {
        const SqlColumnKind kind = SqlDialectVocabulary::kindOf(SqlTable::Point, column);
        if (kind == SqlColumnKind::Text) check(u"VQPOINT.%1 LIKE '*e*'"_s.arg(column));
        check(u"VQPOINT.%1 "_s.arg(column) + (kind == SqlColumnKind::Text   ? u">= 'm'"_s
                                              : kind == SqlColumnKind::Time ? u"> DATE('*-1d')"_s
                                                                            : u"> 1"_s));
    }
}

TEST_F(PointSearchTest, ABadClauseOrExtraTableSetSaysWhereAndWhatIsWrong) {
    const std::pair<const char*, const char*> cases[] = {
        {"VQPOINT.TAG LIKE 'A*' AND",
         "position 26: expected a column such as VQPOINT.TAG, a value or a function but "
         "found the end of the clause"},
        {"VQPOINT.TAG = 'abc", "position 15: the text starting here has no closing single quote"},
        {"VQPOINT.TAGG = 'x'",
         "position 9: table VQPOINT has no column \"TAGG\"; its columns are Tag, Archiving"},
        {"VQPIONT.TAG = 'x'", "position 1: there is no table \"VQPIONT\"; the tables are VQPOINT, VQCOMP"},
        {"TAG = 'x'", "position 1: \"TAG\" is not a column; write TABLE.COLUMN"},
        {"VQPOINT.TAG 'x'",
         "position 13: expected a comparison (=, <>, <, <=, >, >=, LIKE or IN) but found \"'x'\""},
        {"VQPOINT.ZERO = 10 VQPOINT.SPAN = 5",
         "position 19: expected AND, OR or the end of the clause but found "
         "\"VQPOINT\""},
        {"(VQPOINT.ZERO = 10", "position 19: expected \")\" after the condition in parentheses"},
        {"VQPOINT.ZERO = 10 # 1", "position 19: the character '#' has no meaning here"},
        {"VQPOINT.ZERO = 1x", "position 16: \"1x\" is neither a number nor a name"},
        {"VQPOINT.ZERO = SQRT(4)", "position 16: there is no function \"SQRT\""},
        {"VQCOMP.TIME = DATE(5)",
         "position 20: expected a quoted text in DATE(...), for example DATE('*-1h')"},
        {"VQCOMP.TIME > DATE('soon')", "DATE(\"soon\") is not a time"},
        {"VQPOINT.ZERO = 'ten'", "\"ten\" is compared with a number but is not one"},
        {"VQINTERP.TIMESTEP = 'often'", "\"often\" is not a time step"},
        {"VQINTERP.TIME >= DATE('*-30d') AND VQINTERP.TIMESTEP = '1m'", "more than 1000 sample times"},
        {"   ", "it is empty"},
    };
    for (const auto& [clause, message] : cases) {
        const Error error = raised([&] { searched(*s_server, QString::fromUtf8(clause)); });
        EXPECT_EQ(error.number(), sdkerr::QueryInvalid) << clause;
        EXPECT_TRUE(error.description().contains(QString::fromUtf8(message)))
            << error.description().toStdString();
    }

    // The extra-table set must name the tables the clause uses.
    const QString clause = u"VQcomp.Value > 5 AND VQpoint.Tag = VQcomp.Tag"_s;
    Error error = raised([&] { s_server->GetPointsSQL(clause, SdkNamedValues(), nullptr); });
    EXPECT_EQ(error.number(), sdkerr::QueryInvalid);
    EXPECT_TRUE(
        error.description().contains(u"uses table VQCOMP, which is missing from the extra-table set"_s));
    error = raised([&] {
        s_server->GetPointsSQL(clause, namedValues({{"VQcomp", 0}, {"VQfoo", 0}}), nullptr);
    });
    EXPECT_TRUE(error.description().contains(u"names \"VQfoo\", which is not a table"_s));
    // A table named in the set but not in the clause is not joined: it cannot empty the answer.
    EXPECT_EQ(
        s_server->GetPointsSQL(u"VQPOINT.TAG = 'fic_200'"_s, namedValues({{"VQbatch", 0}}), nullptr)->Count(),
        1);
}

// Whatever a clause holds, nothing is written, attached, loaded or read beyond the search tables;
// and the connection below the translator refuses the same even for SQL made by hand (texts that
// look like SQL and writes made by hand are the test on both engines below).
TEST_F(PointSearchTest, NoClauseWritesAttachesLoadsOrRunsAway) {
    const qint64 before = s_server->pointCount();
    const QString deep = QString(SqlDialectParser::MaxDepth + 5, u'(') + u"VQPOINT.ZERO = 1"_s +
                         QString(SqlDialectParser::MaxDepth + 5, u')');
    QStringList wideList;
    for (int i = 0; i <= SqlDialectParser::MaxListItems; ++i) wideList << QString::number(i);
    const QString clauses[] = {
        u"VQPOINT.TAG = 'x'; DROP TABLE points"_s,
        u"VQPOINT.TAG = 'x' OR 1 = 1; DELETE FROM points --"_s,
        u"ATTACH DATABASE 'other.db' AS other"_s,
        u"VQPOINT.TAG = load_extension('libevil')"_s,
        u"users.name = 'vqadmin'"_s,
        u"VQPOINT.TAG = '"_s + QString(SqlDialectParser::MaxClauseLength, u'x') + u"'"_s,
        deep,
        QString(SqlDialectParser::MaxDepth + 5, u'-').prepend(u"VQPOINT.ZERO = "_s) + u"1"_s,
        u"VQPOINT.POINTID IN ("_s + wideList.join(u", ") + u")"_s,
        u"VQPOINT.ZERO = 1"_s + u" AND VQPOINT.SPAN > 0"_s.repeated(SqlDialectParser::MaxConditions),
        u"VQPOINT.DESCRIPTOR LIKE '"_s + u"*a"_s.repeated(20) + u"*b'"_s,
        u"VQPOINT.DESCRIPTOR LIKE '"_s + QString(300, u'a') + u"'"_s,
    };
    for (const QString& clause : clauses) {
        const Error error = raised([&] { searched(*s_server, clause); });
        EXPECT_EQ(error.number(), sdkerr::QueryInvalid) << clause.left(80).toStdString();
    }
    // Clauses at the bounds still run.
    wideList.removeLast();
    EXPECT_EQ(searched(*s_server, u"VQPOINT.POINTID IN ("_s + wideList.join(u", ") + u")"_s).size(), before);
    EXPECT_EQ(searched(*s_server, u"VQPOINT.TAG = 'fic_200'"_s + u" AND NOT VQPOINT.SPAN < -1"_s.repeated(
                                                                     SqlDialectParser::MaxConditions - 1))
                  .size(),
              1);

    SqlitePointSearch connection(s_server->path(), s_server->pointColumns());
    const std::pair<const char*, const char*> statements[] = {
        {"SELECT name, name FROM users", "reading table users"},
        {"SELECT 1, sql FROM sqlite_master", "reading table sqlite_master"},
        {"ATTACH DATABASE 'x.db' AS x", "refused"},
        {"SELECT load_extension('x'), 'x'", "calling function load_extension"},
        {"PRAGMA writable_schema = 1", "refused"},
        {"SELECT 1, readfile('/etc/passwd')", "readfile"},
        {"WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT n, 'x' FROM r", "refused"},
    };
    // Twice each: a refused statement must not be kept and then run from the statement cache.
    for (int attempt = 0; attempt < 2; ++attempt) {
        for (const auto& [sql, refusal] : statements) {
            const Error error = raised([&] {
                connection.run({QByteArray(sql), {}}, [](qint64, QStringView) {});
            });
            EXPECT_EQ(error.number(), sdkerr::QueryInvalid) << sql;
            EXPECT_TRUE(error.description().contains(QString::fromUtf8(refusal)))
                << error.description().toStdString();
        }
    }
    EXPECT_EQ(s_server->pointCount(), before);
    EXPECT_FALSE(QFile::exists(s_dir->filePath(u"other.db"_s)));
    EXPECT_FALSE(QFile::exists(u"x.db"_s));
}

constexpr const char* kEndlessClause =
    "VQcomp.Value > VQinterp.Value AND VQinterp.Time >= DATE('*-30d') AND VQinterp.TimeStep = '1h'";

TEST_P(PointSearchBackendTest, ASearchStopsWhenCancelledFromAnotherThreadOrAtItsTimeLimit) {
    ArchiveServer& searching = server();
    searching.setSearchTimeLimit(std::chrono::minutes(5));
    Error cancelled(0, QString(), QString());
    QElapsedTimer timer;
    std::thread thread([&] { cancelled = raised([&] { search(QString::fromUtf8(kEndlessClause)); }); });
    timer.start();
    // A search counts as running only once it has taken its number, so a cancel from now on
    // reaches it; no pause is needed for it to get going.
    while (!searching.isSearching() && timer.elapsed() < 10000) std::this_thread::yield();
    searching.cancelSearch();
    thread.join();
    // Cancelled, not stopped at its five-minute limit (nor by the test's timeout).
    EXPECT_EQ(cancelled.number(), sdkerr::QueryCancelled);
    EXPECT_EQ(cancelled.description(), u"The search was cancelled"_s);
    // The next search is not cancelled by the last one's request.
    EXPECT_EQ(search(u"VQPOINT.TAG = 'fic_200'"_s).size(), 1);

    searching.setSearchTimeLimit(std::chrono::milliseconds(200));
    const Error error = raised([&] { search(QString::fromUtf8(kEndlessClause)); });
    EXPECT_EQ(error.number(), sdkerr::QueryCancelled);
    EXPECT_TRUE(error.description().contains(u"time limit of 0.2 s"_s)) << error.description().toStdString();
    searching.setSearchTimeLimit(std::chrono::seconds(30));
    EXPECT_EQ(search(u"VQPOINT.TAG = 'fic_200'"_s).size(), 1);
}

// Quotes, semicolons and comments inside a literal are part of the text: the clause finds
// nothing and changes nothing. Below the translator, a statement that would write is refused.
TEST_P(PointSearchBackendTest, TextThatLooksLikeSqlIsOnlyTextAndNothingIsWritten) {
    const size_t before = storedPoints();
    for (const char* clause :
         {"VQPOINT.TAG = 'x''; DELETE FROM points; --'", "VQPOINT.DESCRIPTOR = '''; DROP TABLE points; /*'",
          "VQPOINT.TAG = 'x'' OR ''1'' = ''1'", "VQPOINT.TAG LIKE 'fic'' OR 1 = 1 --*'",
          "VQPOINT.ENGUNITS IN ('a''); DELETE FROM archive; --', '$1', '\\')",
          "VQcomp.Value = ')); TRUNCATE archive; --' AND VQpoint.Tag = VQcomp.Tag"}) {
        EXPECT_TRUE(search(QString::fromUtf8(clause)).isEmpty()) << clause;
    }
    EXPECT_EQ(storedPoints(), before);
    const char* const writes[] = {
        "DELETE FROM points", "WITH d AS (DELETE FROM points RETURNING point_id, tag_key) SELECT * FROM d"};
    for (const char* sql : writes) {
        const Error error = raised([&] { run({QByteArray(sql), {}}); });
        EXPECT_EQ(error.number(), sdkerr::QueryInvalid) << sql;
    }
    EXPECT_EQ(storedPoints(), before);
    if (GetParam() == StorageBackend::Postgres) {
        // The search's transaction is read-only, with the time limit set for it alone.
        EXPECT_EQ(run({"SELECT 1, current_setting('transaction_read_only') || ' ' || "
                       "(current_setting('statement_timeout')::interval BETWEEN '25 s' AND '30 s')::text",
                       {}})
                      .at(0)
                      .second,
                  u"on true"_s);
        const Error error = raised([&] { run({"SELECT nextval('points_point_id_seq'), 'x'", {}}); });
        EXPECT_EQ(error.number(), sdkerr::QueryInvalid) << error.description().toStdString();
    }
}

// Past its first batch a PostgreSQL search has the next one made while the sink takes the one
// before: every row comes once and in order, and a sink that fails midway leaves the engine ready.
TEST_P(PointSearchBackendTest, ASearchOfManyBatchesAnswersEveryRowInOrder) {
    if (GetParam() != StorageBackend::Postgres) GTEST_SKIP() << "one batch is all SQLite has";
    const SqlQuery query{"SELECT i, 'T' || i FROM generate_series(1, 20000) AS i ORDER BY i", {}};
    std::vector<qint64> expected(20000);
    std::iota(expected.begin(), expected.end(), 1);
    PostgresPointSearch engine(server().path(), s_server->pointColumns());
    int taken = 0;
    const auto failing = [&](qint64, QStringView) {
        if (++taken > PostgresPointSearch::BatchRows + 100) throw std::runtime_error("full");
    };
    EXPECT_THROW(engine.run(query, failing), std::runtime_error);
    std::vector<qint64> ids;
    int wrongTags = 0;
    engine.run(query, [&](qint64 id, QStringView tag) {
        ids.push_back(id);
        wrongTags += tag == u'T' + QString::number(id) ? 0 : 1;
    });
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(wrongTags, 0);
}

// Searches keep their prepared statements. One kept after a search stopped early must not hold
// the snapshot it read, or no writer could ever empty the write-ahead log again.
TEST_F(PointSearchTest, AKeptStatementHoldsNoSnapshotAfterASearchStoppedEarly) {
    SqlitePointSearch connection(s_server->path(), s_server->pointColumns());
    const SqlQuery query{"SELECT point_id, \"Tag\" FROM points ORDER BY tag_key", {}};
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_THROW(connection.run(query, [](qint64, QStringView) { throw std::runtime_error("stop"); }),
                     std::runtime_error);
        SqliteArchiveStorage::databaseOf(s_server->storage())
            .execute(u"UPDATE server_info SET value = value WHERE key = 'kind'"_s);
        auto checkpoint =
            SqliteArchiveStorage::databaseOf(s_server->storage()).prepare("PRAGMA wal_checkpoint(TRUNCATE)");
        ASSERT_TRUE(checkpoint.next());
        EXPECT_EQ(checkpoint.integer(0), 0) << "the checkpoint was blocked by a reader";
    }
}

// Completion reads the tag index from the prefix on and stops at the first tag past it; it must
// answer what a prefix search answers, cut at the count, in any letter case and past non-ASCII, on
// both engines.
TEST_P(PointSearchBackendTest, TagsStartingWithAnswerTheFirstTagsOfAPrefixSearch) {
    for (const char* prefix : {"fic", "FIC_", "Fic_1%", "fü", "FÜLL", "tank~", "s", "S0", "", "zzz-none"})
        for (int count : {0, 1, 3, 12})
            EXPECT_EQ(server().TagsStartingWith(QString::fromUtf8(prefix), count),
                      server().SdkServer::TagsStartingWith(QString::fromUtf8(prefix), count))
                << prefix << " " << count;
    EXPECT_EQ(server().TagsStartingWith(u"fÜ"_s, 12), (QStringList{u"FÜ-2"_s, u"Füll-1"_s}));
}

// The pieces under the search that carry arithmetic of their own, which the evaluator shares:
// time texts and the interpolated and summary values.
TEST(TimeText, ReadsNowTodayYesterdayOffsetsAndAbsoluteTimes) {
    const QDateTime now(QDate(2024, 3, 10), QTime(12, 0));
    const double at = double(now.toSecsSinceEpoch());
    const double midnight = double(QDate(2024, 3, 10).startOfDay().toSecsSinceEpoch());
    const std::pair<const char*, double> cases[] = {
        {"*", at},
        {"*-1h", at - 3600},
        {"*+30m", at + 1800},
        {"* - 1d + 2h", at - 86400 + 7200},
        {"-2d", at - 172800},
        {"t", midnight},
        {"Y+8h", double(QDate(2024, 3, 9).startOfDay().addSecs(8 * 3600).toSecsSinceEpoch())},
        {"2024-03-01 08:00", double(QDateTime(QDate(2024, 3, 1), QTime(8, 0)).toSecsSinceEpoch())},
        {"1-Mar-24", double(QDate(2024, 3, 1).startOfDay().toSecsSinceEpoch())},
        {"3/1/2024 8:00:30", double(QDateTime(QDate(2024, 3, 1), QTime(8, 0, 30)).toSecsSinceEpoch())},
    };
    for (const auto& [text, seconds] : cases)
        EXPECT_EQ(TimeText::seconds(QString::fromUtf8(text), now), seconds) << text;
    for (const char* bad : {"", "soon", "*-1x", "*1h", "t-", "2024-13-01"})
        EXPECT_FALSE(TimeText::seconds(QString::fromUtf8(bad), now).has_value()) << bad;

    EXPECT_TRUE(TimeText::span(u"1h30m"_s) == 5400 && TimeText::span(u" 90s "_s) == 90);
    for (const char* bad : {"0m", "-1h", "often", ""})
        EXPECT_FALSE(TimeText::span(QString::fromUtf8(bad))) << bad;
}

QString shown(const ArchiveSummary::Result& r) {
    auto text = [](const std::optional<double>& v) {
        return v ? QString::number(std::round(*v * 100) / 100) : u"-"_s;
    };
    return text(r.value) + u'/' + text(r.pctGood);
}

TEST(ArchiveSummary, InterpolatesAndSummarisesGoodValuesOnly) {
    using E = ArchiveSummary::Event;
    const E start{0, 10, 0};
    const std::vector<E> inside = {{100, 20, 0}, {200, 0, -253}, {250, 40, 0}, {260, std::nullopt, 0}};
    // Over (0, 300]: 10 for 100 s, 20 for 100 s, bad for 50 s, 40 for 10 s, then text for 40 s.
    const std::pair<ArchiveSummary::Function, const char*> cases[] = {
        {ArchiveSummary::Avg, "16.19/70"}, {ArchiveSummary::Total, "0.04/70"},
        {ArchiveSummary::Mean, "30/70"},   {ArchiveSummary::Min, "20/70"},
        {ArchiveSummary::Max, "40/70"},    {ArchiveSummary::Range, "20/70"},
        {ArchiveSummary::Std, "10/70"},
    };
    for (const auto& [function, text] : cases)
        EXPECT_EQ(shown(ArchiveSummary::summarize(function, 300, 300, start, inside)).toStdString(), text)
            << int(function);
    EXPECT_EQ(shown(ArchiveSummary::summarize(ArchiveSummary::Mean, 300, 300, std::nullopt, {})), u"-/0"_s);

    EXPECT_EQ(shown(ArchiveSummary::interpolate(50, start, E{100, 20, 0})), u"15/100"_s);
    EXPECT_EQ(shown(ArchiveSummary::interpolate(220, E{200, 0, -253}, E{250, 40, 0})), u"0/0"_s);
    EXPECT_EQ(shown(ArchiveSummary::interpolate(400, E{250, 40, 0}, std::nullopt)), u"40/100"_s);
    EXPECT_EQ(shown(ArchiveSummary::interpolate(-5, std::nullopt, start)), u"-/-"_s);
}

}  // namespace
}  // namespace vq::test
