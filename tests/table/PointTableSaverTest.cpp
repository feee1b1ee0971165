#include "table/PointTableSaver.h"

#include "archive/data/PointCsv.h"
#include "archive/server/ArchiveApplication.h"
#include "archive/server/ArchiveServer.h"
#include "archive/sqlite/SqliteDatabase.h"
#include "model/PropSheetEntries.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttribute.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPoints.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vq {
namespace {

using namespace Qt::Literals::StringLiterals;
using Outcome = PointTableRowResult::Outcome;

QString tagOf(int row) {
    return u"U1-TI-%1"_s.arg(row, 4, 10, QChar(u'0'));
}

// An archive of `points` temperatures owned by "engineer", who edits them, but for the rows in
// `foreign`, owned by vqadmin, whose access string lets others only read them.
class PointTableSaverTest : public ::testing::Test {
protected:
    static constexpr int points = 1000;
    const std::vector<int> foreign = {17, 640};

    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ArchiveApplication::install(m_dir.filePath(u"servers.json"_s));
        auto admin =
            ArchiveServer::create(m_dir.filePath(u"plant.vqa"_s), u"plant"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
        admin->Open(u"vqadmin"_s, QString());
        admin->addUser(u"engineer"_s, u"pw"_s, {});
        QString csv = u"Tag,PtClassName,EngUnits,PtOwner\n"_s;
        for (int row = 0; row < points; ++row)
            csv += u"%1,classic,degC,%2\n"_s.arg(
                tagOf(row), std::count(foreign.begin(), foreign.end(), row) ? u"vqadmin"_s : u"engineer"_s);
        QTextStream in(&csv);
        ASSERT_TRUE(PointCsv::importPoints(*admin, in).refused.empty());
    }
    void TearDown() override { SdkApplication::reset(); }

    std::shared_ptr<ArchiveServer> connect(const QString& user = u"vqadmin"_s) const {
        auto server = ArchiveServer::open(u"plant"_s, m_dir.filePath(u"plant.vqa"_s));
        server->Open(user, user == u"vqadmin" ? QString() : u"pw"_s);
        return server;
    }
    // Every point read through one connection of the engineer's, its EngUnits set to `units`.
    void loadAndEdit(const QString& units) {
        const auto server = connect(u"engineer"_s);
        for (int row = 0; row < points; ++row) {
            m_rows.push_back(std::make_unique<PropSheetEntries>());
            m_rows.back()->AddAttributesForPoint(server->Points()->Item(tagOf(row)));
            m_rows.back()->SetValue(u"EngUnits"_s, Variant(units));
        }
    }
    std::vector<PropSheetEntries*> rows() const {
        std::vector<PropSheetEntries*> raw;
        for (const auto& row : m_rows) raw.push_back(row.get());
        return raw;
    }
    // "row:result/edits" of the rows whose outcome is not `usual`; who changed a point, not when.
    std::string unusual(const std::vector<PointTableRowResult>& results, Outcome usual) const {
        QStringList parts;
        for (size_t row = 0; row < results.size(); ++row)
            if (results[row].outcome != usual)
                parts << u"%1:%2/%3"_s.arg(row).arg(results[row].text().section(u" at "_s, 0, 0),
                                                    m_rows[row]->GetEdits()->toText());
        return parts.join(u" | "_s).toStdString();
    }
    // "degF*996 degC*4": the stored EngUnits, counted, as a new connection reads them.
    std::string storedUnits() const {
        std::map<QString, int> counts;
        const auto server = connect();
        for (int row = 0; row < points; ++row)
            ++counts[server->Points()
                         ->Item(tagOf(row))
                         ->PointAttributes()
                         ->Item(u"EngUnits"_s)
                         ->Value()
                         .toString()];
        QStringList parts;
        for (const auto& [units, count] : counts) parts << u"%1*%2"_s.arg(units).arg(count);
        return parts.join(u' ').toStdString();
    }

