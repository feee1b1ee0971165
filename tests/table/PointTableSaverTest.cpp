#include "table/PointTableSaver.h"

#include "QtPrinters.h"
#include "archive/data/PointCsv.h"
#include "archive/server/ArchiveApplication.h"
#include "archive/server/ArchiveServer.h"
#include "archive/sqlite/SqliteDatabase.h"
#include "model/PropSheetEntries.h"
#include "sdk/SdkApplication.h"
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

// A thousand temperatures in degC, owned by "engineer" but for rows 17 and 640, whose owner's
// access string lets others only read them; each read through the engineer's connection and
// set to degF.
class PointTableSaverTest : public ::testing::Test {
protected:
    static constexpr int points = 1000;

    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ArchiveApplication::install(m_dir.filePath(u"servers.json"_s));
        auto admin =
            ArchiveServer::create(m_dir.filePath(u"plant.vqa"_s), u"plant"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
        admin->Open(u"vqadmin"_s, QString());
        admin->addUser(u"engineer"_s, u"pw"_s, {});
        QString csv = u"Tag,EngUnits,PtOwner\n"_s;
        for (int row = 0; row < points; ++row)
            csv += u"%1,degC,%2\n"_s.arg(tagOf(row), row == 17 || row == 640 ? u"vqadmin"_s : u"engineer"_s);
        QTextStream in(&csv);
        ASSERT_TRUE(PointCsv::importPoints(*admin, in).refused.empty());
        const SdkPointsPtr stored = connect(u"engineer"_s)->Points();
        for (int row = 0; row < points; ++row) {
            m_entries.push_back(std::make_unique<PropSheetEntries>());
            m_entries.back()->AddAttributesForPoint(stored->Item(tagOf(row)));
            m_entries.back()->SetValue(u"EngUnits"_s, Variant(u"degF"_s));
            m_rows.push_back(m_entries.back().get());
        }
    }
    void TearDown() override { SdkApplication::reset(); }

    std::shared_ptr<ArchiveServer> connect(const QString& user = u"vqadmin"_s) const {
        auto server = ArchiveServer::open(u"plant"_s, m_dir.filePath(u"plant.vqa"_s));
        server->Open(user, user == u"vqadmin" ? QString() : u"pw"_s);
        return server;
    }
    std::vector<PointTableRowResult> save(const PointTableSaver::Progress& progress = {}) {
        return PointTableSaver::save(m_rows, progress, m_record, &m_saved);
    }
    // "row:result/edits" of the rows whose outcome is not `usual`; who changed a point, not when.
    std::string unusual(const std::vector<PointTableRowResult>& results, Outcome usual) const {
        QStringList parts;
        for (size_t row = 0; row < results.size(); ++row)
            if (results[row].outcome != usual)
                parts << u"%1:%2/%3"_s.arg(row).arg(results[row].text().section(u" at "_s, 0, 0),
                                                    m_entries[row]->GetEdits()->toText());
        return parts.join(u" | "_s).toStdString();
    }
    // "degC*4 degF*996": the stored EngUnits, counted, as a new connection reads them.
    std::string storedUnits() const {
        std::map<QString, int> counts;
        const SdkPointsPtr stored = connect()->Points();
        for (int row = 0; row < points; ++row)
            ++counts[stored->Item(tagOf(row))->PointAttributes()->Item(u"EngUnits"_s)->Value().toString()];
        QStringList parts;
        for (const auto& [units, count] : counts) parts << u"%1*%2"_s.arg(units).arg(count);
        return parts.join(u' ').toStdString();
    }
    // Another engineer's connection writes points: "Tag,Descriptor\nU1-TI-0500,night shift".
    void writeElsewhere(QString csv) const {
        QTextStream in(&csv);
        ASSERT_TRUE(PointCsv::importPoints(*connect(), in).refused.empty());
    }

    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<PropSheetEntries>> m_entries;
    std::vector<PropSheetEntries*> m_rows;
    PointTableSaveRecord m_record;
    PointTableSaveSummary m_saved;
    PointTableUndoSummary m_undone;
};

