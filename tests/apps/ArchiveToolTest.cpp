// The vqarchive commands, run in-process against real archives: files in a temporary folder, and
// archives of each storage engine for the commands that work on any archive.
#include "ArchiveToolFixture.h"
#include "archive/server/ArchiveServer.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "archive/sqlite/SqliteDatabase.h"
#include "core/ShownText.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoints.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

namespace vq::test {
namespace {

using ArchiveToolTest = ToolTest<ArchiveTest>;
using ArchiveToolBackendTest = ToolTest<BackendTest>;
VQ_ON_BOTH_BACKENDS(ArchiveToolBackendTest);

// Made, registered, seeded, shown, exported, imported, searched and copied to a file; a location
// with a password never shows it.
TEST_P(ArchiveToolBackendTest, CreateSeedShowExportImportSearchAndCopy) {
    QUrl withPassword(archivePath());
    withPassword.setPassword(u"s3cret"_s);  // the test server trusts: it is not checked
    const QString location = GetParam() == StorageBackend::Postgres ? withPassword.toString() : archivePath();
    // A location with a password is used but never registered. A superuser's connection is named.
    const Outcome created = run({"create", location, "plant"});
    ASSERT_EQ(created.code, 0) << created.err.toStdString();
    ASSERT_EQ(run({"servers", "add", "plant", archivePath(), "--default"}).code, 0);
    EXPECT_EQ(created.err.count(u"superuser"_s), GetParam() == StorageBackend::Postgres ? 1 : 0);
    const QString template1 =
        m_database ? archivePath().replace(m_database->name().c_str(), "template1") : "";
    EXPECT_EQ(run({"create", template1, "t"}).err.contains(u"is a template"_s), m_database != nullptr);
    const Outcome listed = run({"servers"});
    EXPECT_TRUE(listed.out.contains(u"plant (default)"_s)) << listed.out.toStdString();
    const Outcome seeded = run({"seed", "plant", "40"});
    ASSERT_EQ(seeded.code, 0) << seeded.err.toStdString();
    EXPECT_TRUE(seeded.out.startsWith(u"Seeded 40 points (80 archived values)"_s));

    const QString tag = run({"export", "plant", "-"}).out.section(u'\n', 1, 1).section(u',', 0, 0);
    const Outcome shown = run({"show", "plant", tag.toLower()});
    EXPECT_TRUE(shown.out.startsWith(u"Point %1 on server plant (class "_s.arg(tag)))
        << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains(u"Current value: "_s));
    // Coded values by the names the Point Builder shows; --raw gives the stored codes
    const auto coded = [&](const QStringList& more) {
        QStringList values;
        for (const auto& line : QRegularExpression(u"\\n  (?:PointType|Archiving) +(\\S+)"_s)
                                    .globalMatch(run(QStringList{"show", "plant", tag} + more).out))
            values << line.captured(1);
        return values.join(u' ');
    };
    const QString names = coded({}), codes = coded({"--raw"});
    EXPECT_TRUE(names.contains(QRegularExpression(u"^[A-Za-z]\\w* [A-Za-z]\\w*$"_s))) << names.toStdString();
    EXPECT_TRUE(codes.contains(QRegularExpression(u"^-?\\d+ -?\\d+$"_s))) << codes.toStdString();
    for (const Outcome& outcome : {created, listed, shown})
        EXPECT_FALSE(outcome.out.contains(u"s3cret"_s)) << outcome.out.toStdString();

    // An exported file imports as unchanged: values read back in their own types.
    ASSERT_EQ(run({"export", "plant", path("all.csv")}).code, 0);
    EXPECT_EQ(run({"import", "plant", path("all.csv")}).out.trimmed(),
              u"Created 0, updated 0, unchanged 40, refused 0 rows"_s);

    // Refused rows are told by line; which values the archive refuses is the point writer tests'.
    write("edit.csv", "Tag,PtClassName,PointType,Span,Descriptor\r\nNEW-1,classic,Float32,50,new point\r\n" +
                          tag.toUtf8() + ",,,,changed by import\r\nNEW-3\r\nNEW-1,totalizer,,,moved\r\n");
    const Outcome imported = run({"import", "plant", path("edit.csv")});
    EXPECT_EQ(imported.code, 1);
    EXPECT_EQ(imported.out.trimmed(), u"Created 1, updated 1, unchanged 0, refused 2 rows"_s);
    const QString editFile = path("edit.csv");
    EXPECT_EQ(imported.err.split(u'\n', Qt::SkipEmptyParts).filter(editFile),
              QStringList({editFile + u":4: NEW-3 refused: the row has 1 fields, the header has 5"_s,
                           editFile + u":5: NEW-1 refused: PtClassName: the class of an existing point "
                                      u"cannot change"_s}));
    EXPECT_TRUE(run({"show", "plant", tag}).out.contains(u"changed by import"_s));
    // A refused row writes none of its columns.
    EXPECT_TRUE(run({"show", "plant", "NEW-1"}).out.contains(u"new point"_s));

