// vqarchive for scripts and for readers of its manual: --json documents checked against the text
// the same command prints, JSON errors with their numbers, and the help, man page and completion
// written from the one table of commands.
#include "ArchiveToolFixture.h"
#include "ArchiveToolHelp.h"
#include "core/Variant.h"
#include "sdk/SdkErrors.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <functional>

namespace vq::test {
namespace {

using ArchiveToolJsonTest = ToolTest<BackendTest>;
VQ_ON_BOTH_BACKENDS(ArchiveToolJsonTest);
using ArchiveToolHelpTest = ToolTest<ArchiveTest>;

QJsonObject parsed(const QString& text) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError)
        << error.errorString().toStdString() << text.toStdString();
    EXPECT_TRUE(document.isObject()) << text.toStdString();
    return document.object();
}

// A value as the text output writes it: dates and numbers in the archive's own format.
QString textOf(const QJsonValue& value) {
    if (value.isDouble()) return Variant::formatDouble(value.toDouble(), false);
    const QDateTime time = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
    return time.isValid() ? Variant(time).toString() : value.toString();
}

QStringList textsOf(const QJsonValue& array) {
    QStringList texts;
    for (const QJsonValue& value : array.toArray()) texts << textOf(value);
    return texts;
}

// The lines of a text output with runs of blanks made one, and timings cut off.
QStringList linesOf(const QString& text) {
    static const QRegularExpression timing(u" (in [0-9.]+ ms|\\([0-9.]+ ms\\))$"_s);
    QStringList lines;
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
        lines << line.simplified().remove(timing);
    return lines;
}

QStringList showLines(const QJsonObject& point) {
    QStringList lines{u"Point %1 on server %2 (class %3, type %4, id %5)"_s.arg(
        point["tag"].toString(), point["server"].toString(), point["class"].toString(), textOf(point["type"]),
        textOf(point["id"]))};
    const QJsonObject attributes = point["attributes"].toObject();
    for (auto it = attributes.begin(); it != attributes.end(); ++it)
        lines << (it.key() + u' ' + textOf(it.value())).simplified();
    const QJsonObject current = point["current"].toObject();
    lines << u"Current value: %1 (status %2) at %3 UTC"_s.arg(
        textOf(current["value"]), textOf(current["status"]), textOf(current["time"]));
    return lines;
}

QStringList usersLines(const QJsonObject& users) {
    QStringList lines{u"Users of \"%1\":"_s.arg(users["server"].toString())};
    for (const QJsonValue& user : users["users"].toArray())
        lines << u"%1 groups: %2%3"_s.arg(
            user["name"].toString(), textsOf(user["groups"]).join(u", "_s),
            user["emptyPassword"].toBool() ? u" (empty password)"_s : QString());
    return lines << u"Groups: "_s + textsOf(users["groups"]).join(u", "_s);
}

QStringList serversLines(const QJsonObject& servers) {
    QStringList lines{u"Servers in "_s + servers["registry"].toString() + u':'};
    for (const QJsonValue& server : servers["servers"].toArray())
        lines << u"%1%2 %3"_s.arg(server["name"].toString(),
                                  server["default"].toBool() ? u" (default)"_s : QString(),
                                  server["location"].toString());
    return lines;
}

QStringList searchLines(const QJsonObject& found) {
    return textsOf(found["tags"]) << u"%1 points"_s.arg(found["count"].toInt());
}

