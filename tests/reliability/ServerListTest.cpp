// The server list file shared by programs that change it at once: every write merges its one
// change into the list as the file holds it then, so no entry is lost; the file stays in its
// format and is the user's alone.
#include "ReliabilitySupport.h"
#include "TestFiles.h"

#include "archive/server/ArchiveServers.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace vq::test {
namespace {

constexpr int kRounds = 200;

// This program and a child each add kRounds servers, both from the child's start on. The list
// was written by hand, readable by all: its entry reads the same after, and the file is private.
TEST(ServerList, TwoProgramsAddingServersAtOnceLoseNoEntry) {
    // In memory where the system has such a folder: every write syncs to disk, which takes longer
    // than the merging this test is about.
    QTemporaryDir dir(QFileInfo(u"/dev/shm"_s).isWritable() ? u"/dev/shm/vq-serverlist-XXXXXX"_s
                                                            : QDir::tempPath() + u"/vq-serverlist-XXXXXX"_s);
    const QString registry = dir.filePath(u"servers.json"_s);
    const QString archive = dir.filePath(u"plant.vqa"_s);
    ArchiveServer::create(archive, u"plant"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
    writeFile(registry, R"({"servers": [{"name": "old", "location": "plant.vqa", "default": true}]})");
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    QFile::setPermissions(registry, ownerOnly | QFile::ReadGroup | QFile::ReadOther);

    QProcess child;
    child.start(QStringLiteral(RELIABILITY_CHILD_BINARY),
                {u"servers"_s, registry, archive, u"child"_s, QString::number(kRounds)});
    ASSERT_TRUE(child.waitForReadyRead(10000)) << child.readAllStandardError().toStdString();
    ArchiveServers list{ServerRegistry(registry)};
    for (int i = 0; i < kRounds; ++i) list.Add(u"parent%1"_s.arg(i), archive, false);
    ASSERT_TRUE(child.waitForFinished(30000));
    ASSERT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();

    const std::vector<ServerEntry> entries = ServerRegistry(registry).load();
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front(), (ServerEntry{u"old"_s, u"plant.vqa"_s, true}));
    QSet<QString> missing;
    for (int i = 0; i < kRounds; ++i) missing << u"parent%1"_s.arg(i) << u"child%1"_s.arg(i);
    for (const ServerEntry& entry : entries) missing.remove(entry.name);
    EXPECT_EQ(missing.size(), 0) << "e.g. " << missing.values().value(0).toStdString();
    EXPECT_EQ(entries.size(), size_t(2 * kRounds + 1));
    EXPECT_EQ(QFile::permissions(registry), ownerOnly);
}

}  // namespace
}  // namespace vq::test
