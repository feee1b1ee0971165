// The change history's commands on both storages: the history as a table, CSV and JSON with its
// filters, reverts with their stale refusal and --force, pruning and recording with their rights.
#include "ArchiveToolFixture.h"
#include "archive/data/CsvCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vq::test {
namespace {

const QStringList kShownAttributes = {u"Descriptor"_s, u"Span"_s};

// Change sets as "ID:user/program/kind:TAG.Attr=before>after,...", newest first, joined by
// blanks; only the attributes in kShownAttributes.
QString condensedCsv(const QString& csv) {
    QString text = csv;
    QTextStream in(&text);
    CsvReader reader(in);
    QStringList row, sets, changes;
    QString head;
    reader.readRow(&row);  // the header
    auto close = [&] {
        if (!head.isEmpty()) sets << head + changes.join(u',');
        changes.clear();
    };
    while (reader.readRow(&row)) {
        const QString thisHead = row[0] + u':' + row[2] + u'/' + row[3] + u'/' + row[5] + u':';
        if (thisHead != head) close(), head = thisHead;
        if (kShownAttributes.contains(row[8]))
            changes << row[7] + u'.' + row[8] + u'=' + row[9] + u'>' + row[10];
    }
    close();
    return sets.join(u' ');
}

QString condensedJson(const QString& json) {
    QStringList sets;
    for (const QJsonValue& set : QJsonDocument::fromJson(json.toUtf8())["changeSets"].toArray()) {
        QStringList changes;
        for (const QJsonValue& point : set["points"].toArray())
            for (const QJsonValue& change : point["attributes"].toArray())
                if (kShownAttributes.contains(change["attribute"].toString()))
                    changes << point["tag"].toString() + u'.' + change["attribute"].toString() + u'=' +
                                   change["before"].toString() + u'>' + change["after"].toString();
        sets << u"%1:%2/%3/%4:"_s.arg(set["id"].toInteger())
                        .arg(set["user"].toString(), set["program"].toString(), set["kind"].toString()) +
                    changes.join(u',');
    }
    return sets.join(u' ');
}

// An archive of three change sets: vqadmin imports FIC-1 and FIC-2 (engineers may write them, the
// world may read FIC-1 only), alice imports an edit of both, and vqadmin edits FIC-2 through the
// library as the program "histtest".
class HistoryCommandsTest : public ToolTest<BackendTest> {
protected:
    void SetUp() override {
        ToolTest<BackendTest>::SetUp();
        ASSERT_EQ(run({"create", archivePath(), "plant"}).code, 0);
        ASSERT_EQ(run({"servers", "add", "plant", archivePath(), "--default"}).code, 0);
        run({"users", "plant", "group", "engineers"});
        run({"users", "plant", "add", "alice", "engineers"}, "a\n");
        run({"users", "plant", "add", "bob"}, "b\n");
        write("create.csv",
              "Tag,PtClassName,Descriptor,Span,PtGroup,PtAccess\nFIC-1,classic,feed,100,engineers,o:rw g:rw "
              "w:r\nFIC-2,classic,drain,50,engineers,o:rw g:rw w:\n");
        write("edit.csv", "Tag,Descriptor,Span\nFIC-1,feed flow,100\nFIC-2,drain,60\n");
        ASSERT_EQ(run({"import", "plant", path("create.csv")}).code, 0);
        ASSERT_EQ(as("alice", {"import", "plant", path("edit.csv")}).code, 0);
        auto server = logOn();
        server->setProgramName(u"histtest"_s);
        SdkNamedValues failed;
        server->Points()
            ->Item(u"FIC-2"_s)
            ->PointAttributes()
            ->SetAttributes(namedValues({{"Descriptor", "drain line"}}), failed);
    }
    Outcome as(const char* user, const QStringList& arguments) {
        return run(QStringList{"--user", user, "--password", "-"} + arguments,
                   QString::fromLatin1(user).left(1));
    }
    QString values() {
        QStringList shown;
        for (const char* tag : {"FIC-1", "FIC-2"})
            shown << QString::fromStdString(pointValues(stored(QString::fromLatin1(tag)), kShownAttributes));
        return shown.join(u", "_s);
    }
};
VQ_ON_BOTH_BACKENDS(HistoryCommandsTest);

const char* const kAll =
    "3:vqadmin/histtest/edit:FIC-2.Descriptor=drain>drain line "
    "2:alice/vqarchive/import:FIC-1.Descriptor=feed>feed flow,FIC-2.Span=50>60 "
    "1:vqadmin/vqarchive/"
    "import:FIC-1.Descriptor=>feed,FIC-1.Span=>100,FIC-2.Descriptor=>drain,FIC-2.Span=>50";

// CSV and JSON hold the same change sets for every filter; the table shows each CSV row.
TEST_P(HistoryCommandsTest, HistoryAsTableCsvAndJsonThroughEveryFilter) {
    const QString hourAgo = QDateTime::currentDateTimeUtc().addSecs(-3600).toString(Qt::ISODate);
    const std::pair<QStringList, const char*> cases[] = {
        {{"history", "plant"}, kAll},
        {{"history", "plant", "--since", hourAgo, "--until", "*+1m"}, kAll},
        {{"history", "plant", "--since", "*+1h"}, ""},
        {{"history", "plant", "--until", "*-1h"}, ""},
        {{"history", "plant", "fic-1"},
         "2:alice/vqarchive/import:FIC-1.Descriptor=feed>feed flow "
         "1:vqadmin/vqarchive/import:FIC-1.Descriptor=>feed,FIC-1.Span=>100"},
        {{"history", "plant", "--user", "ALICE"},
         "2:alice/vqarchive/import:FIC-1.Descriptor=feed>feed flow,FIC-2.Span=50>60"},
        {{"history", "plant", "--change", "3"}, "3:vqadmin/histtest/edit:FIC-2.Descriptor=drain>drain line"},
        {{"history", "plant", "--limit", "1"}, "3:vqadmin/histtest/edit:FIC-2.Descriptor=drain>drain line"},
        // bob may read FIC-1 only; --user before the command logs on, after it selects the writer
        {{"--user", "bob", "--password", "-", "history", "plant"},
         "2:alice/vqarchive/import:FIC-1.Descriptor=feed>feed flow "
         "1:vqadmin/vqarchive/import:FIC-1.Descriptor=>feed,FIC-1.Span=>100"},
        {{"--user", "bob", "--password", "-", "history", "plant", "--user", "vqadmin"},
         "1:vqadmin/vqarchive/import:FIC-1.Descriptor=>feed,FIC-1.Span=>100"},
    };
    for (const auto& [arguments, expected] : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const Outcome csv = run(arguments + QStringList{"--csv"}, "b\n"),
                      json = run(arguments + QStringList{"--json"}, "b\n");
        ASSERT_EQ(csv.code + json.code, 0) << csv.err.toStdString() << json.err.toStdString();
        EXPECT_EQ(condensedCsv(csv.out).toStdString(), expected);
        EXPECT_EQ(condensedJson(json.out), condensedCsv(csv.out));
        EXPECT_TRUE(QJsonDocument::fromJson(json.out.toUtf8())["recording"].toBool());
    }
    const QStringList table = run({"history", "plant"}).out.split(u'\n', Qt::SkipEmptyParts);
    const QStringList rows = run({"history", "plant", "--csv"}).out.split(u"\r\n"_s, Qt::SkipEmptyParts);
    ASSERT_EQ(table.size(), rows.size() + 1);
    EXPECT_EQ(table.front().simplified(), u"Change Time User Program Kind Tag Attribute Before After"_s);
    EXPECT_EQ(table.back(), u"3 change sets"_s);
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QStringList fields = rows[i].split(u',');
        EXPECT_TRUE(table[i].simplified().endsWith(QStringList(fields.mid(7)).join(u' ').simplified()))
            << table[i].toStdString();
        EXPECT_EQ(table[i].startsWith(fields[0] + u' '), rows[i - 1].section(u',', 0, 0) != fields[0])
            << "a change set's later rows leave its columns blank: " << table[i].toStdString();
    }
}

