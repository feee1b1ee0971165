#pragma once

#include "ErrorNumber.h"
#include "archive/server/ArchiveServer.h"
#include "archive/sqlite/SqliteDatabase.h"
#include "core/Error.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttribute.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPoints.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "postgres/PostgresTestServer.h"

#include <string>

namespace vq::test {

using namespace Qt::Literals::StringLiterals;

inline SdkNamedValues namedValues(std::initializer_list<std::pair<const char*, Variant>> pairs) {
    SdkNamedValues values;
    for (const auto& [name, value] : pairs) values.Add(QString::fromUtf8(name), value);
    return values;
}

// "Name=value:Type ..." of the named attributes, in the order asked for; without the types if not `typed`.
inline std::string typedValues(SdkPointAttributes& attributes, const QStringList& names, bool typed = true) {
    QStringList parts;
    for (const QString& name : names) {
        const Variant value = attributes.Item(name)->Value();
        parts << name + u'=' + value.toString() + (typed ? u':' + value.typeName() : QString());
    }
    return parts.join(u' ').toStdString();
}

// "Name=value ..." of the named attributes of a point, freshly read from its archive.
inline std::string pointValues(const SdkPointPtr& point, const QStringList& names) {
    SdkPointAttributesPtr attributes = point->PointAttributes();
    attributes->LoadAll();
    return typedValues(*attributes, names, false);
}

// The refused attribute names, sorted, so the order the checks run in does not matter.
inline std::string refusedNames(const SdkNamedValues& failed) {
    QStringList names;
    for (const SdkNamedValue& pair : failed) names << pair.Name();
    names.sort(Qt::CaseInsensitive);
    return names.join(u' ').toStdString();
}

// Where a test's archive lives: an SQLite file in a temporary folder, or a fresh database on the
// test's PostgreSQL server (VQ_TEST_POSTGRES_URI).
enum class StorageBackend { Sqlite, Postgres };

inline void PrintTo(StorageBackend backend, std::ostream* out) {
    *out << (backend == StorageBackend::Sqlite ? "SQLite" : "PostgreSQL");
}

inline std::string backendName(const ::testing::TestParamInfo<StorageBackend>& info) {
    return info.param == StorageBackend::Sqlite ? "Sqlite" : "Postgres";
}

// A fresh archive in a temporary folder or database; every server object opened on it is a new
// connection, so what a test reads back really went through the storage.
class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        if (backend() == StorageBackend::Postgres) m_database = std::make_unique<TestDatabase>();
    }

    virtual StorageBackend backend() const { return StorageBackend::Sqlite; }

    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // The archive's location: its file, or its database's URI.
    QString archivePath() const {
        return m_database ? QString::fromStdString(m_database->uri()) : filePath(u"plant.vqa"_s);
    }

    void createArchive(const QString& kind = u"VQ3"_s, const QString& version = u"VQ 3.4.1"_s) {
        ArchiveServer::create(archivePath(), u"plant"_s, kind, version);
    }
    std::shared_ptr<ArchiveServer> reopen() const { return ArchiveServer::open(u"plant"_s, archivePath()); }
    // The point as a new connection reads it from the file.
    SdkPointPtr stored(const QString& tag) const { return reopen()->Points()->Item(tag); }
    std::shared_ptr<ArchiveServer> logOn(const QString& user = u"vqadmin"_s,
                                         const QString& password = QString()) const {
        auto server = reopen();
        server->Open(user, password);
        return server;
    }

    // A further archive location of the test's engine: a file named after `name`, or another
    // fresh database.
    QString otherLocation(const QString& name) {
        if (backend() == StorageBackend::Sqlite) return filePath(name + u".vqa"_s);
        m_otherDatabases.push_back(std::make_unique<TestDatabase>());
        return QString::fromStdString(m_otherDatabases.back()->uri());
    }

    // Runs SQL on the archive beneath its server, for what no server call does (back-dating,
    // planting old data); the statements used are the same on both engines.
    void executeSql(const QString& sql) const {
        m_database ? PgConnection(archivePath()).execScript(sql.toUtf8())
                   : SqliteDatabase(archivePath(), SqliteDatabase::OpenMode::Existing).execute(sql);
    }
    // Runs an UPDATE of the table change_sets; on SQLite also of the table where the newest change
    // sets wait before they join it.
    void updateChangeSets(const QString& sql) const {
        executeSql(sql);
        if (!m_database) executeSql(QString(sql).replace(u"change_sets"_s, u"recent_change_sets"_s));
    }
    // Bytes written as an SQL literal of the archive's engine.
    QString blobLiteral(const QByteArray& bytes) const {
        const QString hex = QString::fromLatin1(bytes.toHex());
        return m_database ? u"'\\x"_s + hex + u"'::bytea"_s : u"X'"_s + hex + u'\'';
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TestDatabase> m_database;
    std::vector<std::unique_ptr<TestDatabase>> m_otherDatabases;
};

// An archive test run once per storage engine.
class BackendTest : public ArchiveTest, public ::testing::WithParamInterface<StorageBackend> {
protected:
    StorageBackend backend() const override { return GetParam(); }
};

#define VQ_ON_BOTH_BACKENDS(suite) \
    INSTANTIATE_TEST_SUITE_P(      \
        Backends, suite, ::testing::Values(StorageBackend::Sqlite, StorageBackend::Postgres), backendName)

}  // namespace vq::test
