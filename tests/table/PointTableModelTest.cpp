#include "SampleServers.h"

#include "archive/server/ArchiveServer.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttribute.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkPoints.h"
#include "table/PointTableRows.h"

#include <QSignalSpy>
#include <QTextStream>

#include <numeric>

namespace vq::test {

// The point table's model over the sample server's points (mixed classes and point types).
class PointTableModelTest : public SampleServersTest {
protected:
    void SetUp() override {
        SampleServersTest::SetUp();
        server = connect(u"vqsouth"_s);
        points = server->GetPointsSQL(u"1=1"_s, SdkNamedValues(), nullptr);
        model = std::make_unique<PointTableModel>();
    }

    // The first `count` points of the sample server, or the first numeric ones.
    void addRows(int count, bool numericOnly = false) {
        SdkPointList some;
        for (int i = 1; some.Count() < count; ++i)
            if (!numericOnly || pointtype::isNumeric(points->Item(i)->PointType())) some.AddItem(*points, i);
        model->addPoints(some);
    }
    QModelIndex cell(int row, const QString& name) const { return model->index(row, model->columnOf(name)); }
    QString text(int row, const QString& name) const { return model->data(cell(row, name)).toString(); }
    int state(int row, const QString& name) const {
        return model->data(cell(row, name), PointTableModel::CellStateRole).toInt();
    }
    // "text" with "*" for an edited cell and "!" for an invalid one.
    std::string shown(int row, const QString& name) const {
        const int bits = state(row, name);
        return text(row, name).toStdString() + (bits & PointTableModel::Edited ? "*" : "") +
               (bits & PointTableModel::Invalid ? "!" : "");
    }
    QModelIndexList block(const std::vector<int>& rows, const QStringList& attributes) const {
        QModelIndexList cells;
        for (int row : rows)
            for (const QString& attribute : attributes) cells << cell(row, attribute);
        return cells;
    }
    // A column's texts, row by row, each up to its first colon.
    std::string column(int at) const {
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->data(model->index(row, at)).toString().section(u':', 0, 0);
        return texts.join(u'|').toStdString();
    }
    static std::vector<int> range(int top, int bottom) {
        std::vector<int> rows(size_t(bottom - top + 1));
        std::iota(rows.begin(), rows.end(), top);
        return rows;
    }
    static std::string counted(const PointTableEditReport& report) {
        return QString::asprintf("set=%d invalid=%d skipped=%d", report.set, report.invalid, report.skipped)
            .toStdString();
    }