// A revert puts back the values before a change set as a change set of its own; a point changed
// since is refused naming who changed it and when, unless --force; the exit code says whether
// every point went back.
TEST_P(HistoryCommandsTest, RevertRefusesStalePointsUnlessForced) {
    struct Row {
        QStringList arguments;
        int code;
        QString said;  // in the output or the error
        const char* values;
    };
    const Row rows[] = {
        {{"revert", "plant", "2"},
         1,
         u"  FIC-1  restored\n  FIC-2  not reverted: changed since by vqadmin at "_s,
         "Descriptor=feed Span=100, Descriptor=drain line Span=60"},
        {{"revert", "plant", "2"},
         1,
         u"(change set 3); --force reverts it anyway\nReverted 0 of 2 points"_s,
         ""},
        {{"revert", "plant", "2", "--force", "--json"},
         0,
         u"\"outcome\": \"restored\""_s,
         "Descriptor=feed Span=100, Descriptor=drain line Span=50"},
        {{"revert", "plant", "1"}, 1, u"FIC-1  refused: the change set created this point"_s, ""},
        {{"--user", "bob", "--password", "-", "revert", "plant", "3"},
         1,
         u"FIC-2  refused: the user \"bob\" may not read this point"_s,
         ""},
        {{"revert", "plant", "99"}, 1, u"vqarchive: There is no change set 99"_s, ""},
        {{"revert", "plant", "2x"}, 2, u"\"2x\" is not a change set number"_s, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments.join(u' ').toStdString());
        const Outcome outcome = run(row.arguments, "b\n");
        EXPECT_EQ(outcome.code, row.code) << outcome.err.toStdString();
        EXPECT_TRUE((outcome.out + outcome.err).contains(row.said))
            << (outcome.out + outcome.err).toStdString();
        if (*row.values) {
            EXPECT_EQ(values().toStdString(), row.values);
        }
    }
    EXPECT_EQ(condensedCsv(run({"history", "plant", "--limit", "2", "--csv"}).out).toStdString(),
              "5:vqadmin/vqarchive/revert:FIC-2.Span=60>50 4:vqadmin/vqarchive/revert:FIC-1.Descriptor=feed "
              "flow>feed");
    EXPECT_TRUE(
        run({"history", "plant", "--change", "5", "--csv"}).out.contains(u",reverts change set 2,"_s));
}