    // The search joins the tables its clause names, and says how many points it found and how fast.
    const Outcome found =
        run({"search", "plant", "VQPOINT.DESCRIPTOR LIKE '*CHANGED BY*' OR VQPOINT.TAG = 'new-1'"});
    const QStringList lines = found.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << found.out.toStdString() << found.err.toStdString();
    QStringList expected = {tag, u"NEW-1"_s};
    expected.sort(Qt::CaseInsensitive);
    EXPECT_EQ(lines.mid(0, 2), expected);
    EXPECT_TRUE(lines[2].startsWith(u"2 points in "_s) && lines[2].endsWith(u" ms"_s));
    EXPECT_TRUE(run({"search", "plant", "VQCOMP.STATUS = -9 AND VQPOINT.TAG = VQCOMP.TAG"})
                    .out.startsWith(u"No point matches"_s));

    // A copy to a file carries the same points under the same digest; nothing is copied over.
    const Outcome copied = run({"copy", "plant", path("back.vqa")});
    ASSERT_EQ(copied.code, 0) << copied.err.toStdString();
    EXPECT_TRUE(copied.out.startsWith(u"Copied 41 points (80 archived values, 1 users, 1 groups, "_s))
        << copied.out.toStdString();
    EXPECT_EQ(copied.out.section(u"digest "_s, 1).trimmed().size(), 64) << copied.out.toStdString();
    const Outcome again = run({"copy", path("back.vqa"), location});
    EXPECT_TRUE(again.code == 1 && !again.err.contains(u"s3cret"_s)) << again.err.toStdString();

    ASSERT_EQ(run({"servers", "remove", "plant"}).code, 0);
    EXPECT_TRUE(run({"servers"}).out.contains(u"(none"_s));
    EXPECT_EQ(run({"show", location, tag}).code, 0) << "the archive outlives its registration";
}

TEST_F(ArchiveToolTest, BadInputGetsAClearErrorAndWritesNothing) {
    ASSERT_EQ(run({"create", path("plant.vqa"), "plant"}).code, 0);
    const QString archive = path("plant.vqa");
    write("unknown-column.csv", "Tag,Colour\r\nA-1,red\r\n");

    // arguments, exit code, a part of the error (more in the JSON errors' table, which shows the same
    // texts)
    const std::tuple<QStringList, int, const char*> cases[] = {
        {{"show", path("missing.vqa"), "X"}, 1, "neither an archive file nor a known server"},
        {{"import", archive, path("unknown-column.csv")}, 1, "The column \"Colour\" is not an attribute"},
        {{"import", archive, path("missing.csv")}, 1, "cannot read"},
        {{"create", archive, "other"}, 1, "already exists"},
        {{"create", path("x.vqa"), "x", "--kind", "VQ9"}, 1, "Unknown server kind \"VQ9\""},
        {{"servers", "add", "ghost", path("missing.vqa")}, 1, "does not exist"},
    };
    for (const auto& [arguments, code, errorPart] : cases) {
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.code, code) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(outcome.err.contains(errorPart)) << outcome.err.toStdString();
    }
    EXPECT_EQ(run({"export", archive, "-"}).out.count(u'\n'), 1) << "only the header: nothing was written";
    EXPECT_FALSE(QFile::exists(path("x.vqa")));
}

