// Writers killed with SIGKILL at many moments: after each kill the archive is sound, holds every
// write whole or not at all, with its change set in the history or neither, and the same write
// run again completes it. A bulk load (seeding) and a
// run of single writes (edit sets; an import writes each row so too) are the two kinds of write; a
// copy builds a whole archive, on either engine.
#include "ReliabilitySupport.h"

#include "archive/data/ArchiveCopy.h"
#include "archive/data/ArchiveSeeder.h"
#include "core/CsvCodec.h"
#include "archive/server/ArchiveStorageFactory.h"
#include "core/Error.h"
#include "postgres/PostgresTestServer.h"

namespace vq::test {
namespace {

constexpr int kKillsPerKind = 18;
const QString vqarchive = QStringLiteral(VQARCHIVE_BINARY), child = QStringLiteral(RELIABILITY_CHILD_BINARY);

class KilledWriteTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // A fresh copy of the template archive for one run.
    QString copyOf(const QString& from, int run) {
        const QString to = path(u"run-%1.vqa"_s.arg(run));
        EXPECT_TRUE(QFile::copy(from, to));
        return to;
    }
    // Runs attempt(run, moment) until kKillsPerKind attempts killed a running writer. The moments
    // march through a measured whole run, so that kills land before the write, inside it and in
    // its commit; they draw in when a writer ended before its kill.
    template <typename Attempt>
    static void killRepeatedly(std::chrono::microseconds whole, Attempt&& attempt,
                               int wanted = kKillsPerKind) {
        int kills = 0;
        double scale = 1.0;
        for (int run = 1; kills < wanted && run <= 3 * wanted; ++run) {
            const auto at = std::chrono::microseconds(
                qint64(double(whole.count()) * scale * (2 * kills + 1) / (2 * wanted)));
            SCOPED_TRACE(testing::Message() << "kill " << run);
            if (attempt(run, at))
                ++kills;
            else
                scale *= 0.85;
        }
        EXPECT_EQ(kills, wanted);
    }

