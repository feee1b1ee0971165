#include "SampleServers.h"

#include "model/PropSheetEntries.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkServer.h"
#include "table/PointTableModel.h"
#include "table/PointTableRows.h"

#include <QSignalSpy>

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
    void TearDown() override {
        model.reset();
        SampleServersTest::TearDown();
    }

    // The first `count` points of the sample server, or the first numeric ones.
    void addRows(int count, bool numericOnly = false) {
        SdkPointList some;
        for (int i = 1; some.Count() < count; ++i)
            if (!numericOnly || pointtype::isNumeric(points->Item(i)->PointType())) some.AddItem(*points, i);
        model->addPoints(some);
    }
    QModelIndex cell(int row, const QString& attribute) const {
        return model->index(row, model->columnOf(attribute));
    }
    QString text(int row, const QString& attribute) const {
        return model->data(cell(row, attribute)).toString();
    }
    int state(int row, const QString& attribute) const {
        return model->data(cell(row, attribute), PointTableModel::CellStateRole).toInt();
    }
    // "text" with "*" for an edited cell and "!" for an invalid one.
    std::string shown(int row, const QString& attribute) const {
        const int bits = state(row, attribute);
        return (text(row, attribute) + (bits & PointTableModel::Edited ? u"*"_s : QString()) +
                (bits & PointTableModel::Invalid ? u"!"_s : QString()))
            .toStdString();
    }
    QModelIndexList block(const std::vector<int>& rows, const QStringList& attributes) const {
        QModelIndexList cells;
        for (int row : rows)
            for (const QString& attribute : attributes) cells << cell(row, attribute);
        return cells;
    }
    static std::vector<int> range(int top, int bottom) {
        std::vector<int> rows;
        for (int row = top; row <= bottom; ++row) rows.push_back(row);
        return rows;
    }
    static std::string counted(const PointTableEditReport& report) {
        return "set=" + std::to_string(report.set) + " invalid=" + std::to_string(report.invalid) +
               " skipped=" + std::to_string(report.skipped);
    }

    SdkServerPtr server;
    SdkPointListPtr points;
    std::unique_ptr<PointTableModel> model;
};

// Rows without entries are formatted and judged by a prototype of their class; they must look
// exactly as the point's own property sheet would, list names and twin units included.
TEST_F(PointTableModelTest, UneditedRowsShowTheTextsAndStatesOfTheirOwnEntries) {
    QStringList columns = PointTableModel::defaultColumns();
    columns << u"Archiving"_s << u"Step"_s << u"DataOwner"_s << u"Location1"_s << u"Function"_s
            << u"PtClassName"_s;
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
            const int bits = !entry ? int(PointTableModel::Unavailable)
                             : entry->GetReadOnly() || entry->IsSystemAttribute()
                                 ? int(PointTableModel::ReadOnly)
                                 : 0;
            if (text(row, attribute) != expected || state(row, attribute) != bits)
                mismatches << u"%1 %2: '%3' %4, own '%5' %6"_s.arg(row)
                                  .arg(attribute, text(row, attribute))
                                  .arg(state(row, attribute))
                                  .arg(expected)
                                  .arg(bits);
        }
    }
    EXPECT_EQ(mismatches.mid(0, 5).join(u"; "_s).toStdString(), "") << mismatches.size() << " cells differ";
}

// Reads happen when a row is first shown or loaded in slices; new columns are read again.
TEST_F(PointTableModelTest, RowsAreReadWhenShownOrInSlicesAndAgainForANewColumn) {
    addRows(50);
    EXPECT_EQ(model->addPoint(points->Item(3)), false) << "a point already in the table";
    EXPECT_EQ(model->unloadedRows(), 50);
    EXPECT_FALSE(text(7, u"Descriptor"_s).isEmpty());
    EXPECT_EQ(model->unloadedRows(), 49);
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    EXPECT_EQ(model->loadRows(10), 39);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex().row(), 0);
    EXPECT_EQ(changed[0][1].toModelIndex().row(), 10);
    model->setColumns(PointTableModel::defaultColumns() << u"InstrumentTag"_s);
    EXPECT_EQ(model->unloadedRows(), 50);
    EXPECT_EQ(text(0, u"InstrumentTag"_s), model->entriesAt(0)->find(u"InstrumentTag"_s)->GetDisplayValue());
}