// Every command that prints data, with --json in front or behind: its document, written out as
// the text output writes it, gives the text the command prints without --json.
TEST_P(ArchiveToolJsonTest, EveryDataCommandPrintsOneDocumentHoldingWhatItsTextSays) {
    ASSERT_EQ(run({"create", archivePath(), "plant", "--register", "--default"}).code, 0);
    const Outcome seeded = run({"--json", "seed", "plant", "6"});
    ASSERT_EQ(seeded.code, 0) << seeded.err.toStdString();
    EXPECT_EQ(parsed(seeded.out)["points"].toInt(), 6) << "one document, without the progress lines";
    const QString tag = run({"export", "plant", "-"}).out.section(u'\n', 1, 1).section(u',', 0, 0);
    ASSERT_EQ(run({"export", "plant", path("all.csv")}).code, 0);
    const QString unchanged = u"Created %1, updated %2, unchanged %3, refused %4 rows"_s;

    const std::pair<QStringList, std::function<QStringList(const QJsonObject&)>> cases[] = {
        {{"servers"}, serversLines},
        {{"show", "plant", tag}, showLines},
        {{"show", "plant", tag, "--raw"}, showLines},
        {{"search", "plant", "VQPOINT.TAG LIKE '*'"}, searchLines},
        {{"search", "plant", "VQPOINT.TAG = 'none'"},
         [](auto&) { return QStringList{u"No point matches"_s}; }},
        {{"users", "plant"}, usersLines},
        {{"import", "plant", path("all.csv")},
         [&](const QJsonObject& report) {
             return QStringList{unchanged.arg(report["created"].toInt())
                                    .arg(report["updated"].toInt())
                                    .arg(report["unchanged"].toInt())
                                    .arg(report["refused"].toArray().size())};
         }},
        {{"export", "plant", path("again.csv")},
         [](const QJsonObject& report) {
             return QStringList{
                 u"Exported %1 points to %2"_s.arg(report["points"].toInt()).arg(report["file"].toString())};
         }},
    };
    for (const auto& [arguments, written] : cases) {
        // --json before the command or after its arguments, by turns
        const QStringList withJson =
            arguments.size() % 2 ? arguments + QStringList{"--json"} : QStringList{"--json"} + arguments;
        const Outcome text = run(arguments), json = run(withJson);
        ASSERT_EQ(json.code, 0) << json.err.toStdString();
        // A superuser's connection is noted, as in the text output.
        EXPECT_TRUE(json.err.isEmpty() || !parsed(json.err).contains(u"error"_s)) << json.err.toStdString();
        QStringList fromJson = written(parsed(json.out)), fromText = linesOf(text.out);
        fromJson.sort();
        fromText.sort();
        EXPECT_EQ(fromJson, fromText) << arguments.join(u' ').toStdString() << '\n' << json.out.toStdString();
    }

    // A copy tells the digest both archives share.
    const QJsonObject copied = parsed(run({"copy", "plant", path("back.vqa"), "--json"}).out);
    EXPECT_EQ(copied["points"].toInt(), 6);
    EXPECT_TRUE(run({"copy", "plant", path("back2.vqa")}).out.contains(copied["digest"].toString()));
}

// An error is one JSON document on standard error with the library's error number, warnings go
// into it as notes, and nothing else is printed; exit codes stay those of the text output.
TEST_F(ArchiveToolHelpTest, JsonErrorsCarryTheErrorNumber) {
    const QString archive = path("plant.vqa");
    ASSERT_EQ(run({"create", archive, "plant"}).code, 0);
    write("refused.csv", "Tag,PtClassName\r\nNEW-1,nosuchclass\r\n");
    // arguments, exit code, error number, part of the description
    const std::tuple<QStringList, int, int32_t, const char*> cases[] = {
        {{"show", archive, "NO-SUCH"}, 1, sdkerr::PointUnknown, "There is no point \"NO-SUCH\""},
        {{"--password", "guess", "seed", archive, "1"},
         1,
         sdkerr::LogonFailed,
         "wrong user name or password"},
        {{"import", archive, path("missing.csv")}, 1, 1, "cannot read"},
        {{"import", archive, path("refused.csv")}, 1, 1, "1 rows refused"},
        {{"seed", archive, "many"}, 2, 2, "\"many\" is not a number of points"},
        {{"show", archive}, 2, 2, "usage: vqarchive show ARCHIVE TAG [--raw]"},
        {{"export", archive, "-"}, 2, 2, "usage: vqarchive export"},
        {{"frobnicate"}, 2, 2, "unknown command \"frobnicate\""},
        {{"help", "frobnicate"}, 2, 2, "there is no command \"frobnicate\""},
    };
    for (const auto& [arguments, code, number, description] : cases) {
        const Outcome outcome = run(QStringList{"--json"} + arguments);
        const QJsonObject error = parsed(outcome.err)["error"].toObject();
        EXPECT_EQ(outcome.code, code) << arguments.join(u' ').toStdString();
        EXPECT_EQ(error["number"].toInt(), number) << outcome.err.toStdString();
        EXPECT_TRUE(error["description"].toString().contains(description)) << outcome.err.toStdString();
        EXPECT_EQ(outcome.out.isEmpty(), !arguments.contains(path("refused.csv")))
            << outcome.out.toStdString();
    }
    const Outcome refused = run({"--json", "import", archive, path("refused.csv")});
    EXPECT_EQ(parsed(refused.out)["refused"].toArray().at(0)["line"].toInt(), 2);
    const Outcome warned = run({"--json", "--password", "guess", "seed", archive, "1"});
    EXPECT_TRUE(parsed(warned.err)["notes"].toArray().at(0).toString().contains(u"warning: a password"_s));
}