    QTemporaryDir m_dir;
};

TEST_F(KilledWriteTest, SeedingIsStoredWholeOrNotAtAll) {
    constexpr int kPoints = 20000;
    const QString archive = path(u"template.vqa"_s);
    ArchiveServer::create(archive, u"plant"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
    const QString seed = u"seed"_s, count = QString::number(kPoints);
    const auto whole = timeToEnd(vqarchive, {seed, copyOf(archive, 0), count});

    killRepeatedly(whole, [&](int i, std::chrono::microseconds at) {
        const QString run = copyOf(archive, i);
        const bool killed = runAndKill(vqarchive, {seed, run, count}, at);
        const int stored = RawArchive(run).pointCount();
        EXPECT_EQ(RawArchive(run).integrity(), u"ok"_s);
        EXPECT_TRUE(stored == 0 || stored == kPoints) << "left " << stored << " points";
        // The run's change set stands or falls with its points.
        EXPECT_EQ(RawArchive(run).changeSets("seed"), stored ? 1 : 0);
        if (stored == 0) {
            EXPECT_EQ(runToEnd(vqarchive, {seed, run, count}), QString());
        }
        EXPECT_EQ(RawArchive(run).pointCount(), kPoints);
        // The search index was paused inside the seeding transaction: it must be back.
        EXPECT_EQ(RawArchive(run).rows("SELECT count(*) FROM tag_trigrams").value(0), count);
        QFile::remove(run);
        return killed;
    });
}

TEST_F(KilledWriteTest, EditSetsAreStoredWholeAndWritingAgainCompletesThem) {
    constexpr int kEdits = 250;
    const QString archive = path(u"template.vqa"_s);
    const EditPlan plan{20};
    makeEditArchive(archive, plan);
    const QHash<QString, QString> before = RawArchive(archive).editedAttributes();
    auto arguments = [&](const QString& file) {
        return QStringList{u"edits"_s, file, QString::number(kEdits), QString::number(plan.points)};
    };
    const auto whole = timeToEnd(child, arguments(copyOf(archive, 0)));
    // What each point holds once every edit is written: its last edit.
    QHash<QString, QString> final = before;
    for (int k = 0; k < kEdits; ++k) final[plan.tag(k)] = EditPlan::after(k);

    killRepeatedly(whole, [&](int i, std::chrono::microseconds at) {
        const QString run = copyOf(archive, i);
        const bool killed = runAndKill(child, arguments(run), at);
        RawArchive raw(run);
        EXPECT_EQ(raw.integrity(), u"ok"_s);
        // A point holds no edit or the whole of one edit set of its own.
        const QHash<QString, QString> after = raw.editedAttributes();
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            const QString now = after.value(it.key());
            const int k = now.section(u'|', 2).toInt() - EditPlan::mark(0);
            const bool whole = k >= 0 && k < kEdits && plan.tag(k) == it.key() && now == EditPlan::after(k);
            EXPECT_TRUE(now == it.value() || whole)
                << it.key().toStdString() << " holds " << now.toStdString();
        }
        // Each edit set and its change set are kept together: the points hold exactly the edits
        // the history records, in order.
        const int recorded = raw.changeSets("edit");
        QHash<QString, QString> told = before;
        for (int k = 0; k < recorded; ++k) told[plan.tag(k)] = EditPlan::after(k);
        EXPECT_TRUE(after == told) << recorded << " edit sets recorded";
        EXPECT_EQ(runToEnd(child, arguments(run)), QString());
        EXPECT_TRUE(RawArchive(run).editedAttributes() == final);
        return killed;
    });
}

// A creation with vqadmin's password killed at any moment leaves no archive, or one whose vqadmin
// has that password and that holds all it should; a left-over part never stops the next creation.
TEST_F(KilledWriteTest, CreatingWithAnAdminPasswordLeavesAWholeArchiveOrNone) {
    auto create = [&](const QString& file) {
        return QStringList{u"create"_s, file, u"plant"_s, u"--admin-password"_s, u"s3cret"_s};
    };
    const auto whole = timeToEnd(vqarchive, create(path(u"whole.vqa"_s)));
    killRepeatedly(whole, [&](int i, std::chrono::microseconds at) {
        const QString run = path(u"run-%1.vqa"_s.arg(i));
        const bool killed = runAndKill(vqarchive, create(run), at);
        if (!QFile::exists(run)) {
            EXPECT_EQ(runToEnd(vqarchive, create(run)), QString());
        }
        const RawArchive raw(run);
        EXPECT_EQ(raw.integrity(), u"ok"_s);
        EXPECT_EQ(raw.rows("SELECT length(u.hash) > 0, count(s.name) FROM users u, digital_sets s"
                           " WHERE u.name = 'vqadmin' AND s.name = 'SYSTEM'"),
                  QStringList{u"1|1"_s});
        return killed;
    });
}

// The digest of the archive at `location`, or none when nothing there opens as an archive.
std::optional<ArchiveDigest> digestAt(const QString& location) {
    try {
        return ArchiveDigest::of(*ArchiveStorageFactory::open(location));
    } catch (const Error&) {
        return std::nullopt;
    }
}

class KilledCopyTest : public KilledWriteTest, public ::testing::WithParamInterface<bool> {};
INSTANTIATE_TEST_SUITE_P(Engines, KilledCopyTest, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Postgres" : "Sqlite"); });

// Killed anywhere, a copy leaves no archive or a complete one, never one that passes for a copy
// while it lacks points, and the next copy to the same place completes it.
TEST_P(KilledCopyTest, KilledCopyLeavesNoArchiveAndTheNextCopySucceeds) {
    const QString source = path(u"source.vqa"_s), copy = u"copy"_s;
    auto server = ArchiveServer::create(source, u"plant"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
    server->Open(u"vqadmin"_s, QString());
    ArchiveSeeder::seed(*server, 3000, 2);
    const ArchiveDigest expected = *digestAt(source);
    std::vector<std::unique_ptr<TestDatabase>> databases;
    auto destination = [&](int run) {  // a new file, or a fresh database of the test server
        if (!GetParam()) return path(u"copy-%1.vqa"_s.arg(run));
        return QString::fromStdString(databases.emplace_back(std::make_unique<TestDatabase>())->uri());
    };
    const auto whole = timeToEnd(vqarchive, {copy, source, destination(0)});
    killRepeatedly(
        whole,
        [&](int i, std::chrono::microseconds at) {
            const QString to = destination(i);
            const bool killed = runAndKill(vqarchive, {copy, source, to}, at);
            if (const auto left = digestAt(to)) {
                EXPECT_TRUE(*left == expected) << "left " << left->points << " points";
            } else {
                EXPECT_EQ(runToEnd(vqarchive, {copy, source, to}), QString());
                EXPECT_TRUE(digestAt(to) == expected);
            }
            databases.clear();
            return killed;
        },
        6);
}

}  // namespace
}  // namespace vq::test