// A database password never reaches the server list nor any message, however it is written, and
// one written on the command line is warned about.
TEST_F(ArchiveToolTest, DatabasePasswordsStaySecret) {
    const QString pg = u"postgresql://engineer"_s, at = u"@/plant?host="_s + path(u"no-socket"_s);
    // Arguments, what the error says, whether a password on the command line is warned about.
    const std::tuple<QStringList, const char*, bool> cases[] = {
        {{"servers", "add", "x", pg + ":s3cret" + at}, "no passwords", true},
        {{"servers", "add", "x", pg + at + "&pass%77ord=s3cret"}, "no passwords", true},
        {{"create", pg + at + "&sslpassword=s3cret", "p", "--register"}, "no passwords", true},
        {{"show", pg + at + "&password=s3cret", "X"}, "no-socket", true},
        {{"show", "PostgreSQL://engineer:s3cret" + at, "X"}, "No such file", true},
        {{"show", pg + ":s3cret%zz" + at, "X"}, "withheld", true},
        {{"--password", "s3cret", "show", path("none.vqa"), "X"}, "neither", true},
        {{"--password", "-", "show", path("none.vqa"), "X"}, "neither", false},
    };
    for (const auto& [arguments, said, warned] : cases) {
        const Outcome outcome = run(arguments, u"s3cret\n"_s);
        EXPECT_EQ(outcome.code, 1) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(outcome.err.contains(said)) << outcome.err.toStdString();
        EXPECT_FALSE((outcome.out + outcome.err).contains(u"s3cret"_s)) << outcome.err.toStdString();
        EXPECT_EQ(outcome.err.contains(u"warning: a password on the command line"_s), warned)
            << arguments.join(u' ').toStdString();
    }
}