    SdkServerPtr server;
    SdkPointListPtr points;
    std::unique_ptr<PointTableModel> model;
};

// Rows without entries are formatted and judged by a prototype of their class; they must look
// exactly as the point's own property sheet would, list names and twin units included.
TEST_F(PointTableModelTest, UneditedRowsShowTheTextsAndStatesOfTheirOwnEntries) {
    const QStringList columns =
        PointTableModel::defaultColumns() + QStringList{u"Archiving"_s, u"Step"_s,     u"DataOwner"_s,
                                                        u"Location1"_s, u"Function"_s, u"PtClassName"_s};
    model->setColumns(columns);
    addRows(points->Count());
    ASSERT_EQ(model->loadRows(points->Count()), 0);
    QStringList mismatches;
    for (int row = 0; row < model->rowCount(); ++row) {
        PropSheetEntries own;
        own.AddAttributesForPoint(model->pointAt(row));
        for (const QString& attribute : QStringList{u"Tag"_s} + columns) {
            const PropSheetEntryPtr entry = own.find(attribute);
            const QString expected = entry ? entry->GetDisplayValue() : QString();
            // The table renames points: its tag column is open although the sheet locks it.
            const bool locked =
                entry && (entry->IsSystemAttribute() || (entry->GetReadOnly() && attribute != u"Tag"_s));
            const int bits = entry ? (locked ? PointTableModel::ReadOnly : 0) : PointTableModel::Unavailable;
            if (text(row, attribute) != expected || state(row, attribute) != bits)
                mismatches << u"%1 %2 '%3'"_s.arg(row).arg(attribute, text(row, attribute));
        }
    }
    EXPECT_EQ(mismatches.mid(0, 5).join(u"; "_s).toStdString(), "") << mismatches.size() << " cells differ";
    // The column chooser's groups: the sheet's categories over every class of the rows.
    QStringList groups;
    for (const auto& [category, attributes] : model->columnGroups())
        groups << category + u':' + attributes.first();
    EXPECT_EQ(groups.join(u' ').toStdString(),
              "Overview:Tag Display:DisplayDigits System:ChangeDate Archive:Archiving Security:DataAccess "
              "Classic:Convers Totalizer:Clamp Alarm:Action1");
}

// Reads happen when a row is first shown or loaded in slices; new columns are read again.
TEST_F(PointTableModelTest, RowsAreReadWhenShownOrInSlicesAndAgainForANewColumn) {
    addRows(50);
    EXPECT_EQ(model->addPoint(points->Item(3)), false) << "a point already in the table";
    SdkPointList twice;
    for (int position : {60, 60, 3}) twice.AddItem(*points, position);
    QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted);
    EXPECT_EQ(model->addPoints(twice), 1);
    EXPECT_EQ(inserted.value(0).value(2).toInt(), 50) << "one row announced";
    EXPECT_EQ(model->unloadedRows(), 51);
    EXPECT_FALSE(text(7, u"Descriptor"_s).isEmpty());
    EXPECT_EQ(model->unloadedRows(), 50);
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    EXPECT_EQ(model->loadRows(10), 40);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][1].toModelIndex().row() - changed[0][0].toModelIndex().row(), 10);
    QSignalSpy pending(model.get(), &PointTableModel::pendingChanged);
    model->entriesAt(12)->SetValue(u"Descriptor"_s, Variant(u"through the sheet"_s));
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed[1][0].toModelIndex().row() * 10 + pending.count(), 121)
        << "an edit through the row's entries";
    model->setColumns(PointTableModel::defaultColumns() << u"InstrumentTag"_s);
    EXPECT_EQ(model->unloadedRows(), 50) << "all but the row with entries, which it reads instead";
    EXPECT_EQ(text(0, u"InstrumentTag"_s), model->entriesAt(0)->find(u"InstrumentTag"_s)->GetDisplayValue());
}

// Text becomes the value an editor would hand over: a list name in any case or a list value,
// a number with the twin unit the cell shows, else the text itself; invalid text is kept, red.
TEST_F(PointTableModelTest, TypedTextBecomesTheValueTheEditorsWouldHandOver) {
    model->setColumns({u"Archiving"_s, u"Step"_s, u"DataOwner"_s, u"CompDev"_s, u"Span"_s, u"PointType"_s});
    addRows(3);
    const struct {
        QString attribute, typed;
        std::string takenAndShown;
    } cases[] = {
        {u"Archiving"_s, u"off"_s, "1 Off*"},
        {u"Step"_s, u"1"_s, "1 On*"},
        {u"DataOwner"_s, u"ENGINEER"_s, "1 engineer*"},
        {u"CompDev"_s, u"2  % of Span"_s, "1 2  % of Span*"},
        {u"Span"_s, u"abc"_s, "1 abc*!"},
        {u"PointType"_s, u"Int32"_s, "0 Float32"},
        {u"Tag"_s, u"B01-NEW"_s, "1 B01-NEW*"},
    };
    for (const auto& c : cases) {
        const bool taken = model->setCellText(cell(0, c.attribute), c.typed);
        EXPECT_EQ(std::to_string(taken) + " " + shown(0, c.attribute), c.takenAndShown);
    }
}