    // Another engineer's connection writes one attribute of a point.
    void writeElsewhere(int row, const QString& name, const QString& value) const {
        SdkNamedValues edit, failed;
        edit.Add(name, Variant(value));
        connect()->Points()->Item(tagOf(row))->PointAttributes()->SetAttributes(edit, failed);
    }

    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<PropSheetEntries>> m_rows;
};

// A thousand points where two belong to someone else, one value cannot be stored and one point
// was written by another connection after it was read: 996 saved, and those four keep their
// edits for another try. Undo then puts back all but a point changed again since.
TEST_F(PointTableSaverTest, SavesAThousandPointsWithAResultEachAndUndoesAllButOneChangedSince) {
    loadAndEdit(u"degF"_s);
    m_rows[333]->SetValue(u"CompMax"_s, Variant(u"1e12"_s));
    writeElsewhere(500, u"Descriptor"_s, u"night shift"_s);
    PointTableSaveRecord record;
    PointTableSaveSummary summary;
    const auto saved = PointTableSaver::save(rows(), {}, record, &summary);
    EXPECT_EQ(summary.text(), u"996 saved, 3 refused, 1 changed meanwhile"_s);
    EXPECT_EQ(unusual(saved, Outcome::Saved),
              "17:Refused: EngUnits/EngUnits=degF | 333:Refused: CompMax/CompMax=1e12 EngUnits=degF | "
              "500:Changed meanwhile: The point \"U1-TI-0500\" was changed by vqadmin/EngUnits=degF | "
              "640:Refused: EngUnits/EngUnits=degF");
    EXPECT_EQ(storedUnits(), "degC*4 degF*996");

    // Another connection changes a saved point again; undo leaves it alone
    writeElsewhere(9, u"EngUnits"_s, u"K"_s);
    PointTableUndoSummary undone;
    const auto restored = PointTableSaver::undo(record, points, &undone);
    EXPECT_EQ(undone.text(), u"995 put back, 1 changed again since"_s);
    EXPECT_EQ(unusual(restored, Outcome::Restored),
              "9:Not put back: changed since by vqadmin/ | 17:/EngUnits=degF | "
              "333:/CompMax=1e12 EngUnits=degF | 500:/EngUnits=degF | 640:/EngUnits=degF");
    EXPECT_EQ(undone.leftAlone.size(), 1);
    EXPECT_EQ(storedUnits(), "K*1 degC*999");
}

// Stopped after 250 points, the save keeps what it wrote, undoably, and reaches no further; an
// invalid value and a row without entries are not written.
TEST_F(PointTableSaverTest, AStoppedSaveKeepsWhatItWroteForUndoAndReachesNoFurther) {
    loadAndEdit(u"degF"_s);
    m_rows[3]->SetValue(u"Span"_s, Variant(u"0"_s));
    std::vector<PropSheetEntries*> list = rows();
    list.push_back(nullptr);
    PointTableSaveRecord record;
    PointTableSaveSummary summary;
    const auto saved = PointTableSaver::save(
        list, [](int done, int total) { return done < 250 && total == points; }, record, &summary);
    EXPECT_EQ(summary.text(), u"248 saved, 2 refused, 750 not saved (stopped)"_s);
    EXPECT_EQ(saved[3].text() + saved[17].text() + saved[250].text() + saved[points].text(),
              u"Refused: SpanRefused: EngUnitsNot saved (stopped)"_s);
    EXPECT_EQ(storedUnits(), "degC*752 degF*248");
    PointTableUndoSummary undone;
    PointTableSaver::undo(record, int(list.size()), &undone);
    EXPECT_EQ(undone.text(), u"248 put back"_s);
    EXPECT_EQ(storedUnits(), "degC*1000");
}

// A commit the archive fails stores none of its points: their rows are refused with its reason
// and keep their edits, so that once the archive takes writes again a second save stores them.
TEST_F(PointTableSaverTest, ACommitThatFailsRefusesItsRowsAndKeepsTheirEditsForTheNextSave) {
    loadAndEdit(u"degF"_s);
    const auto onChangeSets = [&](const char* sql) {
        for (const char* table : {"change_sets", "recent_change_sets"})
            SqliteDatabase(m_dir.filePath(u"plant.vqa"_s), SqliteDatabase::OpenMode::Existing)
                .execute(QString::fromUtf8(sql).arg(QLatin1String(table)));
    };
    onChangeSets("CREATE TRIGGER full_%1 BEFORE INSERT ON %1 BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    PointTableSaveRecord record;
    PointTableSaveSummary summary;
    const auto failed = PointTableSaver::save(rows(), {}, record, &summary);
    EXPECT_EQ(summary.text(), u"0 saved, 1000 refused"_s);
    EXPECT_TRUE(failed[0].reason.contains(u"disk full"_s)) << failed[0].reason.toStdString();
    EXPECT_EQ(m_rows[0]->GetEdits()->toText() + m_rows[0]->GetBeforeEdits()->toText(),
              u"EngUnits=degFEngUnits=degC"_s);
    EXPECT_TRUE(record.isEmpty());
    EXPECT_EQ(storedUnits(), "degC*1000");
    onChangeSets("DROP TRIGGER full_%1");
    const auto again = PointTableSaver::save(rows(), {}, record, &summary);
    EXPECT_EQ(summary.text(), u"998 saved, 2 refused"_s) << again[0].reason.toStdString();
    EXPECT_EQ(storedUnits(), "degC*2 degF*998");
}

}  // namespace
}  // namespace vq
