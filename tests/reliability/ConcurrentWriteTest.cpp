// Four processes write 2,000 edit sets each into one archive at once, half of them on points all
// four share: every edit set lands whole, none is lost, and no writer is refused for the lock.
#include "ReliabilitySupport.h"

#include <iostream>
#include <memory>

namespace vq::test {
namespace {

TEST(ConcurrentWriteTest, FourWritersLoseNoEditAndAreNeverRefused) {
    constexpr int kWriters = 4, kEdits = 2000, kShared = 10, kOwn = 10;
    QTemporaryDir dir;
    const QString archive = dir.filePath(u"shared.vqa"_s);
    makeEditArchive(archive, kWriters, kShared, kOwn);
    const QHash<QString, QString> before = RawArchive(archive).editedAttributes();

    std::vector<std::unique_ptr<QProcess>> writers;
    for (int c = 0; c < kWriters; ++c) {
        writers.push_back(std::make_unique<QProcess>());
        writers.back()->start(QStringLiteral(RELIABILITY_CHILD_BINARY),
                              {u"edits"_s, archive, QString::number(c), QString::number(kEdits),
                               QString::number(kShared), QString::number(kOwn)});
    }
    // Timed from the moment all four are logged on and about to write.
    for (auto& writer : writers)
        while (!writer->canReadLine())
            ASSERT_TRUE(writer->waitForReadyRead(60000)) << writer->readAllStandardError().toStdString();
    const auto start = std::chrono::steady_clock::now();
    for (auto& writer : writers) {
        writer->waitForFinished(-1);
        const QString errors = QString::fromUtf8(writer->readAllStandardError());
        EXPECT_EQ(writer->exitCode(), 0) << errors.toStdString();
        EXPECT_FALSE(errors.contains(u"locked"_s, Qt::CaseInsensitive)) << errors.toStdString();
        EXPECT_TRUE(errors.isEmpty()) << errors.toStdString();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    RawArchive raw(archive);
    EXPECT_EQ(raw.integrity(), u"ok"_s);
    const QHash<QString, QString> after = raw.editedAttributes();
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const QStringList now = after.value(it.key()).split(u'|');
        ASSERT_EQ(now.size(), 7);
        // Each writer's location holds its own last edit of the point: none lost under the others.
        for (int c = 0; c < kWriters; ++c) {
            const EditPlan plan{c, kShared, kOwn};
            int last = -1;
            for (int k = 0; k < kEdits; ++k)
                if (plan.tag(k) == it.key()) last = k;
            const QString expected =
                last < 0 ? it.value().split(u'|')[3 + c] : QString::number(EditPlan::mark(last));
            EXPECT_EQ(now[3 + c], expected) << it.key().toStdString() << " writer " << c;
        }
        // The three texts come from one edit set, the newest one stored.
        EXPECT_EQ(now[0], now[1]) << it.key().toStdString();
        if (now[0].isEmpty()) continue;
        const int client = now[0].section(u' ', 0, 0).mid(1).toInt();
        const int k = now[0].section(u' ', 1, 1).mid(1).toInt();
        EXPECT_EQ(now[2], u"c%1"_s.arg(client)) << it.key().toStdString();
        EXPECT_EQ(now[3 + client], QString::number(EditPlan::mark(k))) << it.key().toStdString();
    }
    const double rate = kWriters * kEdits / seconds;
    std::cout << "[reliability] concurrent: " << kWriters << " writers x " << kEdits << " edit sets in "
              << seconds << " s = " << int(rate) << " edits/s\n";
    ::testing::Test::RecordProperty("edits_per_second", int(rate));
}

}  // namespace
}  // namespace vq::test