TEST(PointTableTabSeparated, ReadsAndWritesBlocksAsSpreadsheetsCopyThem) {
    const struct {
        QString text;
        std::vector<QStringList> rows;
        QString written;  // as copy() writes the rows back
    } cases[] = {
        {u""_s, {}, u""_s},
        {u"\n"_s, {{u""_s}}, u"\n"_s},
        {u"a\t\n\nb\n"_s, {{u"a"_s, u""_s}, {u""_s}, {u"b"_s}}, u"a\t\n\nb\n"_s},
        {u"\"x\r\ny\tz\"\tw\r\n"_s, {{u"x\r\ny\tz"_s, u"w"_s}}, u"\"x\r\ny\tz\"\tw\n"_s},
        {u"a\"b\t\"c\"d\n"_s, {{u"a\"b"_s, u"cd"_s}}, u"\"a\"\"b\"\tcd\n"_s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseTabSeparated(c.text), c.rows) << c.text.toStdString();
        EXPECT_EQ(tabSeparated(c.rows), c.written) << c.text.toStdString();
    }
}

// A 3x20 block as a spreadsheet copies it, CR LF and a quoted cell included: each cell is
// validated (one invalid), the views hear of it once, and copying the block gives it back.
TEST_F(PointTableModelTest, APastedBlockIsValidatedCellByCellAndCopiesBack) {
    model->setColumns({u"Descriptor"_s, u"EngUnits"_s, u"Span"_s});
    addRows(25, true);
    QString pasted, copied;
    for (int i = 0; i < 20; ++i) {
        const QString descriptor = i == 4 ? u"\"Pump \"\"A\"\"\tline\r\ntwo\""_s : u"Pumped %1"_s.arg(i);
        const QString line =
            descriptor + u"\tunit%1\t%2"_s.arg(i).arg(i == 7 ? u"abc"_s : QString::number(100 + i));
        pasted += line + (i % 2 ? u"\n"_s : u"\r\n"_s);
        copied += line + u"\n"_s;
    }
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    QSignalSpy pending(model.get(), &PointTableModel::pendingChanged);
    EXPECT_EQ(counted(model->paste(cell(2, u"Descriptor"_s), pasted)), "set=60 invalid=1 skipped=0");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(pending.count(), 1);
    EXPECT_EQ(text(6, u"Descriptor"_s), u"Pump \"A\"\tline\r\ntwo"_s);
    EXPECT_EQ(shown(9, u"Span"_s) + " " + shown(10, u"Span"_s) + " " + shown(2, u"EngUnits"_s),
              "abc*! 108* unit0*");
    EXPECT_EQ((state(1, u"Span"_s) | state(22, u"Descriptor"_s)) & PointTableModel::Edited, 0);
    EXPECT_EQ(model->pendingPointCount() * 100 + model->pendingAttributeCount(), 2060)
        << "20 points, 60 values";
    EXPECT_EQ(model->copy(block(range(2, 21), {u"Descriptor"_s, u"EngUnits"_s, u"Span"_s})), copied);
    // Over the table's edge the rest is skipped; one value fills a selection of several cells.
    EXPECT_EQ(counted(model->paste(cell(24, u"Span"_s), u"1\t2\n3\t4\n"_s)), "set=1 invalid=0 skipped=3");
    const QModelIndexList selection = block({0, 22, 23}, {u"Descriptor"_s, u"EngUnits"_s});
    EXPECT_EQ(counted(model->paste(cell(0, u"Descriptor"_s), u"kg\n"_s, selection)),
              "set=6 invalid=0 skipped=0");
    EXPECT_EQ(shown(23, u"Descriptor"_s) + shown(24, u"Span"_s) + shown(1, u"Descriptor"_s),
              "kg*1*" + text(1, u"Descriptor"_s).toStdString());
}

// Ctrl+Enter over 20 cells of mixed classes: read-only cells (point type) and cells of classes
// without the attribute (Location1 of base and totalizer points) are counted, not touched; a
// value out of the digital point's range is kept, red.
TEST_F(PointTableModelTest, OneValueIntoManyCellsSkipsReadOnlyAndUnavailableCells) {
    addRows(30);
    model->setColumns({u"PointType"_s, u"Location1"_s, u"EngUnits"_s, u"TypicalValue"_s});
    const QModelIndexList cells = block({0, 1, 9, 20, 24}, model->columns());
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    EXPECT_EQ(counted(model->setCells(cells, u"12"_s)), "set=12 invalid=1 skipped=8");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(shown(1, u"Location1"_s) + "|" + shown(1, u"PointType"_s) + "|" + shown(24, u"TypicalValue"_s) +
                  "|" + shown(9, u"TypicalValue"_s),
              "|Float32|12*|12*!");
    EXPECT_EQ(counted(model->setCells(cells, u"ab"_s)), "set=12 invalid=7 skipped=8") << "numbers expected";
}

