// The change history's commands on both storages: the history through its filters as CSV, JSON
// and a table; reverts, pruning and recording with their refusals, in the order a user meets them.
#include "ArchiveToolFixture.h"
#include "core/CsvCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace vq::test {
namespace {

// "ID:TAG.Attr=before>after" per attribute change of Descriptor or Span, newest first, joined by |.
void row(const QStringList& f, QStringList& rows) {
    if (f[2] == u"Descriptor" || f[2] == u"Span")
        rows << f[0] + u':' + f[1] + u'.' + f[2] + u'=' + f[3] + u'>' + f[4];
}
QString fromCsv(QString text) {
    QTextStream in(&text);
    CsvReader reader(in);
    QStringList f, rows;
    reader.readRow(&f);  // the header
    while (reader.readRow(&f)) row({f[0], f[7], f[8], f[9], f[10]}, rows);
    return rows.join(u'|');
}
QString fromJson(const QString& text) {
    QStringList rows;
    for (const QJsonValue& set : QJsonDocument::fromJson(text.toUtf8())["changeSets"].toArray())
        for (const QJsonValue& point : set["points"].toArray())
            for (const QJsonValue& c : point["attributes"].toArray())
                row({QString::number(set["id"].toInteger()), point["tag"].toString(),
                     c["attribute"].toString(), c["before"].toString(), c["after"].toString()},
                    rows);
    return rows.join(u'|');
}
QString ids(QString rows) {
    return rows.remove(QRegularExpression(u":[^|]*"_s)).replace(u'|', u' ');
}

// Three change sets: vqadmin imports FIC-1 and FIC-2 (engineers write both, the world reads FIC-1
// only), alice imports an edit of both, vqadmin imports an edit of FIC-2.
class HistoryCommandsTest : public ToolTest<BackendTest> {
protected:
    void SetUp() override {
        ToolTest<BackendTest>::SetUp();
        ASSERT_EQ(run({"create", archivePath(), "plant"}).code +
                      run({"servers", "add", "plant", archivePath()}).code,
                  0);
        run({"users", "plant", "group", "engineers"});
        run({"users", "plant", "add", "alice", "engineers"}, "a\n");
        run({"users", "plant", "add", "bob"}, "b\n");
        write("new.csv",
              "Tag,PtClassName,Descriptor,Span,PtGroup,PtAccess\nFIC-1,classic,feed,100,engineers,o:rw g:rw "
              "w:r\nFIC-2,classic,drain,50,engineers,o:rw g:rw w:\n");
        write("edit.csv", "Tag,Descriptor,Span\nFIC-1,feed flow,100\nFIC-2,drain,60\n");
        ASSERT_EQ(run({"import", "plant", path("new.csv")}).code, 0);
        ASSERT_EQ(
            run({"--user", "alice", "--password", "-", "import", "plant", path("edit.csv")}, "a\n").code, 0);
        write("line.csv", "Tag,Descriptor\nFIC-2,drain line\n");
        ASSERT_EQ(run({"import", "plant", path("line.csv")}).code, 0);
    }
};
VQ_ON_BOTH_BACKENDS(HistoryCommandsTest);

// CSV and JSON hold the same changes through every filter; --user before the command logs on,
// after it selects the writer. The table blanks a change set's columns on its later lines.
TEST_P(HistoryCommandsTest, HistoryThroughEveryFilterAsCsvJsonAndTable) {
    const QString hourAgo = QDateTime::currentDateTimeUtc().addSecs(-3600).toString(Qt::ISODate);
    const std::pair<QStringList, const char*> cases[] = {
        {{"history", "plant", "--since", hourAgo, "--until", "*+1m"}, "3 2 2 1 1 1 1"},
        {{"history", "plant", "--since", "*+1h"}, ""},
        {{"history", "plant", "--until", "*-1h"}, ""},
        {{"history", "plant", "fic-2"}, "3 2 1 1"},
        {{"history", "plant", "--user", "ALICE"}, "2 2"},
        {{"history", "plant", "--change", "3"}, "3"},
        {{"history", "plant", "--limit", "1"}, "3"},
        {{"--user", "bob", "--password", "-", "history", "plant"}, "2 1 1"},
        {{"--user", "bob", "--password", "-", "history", "plant", "--user", "vqadmin"}, "1 1"},
    };
    for (const auto& [arguments, expected] : cases) {
        const Outcome csv = run(arguments + QStringList{"--csv"}, "b\n"),
                      json = run(arguments + QStringList{"--json"}, "b\n");
        EXPECT_EQ(ids(fromCsv(csv.out)).toStdString(), expected) << arguments.join(u' ').toStdString();
        EXPECT_EQ(fromJson(json.out), fromCsv(csv.out));
    }
    EXPECT_EQ(
        fromCsv(run({"history", "plant", "--csv"}).out),
        u"3:FIC-2.Descriptor=drain>drain line|2:FIC-1.Descriptor=feed>feed flow|2:FIC-2.Span=50>60|1:FIC-1."
        u"Descriptor=>feed|1:FIC-1.Span=>100|1:FIC-2.Descriptor=>drain|1:FIC-2.Span=>50"_s);
    const QString table = run({"history", "plant"}).out;
    EXPECT_TRUE(table.contains(
        QRegularExpression(u"\n2 +\\S+ \\S+ +alice +vqarchive +import +FIC-1 +Descriptor +feed +"
                           u"feed flow\n {30,}FIC-2 +Span +50 +60\n"_s)))
        << table.toStdString();
}

// Each command in turn, with its exit code and part of what it says.
TEST_P(HistoryCommandsTest, RevertPruneAndRecordingWithTheirRefusals) {
    updateChangeSets(u"UPDATE change_sets SET time = time - 86400000 WHERE change_id = 1"_s);
    const QString onlyAdmins = u"Only members of the group \"vqadmin\""_s;
    const std::tuple<QStringList, int, QString> rows[] = {
        {{"revert", "plant", "2"}, 1, u"FIC-1  restored\n  FIC-2  not reverted: changed since by vqadmin"_s},
        {{"revert", "plant", "2"}, 1, u"(change set 3); --force reverts it anyway\nReverted 0 of 2 points"_s},
        {{"history", "plant", "--change", "4", "--csv"}, 0, u"set 2,FIC-1,Descriptor,feed flow,feed"_s},
        {{"revert", "plant", "2", "--force", "--json"}, 0, u"\"outcome\": \"restored\""_s},
        {{"history", "plant", "--change", "5", "--csv"}, 0, u",FIC-2,Span,60,50"_s},
        {{"revert", "plant", "1"}, 1, u"FIC-1  refused: the change set created this point"_s},
        {{"--user", "bob", "--password", "-", "revert", "plant", "3"}, 1, u"\"bob\" may not read"_s},
        {{"revert", "plant", "99"}, 1, u"There is no change set 99"_s},
        {{"revert", "plant", "2x"}, 2, u"\"2x\" is not a change set number"_s},
        {{"--user", "bob", "--password", "-", "history", "plant", "--prune-before", "*"}, 1, onlyAdmins},
        {{"--user", "alice", "--password", "-", "history", "plant", "--recording", "off"}, 1, onlyAdmins},
        {{"history", "plant", "--recording", "maybe"}, 2, u"--recording takes on or off"_s},
        {{"history", "plant", "--since", "soon"}, 2, u"\"soon\" is not a time"_s},
        {{"history", "plant", "FIC-1", "--prune-before", "*"}, 2, u"Usage: "_s},
        {{"history", "plant", "--csv", "--json"}, 2, u"usage: vqarchive history"_s},
        {{"history", "plant", "--recording", "off"}, 0, u"\"plant\" are no longer recorded"_s},
        {{"revert", "plant", "3", "--force"}, 0, u"Reverted 1 of 1 points of change set 3"_s},
        {{"history", "plant", "--change", "6"}, 0, u"matches\nChanges of points on \"plant\" are not"_s},
        {{"history", "plant", "--recording", "on"}, 0, u"\"plant\" are recorded from now on"_s},
        {{"history", "plant", "--json"}, 0, u"\"recording\": true"_s},
        {{"history", "plant", "--prune-before", "*-1h"}, 0, u"Removed 1 change set older than "_s},
        {{"history", "plant", "--prune-before", "*+1m"}, 0, u"Removed 4 change sets"_s},
        {{"history", "plant"}, 0, u"No change set matches"_s},
    };
    for (const auto& [arguments, code, said] : rows) {
        const Outcome outcome = run(arguments, arguments.contains(u"bob"_s) ? "b\n" : "a\n");
        EXPECT_EQ(outcome.code, code) << arguments.join(u' ').toStdString();
        EXPECT_TRUE((outcome.out + outcome.err).contains(said)) << (outcome.out + outcome.err).toStdString();
    }
}

}  // namespace
}  // namespace vq::test