// A thousand points where two belong to someone else, one value cannot be stored and one point
// was written by another connection after it was read: 996 saved, and those four keep their
// edits for another try. Undo then puts back all but a point changed again since.
TEST_F(PointTableSaverTest, SavesAThousandPointsWithAResultEachAndUndoesAllButOneChangedSince) {
    m_rows[333]->SetValue(u"CompMax"_s, Variant(u"1e12"_s));
    writeElsewhere(u"Tag,Descriptor\nU1-TI-0500,night shift\n"_s);
    const auto saved = save();
    EXPECT_EQ(m_saved.text(), u"996 saved, 3 refused, 1 changed meanwhile"_s);
    EXPECT_EQ(unusual(saved, Outcome::Saved),
              "17:Refused: EngUnits/EngUnits=degF | 333:Refused: CompMax/CompMax=1e12 EngUnits=degF | "
              "500:Changed meanwhile: The point \"U1-TI-0500\" was changed by vqadmin/EngUnits=degF | "
              "640:Refused: EngUnits/EngUnits=degF");
    EXPECT_EQ(storedUnits(), "degC*4 degF*996");
    EXPECT_EQ(m_record.servers.at(0).changeSets.size(), 1u);

    // Another connection changes a saved point again; undo leaves it alone
    writeElsewhere(u"Tag,EngUnits\nU1-TI-0009,K\n"_s);
    const auto restored = PointTableSaver::undo(m_record, points, &m_undone);
    EXPECT_EQ(m_undone.text(), u"995 put back, 1 changed again since"_s);
    EXPECT_EQ(unusual(restored, Outcome::Restored),
              "9:Not put back: changed since by vqadmin/ | 17:/EngUnits=degF | "
              "333:/CompMax=1e12 EngUnits=degF | 500:/EngUnits=degF | 640:/EngUnits=degF");
    EXPECT_EQ(m_undone.leftAlone.size(), 1);
    EXPECT_EQ(storedUnits(), "K*1 degC*999");
}

// A commit the archive fails stores none of its points: they are refused with its reason and
// keep their edits. Saved again once the archive takes writes, and stopped after 250 points, the
// save keeps what it wrote, undoably, and reaches no further. An invalid value is never written.
TEST_F(PointTableSaverTest, AFailedCommitKeepsTheEditsAndAStoppedSaveKeepsWhatItWrote) {
    const auto onChangeSets = [&](const char* sql) {
        for (const char* table : {"change_sets", "recent_change_sets"})
            SqliteDatabase(m_dir.filePath(u"plant.vqa"_s), SqliteDatabase::OpenMode::Existing)
                .execute(QString::fromUtf8(sql).arg(QLatin1String(table)));
    };
    onChangeSets("CREATE TRIGGER full_%1 BEFORE INSERT ON %1 BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    m_rows[3]->SetValue(u"Span"_s, Variant(u"0"_s));
    m_rows.push_back(nullptr);
    auto saved = save();
    EXPECT_EQ(m_saved.text() + u": "_s + saved[0].reason.section(u": "_s, -1),
              u"0 saved, 1000 refused: disk full"_s);
    EXPECT_EQ(m_entries[0]->GetEdits()->toText() + m_entries[0]->GetBeforeEdits()->toText(),
              u"EngUnits=degFEngUnits=degC"_s);
    EXPECT_TRUE(m_record.isEmpty());
    onChangeSets("DROP TRIGGER full_%1");
    saved = save([](int done, int total) { return done < 250 && total == points; });
    EXPECT_EQ(m_saved.text(), u"248 saved, 2 refused, 750 not saved (stopped)"_s);
    EXPECT_EQ(QStringList({saved[3].text(), saved[3].reason, saved[17].text(), saved[250].text(),
                           saved[points].text()}),
              QStringList({u"Refused: Span"_s, u"invalid values are not written"_s, u"Refused: EngUnits"_s,
                           u"Not saved (stopped)"_s, QString()}));
    EXPECT_EQ(storedUnits(), "degC*752 degF*248");
    PointTableSaver::undo(m_record, points + 1, &m_undone);
    EXPECT_EQ(m_undone.text() + QString::fromStdString(storedUnits()), u"248 put backdegC*1000"_s);
}

}  // namespace
}  // namespace vq