// Whatever an archive or a file holds, what the tool prints carries no raw control character
// (which would move the cursor or turn the line around), and a refused long value is cut rather
// than echoed in full.
TEST_F(ArchiveToolTest, PrintedTextsAreEscapedAndLongValuesCut) {
    const QString archive = path("plant.vqa");
    auto server = ArchiveServer::create(archive, u"plant"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
    server->Open(u"vqadmin"_s, QString());
    server->Points()->Add(u"ODD-1"_s, u"classic"_s, pointtype::Float32,
                          namedValues({{"Descriptor", u"red\x1b[31m\r\nbell\a \u202e!"_s}}));
    write("long.csv", "Tag,Descriptor\r\n" + QByteArray(1000000, 'T') + ",x\r\n");
    const std::pair<QStringList, QString> cases[] = {
        {{"show", archive, "ODD-1"}, "red\\u{001b}[31m\\r\\nbell\\u{0007} \\u{202e}!"},
        {{"show", archive, "NO\x1b[2JSUCH"}, "NO\\u{001b}[2JSUCH"},
        {{"import", archive, path("long.csv")}, "... (1000000 characters in all) refused: The point \"TTT"},
    };
    for (const auto& [arguments, shown] : cases) {
        const Outcome outcome = run(arguments);
        const QString printed = outcome.out + outcome.err;
        EXPECT_TRUE(printed.contains(shown) && printed.size() < 5000) << printed.left(2000).toStdString();
        for (QChar c : printed) EXPECT_TRUE(c == u'\n' || !ShownText::isEscaped(c)) << int(c.unicode());
    }
}

TEST_P(ArchiveToolBackendTest, UsersAndPasswords) {
    const QString archive = archivePath();
    const auto lastError = [](const Outcome& outcome) { return outcome.err.trimmed().section(u'\n', -1); };
    const auto asAlice = [&](const char* password, const QStringList& arguments, const QString& input = {}) {
        return run(QStringList{"--user", "alice", "--password", password} + arguments, input);
    };
    const Outcome created = run({"create", archive, "plant"});
    ASSERT_EQ(created.code, 0) << created.err.toStdString();
    EXPECT_EQ(created.out.split(u'\n', Qt::SkipEmptyParts).value(1),
              "The user vqadmin has an empty password; set one with: vqarchive users " + archive +
                  " password vqadmin");
    EXPECT_EQ(run({"users", archive, "group", "operators"}).code, 0);
    EXPECT_EQ(run({"users", archive, "add", "alice", "operators"}, "pw one\n").out.trimmed(),
              u"Added the user \"alice\""_s);
    EXPECT_EQ(lastError(run({"users", archive, "add", "carol"}, "")),
              u"vqarchive: A password was expected on standard input; nothing was changed"_s);
    EXPECT_EQ(run({"users", archive}).out,
              u"Users of \"plant\":\n"
              u"  vqadmin  groups: vqadmin  (empty password)\n"
              u"  alice    groups: operators\n"
              u"Groups: vqadmin, operators\n"_s);

    // Only members of vqadmin manage users; everyone sets their own password.
    EXPECT_EQ(lastError(asAlice("pw one", {"users", archive, "add", "mallory"}, "x\n")),
              u"vqarchive: only members of the group vqadmin change users; \"alice\" is not one"_s);
    EXPECT_EQ(asAlice("pw one", {"users", archive, "password", "alice"}, "pw two\n").code, 0);
    EXPECT_TRUE(asAlice("pw one", {"seed", archive, "1"}).err.contains("wrong user name or password"));
    EXPECT_EQ(asAlice("pw two", {"seed", archive, "3"}).code, 0);
    EXPECT_TRUE(run({"users", archive, "remove", "alice"}).err.contains("owns 3 points"));
    EXPECT_TRUE(run({"users", archive, "remove", "vqadmin"}).err.contains("cannot be removed"));
    EXPECT_EQ(run({"users", archive, "join", "alice", "vqadmin"}).out.trimmed(),
              u"\"alice\" is in the groups vqadmin, operators"_s);
    EXPECT_EQ(asAlice("pw two", {"users", archive, "password", "vqadmin"}, "root pw\n").code, 0);
    EXPECT_TRUE(run({"seed", archive, "1"}).err.contains("wrong user name or password"));
    EXPECT_EQ(run({"--password", "-", "seed", archive, "1"}, "root pw\n").code, 0);
}

// New archives belong to their owner alone unless shared with the owner's group.
TEST_F(ArchiveToolTest, NewArchivesBelongToTheirOwnerAloneUnlessShared) {
    ASSERT_EQ(run({"create", path("plant.vqa"), "plant"}).code, 0);
    const Outcome locked = run({"create", path("locked.vqa"), "locked", "--admin-password", "s3cret"});
    EXPECT_FALSE(locked.out.contains("empty password"));
    EXPECT_EQ(run({"create", path("shared.vqa"), "shared", "--shared"}).code, 0);
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner, group = QFile::ReadGroup | QFile::WriteGroup;
    for (const auto& [name, mode] :
         {std::pair{"plant.vqa", ownerOnly}, {"locked.vqa", ownerOnly}, {"shared.vqa", ownerOnly | group}})
        EXPECT_EQ(QFile::permissions(path(name)) & ~(QFile::ReadUser | QFile::WriteUser), mode) << name;
}

TEST_F(ArchiveToolTest, DemoCreatesTheSampleServersOnce) {
    const Outcome first = run({"demo"});
    ASSERT_EQ(first.code, 0) << first.err.toStdString();
    for (const char* line :
         {"Created the sample servers vqsouth, vqnorth, vqlegacy", "vqsouth: VQ3, VQ 3.4.1, 2000 points",
          "vqnorth: VQ3, VQ 3.2.357, 800 points", "vqlegacy: VQ2, VQ 2.08, 500 points"})
        EXPECT_TRUE(first.out.contains(QString::fromUtf8(line))) << line;
    EXPECT_FALSE(first.out.contains(u"--password engineer"_s)) << "a hint shows the safe form";
    EXPECT_FALSE(run({"demo"}).out.contains(u"Created"_s));
    const QByteArray described = run({"demo", "--json"}).out.toUtf8();
    EXPECT_EQ(QJsonDocument::fromJson(described)["servers"][2]["points"].toInt(), 500)
        << described.toStdString();
    EXPECT_TRUE(run({"servers"}).out.contains(u"vqsouth (default)"_s));
}

}  // namespace
}  // namespace vq::test

// The program itself: the password of a new archive's vqadmin, set from standard input, is
// stored as Argon2id under libsodium's interactive limits (the tests use lighter ones).
TEST(ArchiveToolProcessTest, PasswordsFromStandardInputAreHashedUnderInteractiveLimits) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("plant.vqa"));
    QProcess tool;
    tool.start(QStringLiteral(VQARCHIVE_BINARY),
               QStringList{"create", file, "plant", "--admin-password", "-"});
    tool.write("first secret\nfirst secret\n");
    tool.closeWriteChannel();
    ASSERT_TRUE(tool.waitForFinished());
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    auto server = vq::ArchiveServer::openFile(file);
    auto query = vq::SqliteArchiveStorage::databaseOf(server->storage())
                     .statement("SELECT hash FROM users WHERE name = 'vqadmin'");
    ASSERT_TRUE(query.next());
    EXPECT_TRUE(query.blob(0).startsWith("$argon2id$v=19$m=65536,t=2,p=1$")) << query.blob(0).toStdString();
    server->Open(QStringLiteral("vqadmin"), QStringLiteral("first secret"));
}