TEST_F(PointTableModelTest, FillDownCopiesEachColumnsTopCellIntoTheCellsBelow) {
    addRows(6);
    model->setCellText(cell(0, u"Descriptor"_s), u"Filled"_s);
    model->setColumns(model->columns() << u"Location1"_s);
    EXPECT_EQ(counted(model->fillDown(block(range(0, 5), {u"Descriptor"_s, u"Location1"_s}))),
              "set=9 invalid=0 skipped=1");
    EXPECT_EQ(shown(5, u"Descriptor"_s) + shown(5, u"Location1"_s),
              "Filled*" + text(0, u"Location1"_s).toStdString());
    EXPECT_EQ(counted(model->fillDown(block(range(1, 3), {u"Location1"_s}))), "set=0 invalid=0 skipped=2")
        << "the top cell's class lacks the attribute";
}

TEST_F(PointTableModelTest, ReplaceChangesOnlyCellsWhoseTextChangesInTheCaseAsked) {
    model->setColumns({u"Descriptor"_s, u"EngUnits"_s});
    addRows(4);
    const struct {
        QString find, replacement;
        Qt::CaseSensitivity sensitivity;
        std::string setAndTexts;
    } cases[] = {
        {u"pump"_s, u"Motor"_s, Qt::CaseSensitive, "1 Motor a|Pump b|PUMP c|Valve"},
        {u"pump"_s, u"Motor"_s, Qt::CaseInsensitive, "3 Motor a|Motor b|Motor c|Valve"},
        {u"VALVE"_s, u"Valve"_s, Qt::CaseInsensitive, "0 pump a|Pump b|PUMP c|Valve"},
    };
    for (const auto& c : cases) {
        model->paste(cell(0, u"Descriptor"_s), u"pump a\nPump b\nPUMP c\nValve\n"_s);
        const int set =
            model->replace(block(range(0, 3), {u"Descriptor"_s}), c.find, c.replacement, c.sensitivity).set;
        EXPECT_EQ(std::to_string(set) + " " + column(model->columnOf(u"Descriptor"_s)), c.setAndTexts);
    }
}

// The review lists every edit, those not shown as a column too, invalid ones first; a dropped
// change puts the value before edits back.
TEST_F(PointTableModelTest, PendingChangesListInvalidFirstThenRowAndColumnAndOneCanBeDropped) {
    model->setColumns({u"Descriptor"_s, u"EngUnits"_s, u"Span"_s});
    addRows(3);
    const QString unitsBefore = text(0, u"EngUnits"_s);
    model->setCellText(cell(1, u"Span"_s), u"50"_s);
    model->setCellText(cell(2, u"Span"_s), u"x"_s);
    model->setCellText(cell(0, u"EngUnits"_s), u"psi"_s);
    model->entriesAt(0)->SetValue(u"ExDesc"_s, Variant(u"extra"_s));
    model->setCellText(cell(0, u"Descriptor"_s), u"first"_s);
    const auto listed = [&] {
        QStringList lines;
        for (const PointTableChange& change : model->pendingChanges())
            lines << u"%1 %2 %3%4"_s.arg(change.row)
                         .arg(change.attribute, change.after, change.valid ? u""_s : u"!"_s);
        return lines.join(u", "_s).toStdString() + " / " + std::to_string(model->pendingPointCount()) + " " +
               std::to_string(model->pendingAttributeCount());
    };
    EXPECT_EQ(listed(), "2 Span x!, 0 Descriptor first, 0 EngUnits psi, 0 ExDesc extra, 1 Span 50 / 3 5");
    EXPECT_EQ(model->pendingChanges()[2].before, unitsBefore);
    QSignalSpy pending(model.get(), &PointTableModel::pendingChanged);
    model->dropChange(0, u"EngUnits"_s);
    model->dropChange(2, u"Span"_s);
    EXPECT_EQ(listed(), "0 Descriptor first, 0 ExDesc extra, 1 Span 50 / 2 3");
    EXPECT_EQ(shown(0, u"EngUnits"_s), unitsBefore.toStdString());
    EXPECT_EQ(pending.count(), 2);
}