// Pruning and switching the recording are for vqadmin members; malformed requests are usage errors.
TEST_P(HistoryCommandsTest, PruneAndRecordingForAdministratorsOnly) {
    const QString refused = u"Only members of the group \"vqadmin\""_s;
    const std::tuple<QStringList, int, QString> rows[] = {
        {{"--user", "bob", "--password", "-", "history", "plant", "--prune-before", "*"}, 1, refused},
        {{"--user", "alice", "--password", "-", "history", "plant", "--recording", "off"}, 1, refused},
        {{"history", "plant", "--recording", "maybe"}, 2, u"--recording takes on or off"_s},
        {{"history", "plant", "--since", "soon"}, 2, u"\"soon\" is not a time"_s},
        {{"history", "plant", "--change", "three"}, 2, u"\"three\" is not a change set number"_s},
        {{"history", "plant", "--limit", "0"}, 2, u"\"0\" is not a number of change sets"_s},
        {{"history", "plant", "FIC-1", "--prune-before", "*"}, 2, u"Usage: "_s},
        {{"history", "plant", "--csv", "--json"}, 2, u"usage: vqarchive history"_s},
        {{"history", "plant", "--recording", "off"},
         0,
         u"Changes of points on \"plant\" are no longer recorded"_s},
    };
    for (const auto& [arguments, code, said] : rows) {
        const Outcome outcome = run(arguments, arguments.contains(u"bob"_s) ? "b\n" : "a\n");
        EXPECT_EQ(outcome.code, code) << arguments.join(u' ').toStdString();
        EXPECT_TRUE((outcome.out + outcome.err).contains(said)) << (outcome.out + outcome.err).toStdString();
    }
    write("more.csv", "Tag,Descriptor\nFIC-1,unrecorded\n");
    ASSERT_EQ(run({"import", "plant", path("more.csv")}).code, 0);
    EXPECT_TRUE(run({"history", "plant"})
                    .out.endsWith(u"3 change sets\nChanges of points on \"plant\" are not recorded\n"_s));
    EXPECT_FALSE(
        QJsonDocument::fromJson(run({"history", "plant", "--json"}).out.toUtf8())["recording"].toBool());
    EXPECT_EQ(run({"history", "plant", "--recording", "on"}).code, 0);

    executeSql(u"UPDATE change_sets SET time = time - 86400000 WHERE change_id = 1"_s);
    EXPECT_TRUE(run({"history", "plant", "--prune-before", "*-1h"})
                    .out.startsWith(u"Removed 1 change sets older than "_s));
    EXPECT_EQ(condensedCsv(run({"history", "plant", "--csv"}).out),
              QString::fromLatin1(kAll).section(u" 1:"_s, 0, 0));
    EXPECT_TRUE(
        run({"history", "plant", "--prune-before", "*+1m"}).out.startsWith(u"Removed 2 change sets"_s));
    EXPECT_EQ(run({"history", "plant"}).out, u"No change set matches\n"_s);
}

}  // namespace
}  // namespace vq::test
