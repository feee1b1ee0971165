// A full disk, a read-only file or folder, a file that is no archive or was cut short: each write
// fails with an error that names the archive and what happened, nothing changes, reads go on where
// they can, and the program works on once the cause is gone. (A writer kept waiting past the busy
// timeout is the storage tests', on both engines.)
#include "ErrorNumber.h"
#include "ReliabilitySupport.h"
#include "TestFiles.h"

#include "archive/data/ArchiveSeeder.h"
#include "archive/data/PointCsv.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "archive/sqlite/SqliteDatabase.h"
#include "core/Error.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttribute.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPointList.h"

#include <QDir>
#include <QTextStream>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vq::test {
namespace {

// Makes a file or folder read-only for this process: by its mode, and, as modes do not stop
// root, by the immutable flag too. Undone when it goes out of scope.
class ReadOnly {
public:
    explicit ReadOnly(const QString& path) : m_path(QFile::encodeName(path)) {
        struct stat info {};
        ::stat(m_path.constData(), &info);
        m_mode = info.st_mode & 07777;
        ::chmod(m_path.constData(), m_mode & ~mode_t(0222));
        if (::geteuid() == 0) m_immutable = setImmutable(true);
    }
    ~ReadOnly() {
        if (m_immutable) setImmutable(false);
        ::chmod(m_path.constData(), m_mode);
    }
    bool works() const { return ::geteuid() != 0 || m_immutable; }

private:
    bool setImmutable(bool on) {
        const int fd = ::open(m_path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }

    QByteArray m_path;
    mode_t m_mode = 0;
    bool m_immutable = false;
};

class FaultTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    std::shared_ptr<ArchiveServer> seeded(const QString& file, int points) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        auto server = ArchiveServer::create(file, u"plant"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
        server->Open(u"vqadmin"_s, QString());
        ArchiveSeeder::seed(*server, points);
        return server;
    }
    static QByteArray bytes(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Read through the archive's own connection, as another reader would leave journal files behind.
    static QString firstClassicTag(const QString& file, std::shared_ptr<ArchiveServer> server = {}) {
        if (!server) server = ArchiveServer::open(u"plant"_s, file);
        auto query =
            SqliteArchiveStorage::databaseOf(server->storage())
                .statement(
                    "SELECT \"Tag\" FROM points WHERE class_id = (SELECT class_id FROM point_classes WHERE "
                    "name = 'classic') ORDER BY tag_key LIMIT 1");
        return query.next() ? query.text(0) : QString();
    }
    // Imports 300 new points.
    static PointCsv::ImportReport importNew(ArchiveServer& server) {
        QString csv = u"Tag,PtClassName,PointType,Span,Descriptor\n"_s;
        for (int i = 0; i < 300; ++i)
            csv += u"NEW-%1,classic,Float32,100,%2\n"_s.arg(i).arg(QString(200, u'd'));
        QTextStream in(&csv);
        return PointCsv::importPoints(server, in);
    }
    static void write(ArchiveServer& server, const QString& tag, const QString& descriptor) {
        SdkNamedValues edits, failed;
        edits.Add(u"Descriptor"_s, Variant(descriptor));
        edits.Add(u"ExDesc"_s, Variant(descriptor));
        server.Points()->Item(tag)->PointAttributes()->SetAttributes(edits, failed);
    }
    static QString descriptor(ArchiveServer& server, const QString& tag) {
        return server.Points()->Item(tag)->PointAttributes()->Item(u"Descriptor"_s)->Value().toString();
    }
    // Every kind of write against one archive: each must fail with `number`, naming the archive
    // and saying `what`, and leave the file as it was.
    void expectEveryWriteRefused(ArchiveServer& server, int32_t number, const QString& what) {
        const QString tag = firstClassicTag(server.path(), server.shared_from_this());
        const std::function<void()> writes[] = {
            [&] { ArchiveSeeder::seed(server, 3000); },
            [&] { importNew(server); },
            // Two long texts need more than a page, so that even a write into free room needs new pages.
            [&] { write(server, tag, QString(4000, u'x')); },
        };
        for (const auto& attempt : writes) {
            const Error error = raised(attempt);
            EXPECT_TRUE(error.number() == number && error.description().contains(server.path()) &&
                        error.description().contains(what))
                << error.number() << " " << error.description().toStdString();
        }
    }

    QTemporaryDir m_dir;
};

TEST_F(FaultTest, FullDiskStopsEveryWriteAndChangesNothing) {
    auto server = seeded(path(u"full.vqa"_s), 200);
    const QString tag = firstClassicTag(server->path(), server);
    SqliteDatabase& db = SqliteArchiveStorage::databaseOf(server->storage());
    // No page more than the file has: as a disk with no room left.
    db.execute(u"PRAGMA max_page_count = "_s + RawArchive(server->path()).rows("PRAGMA page_count").value(0));
    const QHash<QString, QString> before = RawArchive(server->path()).editedAttributes();

    expectEveryWriteRefused(*server, sdkerr::StorageFailed, u"is full"_s);
    const Error importError = raised([&] { importNew(*server); });
    EXPECT_TRUE(importError.description().contains(u"no row of it is stored"_s))
        << importError.description().toStdString();

    EXPECT_EQ(RawArchive(server->path()).integrity(), u"ok"_s);
    EXPECT_EQ(RawArchive(server->path()).editedAttributes(), before);
    // Reads go on, on the same connection and through a search.
    EXPECT_EQ(descriptor(*server, tag), before.value(tag).section(u'|', 0, 0));
    EXPECT_EQ(server->GetPointsSQL(u"VQPOINT.TAG = '*'"_s, {}, nullptr)->Count(), 200);
    // Room again: the same server writes on.
    db.execute(u"PRAGMA max_page_count = 1073741823"_s);
    EXPECT_EQ(importNew(*server).created, 300);
    write(*server, tag, u"after the disk was freed"_s);
    EXPECT_EQ(descriptor(*ArchiveServer::open(u"plant"_s, server->path()), tag),
              u"after the disk was freed"_s);
}

TEST_F(FaultTest, ReadOnlyFileOrFolderIsReadButNeverWritten) {
    for (const bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "read-only folder" : "read-only file");
        const QString file = path(folder ? u"locked/plant.vqa"_s : u"plant.vqa"_s);
        const QString tag = firstClassicTag(file, seeded(file, 50));  // closed: no journal files stay
        ASSERT_FALSE(QFile::exists(file + u"-wal"_s));
        const QByteArray original = bytes(file);
        {
            ReadOnly guard(folder ? QFileInfo(file).absolutePath() : file);
            if (!guard.works()) GTEST_SKIP() << "cannot make files read-only here";
            auto server = ArchiveServer::open(u"plant"_s, file);
            server->Open(u"vqadmin"_s, QString());
            EXPECT_EQ(server->Points()->Count(), 50);
            EXPECT_EQ(server->GetPointsSQL(u"VQPOINT.TAG = '*'"_s, {}, nullptr)->Count(), 50);
            const QString stored = descriptor(*server, tag);
            expectEveryWriteRefused(*server, sdkerr::ReadOnly, u"read-only"_s);
            EXPECT_EQ(descriptor(*server, tag), stored);
        }
        EXPECT_EQ(bytes(file), original);
        EXPECT_EQ(bytes(file + u"-wal"_s), QByteArray()) << "a journal holding writes";
        // Writable again: a new connection writes.
        auto server = ArchiveServer::open(u"plant"_s, file);
        server->Open(u"vqadmin"_s, QString());
        write(*server, tag, u"writable again"_s);
        EXPECT_EQ(descriptor(*server, tag), u"writable again"_s);
    }
}

TEST_F(FaultTest, FilesThatAreNoArchiveOrCutShortAreRefusedAndLeftAsTheyAre) {
    const QString good = path(u"good.vqa"_s);
    seeded(good, 3000);
    const QByteArray whole = bytes(good);
    SqliteDatabase(path(u"foreign.db"_s), SqliteDatabase::OpenMode::Create).execute(u"CREATE TABLE t(x)"_s);
    // file name, content, what the refusal says
    const std::tuple<const char*, QByteArray, const char*> cases[] = {
        {"text.vqa", QByteArray("tag,descriptor\nA,B\n").repeated(200), "is damaged or is not a VQ archive"},
        {"empty.vqa", QByteArray(), "is empty"},
        {"foreign.vqa", bytes(path(u"foreign.db"_s)), "is an SQLite database but not a VQ archive"},
        {"header-only.vqa", whole.left(100), "cut short"},
        {"one-page-less.vqa", whole.left(whole.size() - 4096), "cut short"},
    };
    for (const auto& [name, content, what] : cases) {
        SCOPED_TRACE(name);
        const QString file = path(QString::fromLatin1(name));
        writeFile(file, content);
        auto server = ArchiveServer::open(u"broken"_s, file);
        for (const std::function<void()>& use : std::initializer_list<std::function<void()>>{
                 [&] { server->Open(u"vqadmin"_s, QString()); },
                 [&] { server->Points()->Count(); },
                 [&] { server->GetPointsSQL(u"VQPOINT.TAG = '*'"_s, {}, nullptr); },
             }) {
            const Error error = raised(use);
            EXPECT_TRUE(error.number() == sdkerr::ServerUnavailable && error.description().contains(file) &&
                        error.description().contains(QString::fromLatin1(what)))
                << error.number() << " " << error.description().toStdString();
        }
        EXPECT_EQ(bytes(file), content);
        EXPECT_FALSE(QFile::exists(file + u"-wal"_s));
    }
    // The program goes on with a sound archive.
    auto server = ArchiveServer::open(u"good"_s, good);
    server->Open(u"vqadmin"_s, QString());
    EXPECT_EQ(server->Points()->Count(), 3000);
}

}  // namespace
}  // namespace vq::test