// Saving writes: each test gets its own copy of the sample server's archive.
class PointTableModelSaveTest : public PointTableModelTest {
protected:
    void SetUp() override {
        PointTableModelTest::SetUp();
        ASSERT_TRUE(QFile::copy(archivePath(u"vqsouth"_s), m_copy.filePath(u"copy.vqa"_s)));
        server = servers()->Add(u"vqcopy"_s, m_copy.filePath(u"copy.vqa"_s), false);
        server->Open(u"vqadmin"_s, QString());
        points = server->GetPointsSQL(u"1=1"_s, SdkNamedValues(), nullptr);
    }
    // The value as a new connection reads it from the archive.
    QString stored(int row, const QString& attribute) const {
        const auto archive = ArchiveServer::open(u"vqcopy"_s, m_copy.filePath(u"copy.vqa"_s));
        return archive->Points()
            ->Item(model->pointAt(row)->Name())
            ->PointAttributes()
            ->Item(attribute)
            ->Value()
            .toString();
    }

    QTemporaryDir m_copy;
};

// A save shows each row's result and keeps the edits of rows not written; undo puts the stored
// values back and turns the saved ones into edits again, so a second save redoes the first. A
// renamed point is found under its stored name throughout.
TEST_F(PointTableModelSaveTest, SaveShowsEachRowsResultAndUndoMakesTheSavedValuesEditsAgain) {
    model->setColumns({u"Descriptor"_s, u"Span"_s});
    addRows(5, true);
    const QString before = text(0, u"Descriptor"_s);
    model->setCells(block(range(0, 3), {u"Descriptor"_s}), u"Saved text"_s);
    model->setCellText(cell(4, u"Span"_s), u"x"_s);
    const QString tag = text(2, u"Tag"_s);
    EXPECT_TRUE(model->setCellText(cell(2, u"Tag"_s), u"RENAMED-2"_s));
    {
        auto other = ArchiveServer::open(u"vqcopy"_s, m_copy.filePath(u"copy.vqa"_s));
        other->Open(u"vqadmin"_s, QString());
        SdkNamedValues theirs, failed;
        theirs.Add(u"Descriptor"_s, Variant(u"theirs"_s));
        other->Points()->Item(model->pointAt(3)->Name())->PointAttributes()->SetAttributes(theirs, failed);
    }
    EXPECT_EQ(model->save().text().toStdString(), "3 saved, 1 refused, 1 changed meanwhile");
    EXPECT_EQ(column(PointTableModel::ResultColumn), "Saved|Saved|Saved|Changed meanwhile|Refused");
    EXPECT_TRUE(model->data(model->index(3, PointTableModel::ResultColumn), Qt::ToolTipRole)
                    .toString()
                    .contains(u"was changed by vqadmin"_s));
    EXPECT_EQ(shown(0, u"Descriptor"_s) + " " + shown(3, u"Descriptor"_s) + " " + shown(4, u"Span"_s),
              "Saved text Saved text* x*!");
    EXPECT_EQ(stored(1, u"Descriptor"_s) + u' ' + stored(2, u"Tag"_s), u"Saved text RENAMED-2"_s);
    ASSERT_TRUE(model->canUndo());
    EXPECT_EQ(model->undoLastSave().text().toStdString(), "3 put back");
    EXPECT_FALSE(model->canUndo());
    EXPECT_EQ(column(PointTableModel::ResultColumn), "Put back|Put back|Put back|Changed meanwhile|Refused");
    EXPECT_EQ(stored(0, u"Descriptor"_s) + u'|' + text(0, u"Descriptor"_s), before + u"|Saved text"_s);
    const std::vector<PointTableChange> changes = model->pendingChanges();  // the invalid one first
    EXPECT_EQ(changes[1].before + u' ' + stored(2, u"Tag"_s) + u' ' + changes[3].after,
              before + u' ' + tag + u" RENAMED-2"_s);
    EXPECT_EQ(changes.size(), 6u);
    EXPECT_EQ(model->save().saved, 3);
    EXPECT_EQ(stored(0, u"Descriptor"_s) + u' ' + stored(2, u"Tag"_s), u"Saved text RENAMED-2"_s);
}