// `help COMMAND` and `COMMAND --help` give the same text for every command run() knows, with
// its forms, options, example and exit codes; the overview lists every form.
TEST_F(ArchiveToolHelpTest, EveryCommandHasItsHelp) {
    QStringList described;
    for (const CommandHelp& command : commandHelps()) described << command.name;
    QStringList dispatched = ArchiveTool::commandNames();
    described.sort();
    dispatched.sort();
    EXPECT_EQ(described.join(u' ').toStdString(), dispatched.join(u' ').toStdString());
    const Outcome overview = run({"help"});
    EXPECT_EQ(overview.code, 0);
    for (const CommandHelp& command : commandHelps()) {
        const Outcome asked = run({"help", command.name}), flagged = run({command.name, "--help"});
        EXPECT_EQ(asked.code + flagged.code, 0) << flagged.err.toStdString();
        EXPECT_EQ(asked.out, flagged.out);
        EXPECT_TRUE(asked.out.startsWith(u"Usage: vqarchive "_s + command.name)) << asked.out.toStdString();
        for (const QString& part : {u"\nExample:\n  vqarchive "_s, u"\n  2  a usage error"_s})
            EXPECT_TRUE(asked.out.contains(part)) << command.name.toStdString();
        for (const CommandOption& option : command.options) EXPECT_TRUE(asked.out.contains(option.name));
        EXPECT_EQ(asked.out.contains(u"--json"_s), !command.json.isEmpty()) << command.name.toStdString();
        for (const CommandForm& form : command.forms)
            EXPECT_TRUE(overview.out.contains(u"  "_s + form.synopsis.section(u' ', 0, 1)))
                << form.synopsis.toStdString();
    }
}

QString fileText(const char* path) {
    QFile file(QString::fromUtf8(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return QString::fromUtf8(file.readAll());
}

QString roff(QString text) {
    return text.replace(u'-', u"\\-"_s);
}

// What a bash user gets on Tab after `words` (the last one is being typed).
QString completed(const QStringList& words) {
    QTemporaryDir empty;
    QProcess bash;
    bash.setWorkingDirectory(empty.path());
    bash.start(u"bash"_s,
               QStringList{u"-c"_s,
                           u"source \"$0\"; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); _vqarchive; "
                           u"echo \"${COMPREPLY[*]}\""_s,
                           QString::fromUtf8(VQARCHIVE_COMPLETION)} +
                   words);
    EXPECT_TRUE(bash.waitForFinished());
    return QString::fromUtf8(bash.readAllStandardOutput()).trimmed();
}

// The man page and the completion the build wrote name every command's forms and options; the
// page renders without a warning, and Tab completes commands, actions and options.
TEST(ArchiveToolManPageTest, ManPageAndCompletionCoverEveryCommand) {
    const QString page = fileText(VQARCHIVE_MAN_PAGE), completion = fileText(VQARCHIVE_COMPLETION);
    for (const CommandHelp& command : commandHelps()) {
        for (const CommandForm& form : command.forms)
            EXPECT_TRUE(page.contains(u".B "_s + roff(form.synopsis)));
        const QString line =
            completion.section(u"        "_s + command.name + u") words=\""_s, 1).section(u'"', 0, 0);
        EXPECT_TRUE(line.contains(u"--help"_s)) << command.name.toStdString();
        for (const CommandOption& option : command.options) {
            EXPECT_TRUE(page.contains(roff(option.name))) << option.name.toStdString();
            EXPECT_TRUE(line.split(u' ').contains(option.name)) << option.name.toStdString();
        }
    }
    ASSERT_FALSE(QStandardPaths::findExecutable(u"groff"_s).isEmpty()) << "install groff-base (make deps)";
    QProcess groff;
    groff.start(u"groff"_s,
                {u"-man"_s, u"-Tutf8"_s, u"-P-cbou"_s, u"-ww"_s, QString::fromUtf8(VQARCHIVE_MAN_PAGE)});
    ASSERT_TRUE(groff.waitForFinished());
    EXPECT_EQ(groff.exitCode(), 0);
    EXPECT_EQ(groff.readAllStandardError(), QByteArray());
    EXPECT_TRUE(groff.readAllStandardOutput().contains("EXIT STATUS"));

    const std::pair<QStringList, const char*> cases[] = {
        {{"vqarchive", "sh"}, "show"},
        {{"vqarchive", "--registry", "r.json", "se"}, "seed search servers"},
        {{"vqarchive", "show", "--r"}, "--raw"},
        {{"vqarchive", "servers", "re"}, "remove"},
        {{"vqarchive", "help", "us"}, "users"},
        {{"vqarchive", "create", "x.vqa", "--kind", "V"}, ""},
        {{"vqarchive", "create", "x.vqa", "x", "--ad"}, "--admin-password"},
    };
    for (const auto& [words, expected] : cases)
        EXPECT_EQ(completed(words), expected) << words.join(u' ').toStdString();
}

}  // namespace
}  // namespace vq::test