// Text becomes the value an editor would hand over: a list name in any case or a list value,
// a number with the twin unit the cell shows, else the text itself; invalid text is kept, red.
TEST_F(PointTableModelTest, TypedTextBecomesTheValueTheEditorsWouldHandOver) {
    model->setColumns({u"Archiving"_s, u"Step"_s, u"DataOwner"_s, u"CompDev"_s, u"Span"_s, u"PointType"_s});
    addRows(3);
    const struct {
        QString attribute, typed;
        bool taken;
        std::string shown;
    } cases[] = {
        {u"Archiving"_s, u"off"_s, true, "Off*"},
        {u"Step"_s, u"1"_s, true, "On*"},
        {u"DataOwner"_s, u"ENGINEER"_s, true, "engineer*"},
        {u"CompDev"_s, u"2  % of Span"_s, true, "2  % of Span*"},
        {u"Span"_s, u"abc"_s, true, "abc*!"},
        {u"PointType"_s, u"Int32"_s, false, "Float32"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(model->setCellText(cell(0, c.attribute), c.typed), c.taken) << c.attribute.toStdString();
        EXPECT_EQ(shown(0, c.attribute), c.shown) << c.attribute.toStdString();
    }
    EXPECT_EQ(model->entriesAt(0)->find(u"CompDev"_s)->CurrentAttributeName(), u"CompDevPercent"_s);
}

TEST(PointTableTabSeparated, ReadsAndWritesBlocksAsSpreadsheetsCopyThem) {
    const struct {
        QString text;
        std::vector<QStringList> rows;
        QString written;  // as copy() writes the rows back
    } cases[] = {
        {u"a\tb\nc\td\n"_s, {{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}}, u"a\tb\nc\td\n"_s},
        {u"a\r\nb"_s, {{u"a"_s}, {u"b"_s}}, u"a\nb\n"_s},
        {u""_s, {}, u""_s},
        {u"\n"_s, {{u""_s}}, u"\n"_s},
        {u"a\t\n\nb\n"_s, {{u"a"_s, u""_s}, {u""_s}, {u"b"_s}}, u"a\t\n\nb\n"_s},
        {u"\"a\"\"b\"\tc\n"_s, {{u"a\"b"_s, u"c"_s}}, u"\"a\"\"b\"\tc\n"_s},
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
    EXPECT_EQ(state(1, u"Span"_s) & PointTableModel::Edited, 0);
    EXPECT_EQ(state(22, u"Descriptor"_s) & PointTableModel::Edited, 0);
    EXPECT_EQ(model->pendingPointCount(), 20);
    EXPECT_EQ(model->pendingAttributeCount(), 60);
    EXPECT_EQ(model->copy(block(range(2, 21), {u"Descriptor"_s, u"EngUnits"_s, u"Span"_s})), copied);
}

TEST_F(PointTableModelTest, APasteOverTheEdgeSkipsTheRestAndOneValueFillsTheSelection) {
    model->setColumns({u"Descriptor"_s, u"EngUnits"_s});
    addRows(5);
    EXPECT_EQ(counted(model->paste(cell(4, u"EngUnits"_s), u"a\tb\nc\td\n"_s)), "set=1 invalid=0 skipped=3");
    const QModelIndexList selection = block({0, 2, 3}, {u"Descriptor"_s, u"EngUnits"_s});
    EXPECT_EQ(counted(model->paste(cell(0, u"Descriptor"_s), u"kg\n"_s, selection)),
              "set=6 invalid=0 skipped=0");
    EXPECT_EQ(shown(3, u"Descriptor"_s) + shown(1, u"EngUnits"_s) + shown(4, u"EngUnits"_s),
              "kg*" + text(1, u"EngUnits"_s).toStdString() + "a*");
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
        std::string report, texts;
    } cases[] = {
        {u"pump"_s, u"Motor"_s, Qt::CaseSensitive, "set=1 invalid=0 skipped=0",
         "Motor a|Pump b|PUMP c|Valve"},
        {u"pump"_s, u"Motor"_s, Qt::CaseInsensitive, "set=3 invalid=0 skipped=0",
         "Motor a|Motor b|Motor c|Valve"},
        {u"VALVE"_s, u"Valve"_s, Qt::CaseInsensitive, "set=0 invalid=0 skipped=0",
         "pump a|Pump b|PUMP c|Valve"},
    };
    for (const auto& c : cases) {
        model->paste(cell(0, u"Descriptor"_s), u"pump a\nPump b\nPUMP c\nValve\n"_s);
        const PointTableEditReport report =
            model->replace(block(range(0, 3), {u"Descriptor"_s}), c.find, c.replacement, c.sensitivity);
        QStringList texts;
        for (int row = 0; row < 4; ++row) texts << text(row, u"Descriptor"_s);
        EXPECT_EQ(counted(report) + " " + texts.join(u'|').toStdString(), c.report + " " + c.texts);
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

}  // namespace vq::test