// A file for review: rows of the table by tag in any case, points of the server added as rows,
// unknown tags listed (or new points when asked), new columns shown; nothing is written.
TEST_F(PointTableModelTest, ACsvFileBecomesPendingEditsOfTheMatchingPoints) {
    const QString outside = points->Tag(1500);
    for (const bool create : {false, true}) {
        model->clear();
        addRows(2, true);
        const QString inTable = model->pointAt(1)->Name();
        QString csv =
            u"Tag,Descriptor,Location2,Span\r\n%1,From file,,\r\n%2,,7,\r\nNEW-1,Made,,\r\n%3,,,abc\r\n"_s
                .arg(inTable.toLower(), outside, model->pointAt(0)->Name());
        QTextStream in(&csv);
        const PointTableImportReport report = model->importCsv(in, server, create);
        const QString unknown = report.unknown.join(u',') + report.refused.join(u',');
        EXPECT_EQ(std::to_string(report.rows * 100 + report.addedPoints * 10 + report.newPoints) + " " +
                      unknown.toStdString() + " " + counted(report.cells),
                  create ? "411  set=4 invalid=1 skipped=0" : "310 NEW-1 set=3 invalid=1 skipped=0")
            << "rows, added, new; unknown and refused tags";
        EXPECT_EQ(model->columns().last(), u"Location2"_s);
        EXPECT_EQ(shown(1, u"Descriptor"_s) + " " + shown(2, u"Location2"_s) + " " + shown(0, u"Span"_s),
                  "From file* 7* abc*!");
        EXPECT_EQ(model->rowCount(), create ? 4 : 3);
    }
    EXPECT_EQ(shown(3, u"Tag"_s) + " " + shown(3, u"Descriptor"_s), "NEW-1* Made*");
}

// What export writes reads back as the same values: list names, twin units and all.
TEST_F(PointTableModelTest, AnExportedTableImportedAgainChangesNothing) {
    model->setColumns(PointTableModel::defaultColumns() << u"Archiving"_s << u"DataOwner"_s);
    addRows(40);
    QString csv;
    QTextStream out(&csv);
    EXPECT_EQ(model->exportCsv(out), 40);
    out.flush();
    EXPECT_TRUE(csv.startsWith(u"Tag,Descriptor,PointType,"_s));
    QTextStream in(&csv);
    EXPECT_EQ(model->importCsv(in, server, false).rows, 40);
    QStringList changed;
    for (const PointTableChange& change : model->pendingChanges())
        changed << change.tag + u' ' + change.attribute + u' ' + change.before + u" -> "_s + change.after;
    EXPECT_EQ(changed.mid(0, 5).join(u"; "_s).toStdString(), "");
}

TEST_F(PointTableModelSaveTest, APointMadeFromAFileIsCreatedBySavingAndThenKnownByItsRow) {
    QString csv = u"Tag,PtClassName,Descriptor\nNEW-2,base,Made here\n"_s;
    QTextStream in(&csv);
    EXPECT_EQ(model->importCsv(in, server, true).newPoints, 1);
    EXPECT_EQ(model->pointAt(0), nullptr);
    EXPECT_EQ(model->save().text().toStdString(), "1 saved");
    EXPECT_EQ(model->pointAt(0)->Name(), u"NEW-2"_s);
    EXPECT_EQ(stored(0, u"Descriptor"_s), u"Made here"_s);
    EXPECT_FALSE(model->addPoint(server->Points()->Item(u"NEW-2"_s))) << "the created point is that row";
}

}  // namespace vq::test
