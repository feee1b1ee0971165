#pragma once

#include "EditPlan.h"
#include "QtPrinters.h"
#include "archive/server/ArchiveServer.h"
#include "sdk/SdkPoints.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <functional>
#include <thread>

namespace vq::test {

using namespace Qt::Literals::StringLiterals;

// What the checks read straight from the file, beside the library that wrote it.
class RawArchive {
public:
    explicit RawArchive(const QString& path) {
        sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
    }
    ~RawArchive() { sqlite3_close(m_db); }
    RawArchive(const RawArchive&) = delete;
    RawArchive& operator=(const RawArchive&) = delete;

    // The rows of a query, each row's columns joined by '|'.
    QStringList rows(const char* sql) const {
        QStringList rows;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK)
            return {u"error: "_s + QString::fromUtf8(sqlite3_errmsg(m_db))};
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            QStringList columns;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                columns << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)));
            rows << columns.join(u'|');
        }
        if (rc != SQLITE_DONE) rows << u"error: "_s + QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(stmt);
        return rows;
    }
    QString integrity() const { return rows("PRAGMA integrity_check").join(u'\n'); }
    int pointCount() const { return rows("SELECT count(*) FROM points").value(0).toInt(); }
    // Change sets of a kind, those waiting to join the indexed table included.
    int changeSets(const char* kind) const {
        const QString sql =
            u"SELECT (SELECT count(*) FROM change_sets WHERE kind = '%1')"
            u" + (SELECT count(*) FROM recent_change_sets WHERE kind = '%1')"_s.arg(QLatin1String(kind));
        return rows(sql.toUtf8().constData()).value(0).toInt();
    }
    // Tag -> what EditPlan::after shows.
    QHash<QString, QString> editedAttributes() const {
        QHash<QString, QString> points;
        for (const QString& row :
             rows("SELECT \"Tag\", \"Descriptor\", \"ExDesc\", \"Location1\" FROM points"))
            points.insert(row.section(u'|', 0, 0), row.section(u'|', 1));
        return points;
    }

private:
    sqlite3* m_db = nullptr;
};

// Runs a program to its end; its standard error on failure.
inline QString runToEnd(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    // A program that never started fails too: waitForFinished says so.
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QString::fromUtf8(process.readAllStandardError()) + u" (exit "_s +
               QString::number(process.exitCode()) + u')';
    return {};
}

// Starts the program and sends it SIGKILL `delay` after its start, unless it ended before;
// true when the kill hit a running process.
inline bool runAndKill(const QString& program, const QStringList& args, std::chrono::microseconds delay) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForStarted()) return false;
    // The moment of the kill is what the test varies, so this wait is the point, not a guess.
    std::this_thread::sleep_for(delay);
    process.kill();
    process.waitForFinished(-1);
    return process.exitStatus() == QProcess::CrashExit;
}

inline std::chrono::microseconds timeToEnd(const QString& program, const QStringList& args) {
    const auto start = std::chrono::steady_clock::now();
    const QString problem = runToEnd(program, args);
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
}

// A new archive with the classic points of the plan.
inline void makeEditArchive(const QString& path, const EditPlan& plan) {
    auto server = ArchiveServer::create(path, u"plant"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
    server->Open(u"vqadmin"_s, QString());
    for (int i = 0; i < plan.points; ++i) server->Points()->Add(plan.tag(i), u"classic"_s, 12, {});
}

}  // namespace vq::test
