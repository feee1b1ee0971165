#include "PointTableWidgetTest.h"

#include "editors/VQPointAttributeEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QTreeWidget>

namespace vq::test {
namespace {

using KeysTest = PointTableWidgetTest;

// From the grid with keys alone: type over a cell and Enter, Tab on, F2 and Esc, Ctrl+Enter over
// a column's selection, fill down, a copied block pasted, a change dropped in the review, a save
// and its undo; every step as the cells, the review and the status line show it.
TEST_F(KeysTest, EditingReviewingAndSavingWithKeysAlone) {
    goTo(0, "Descriptor");
    pressKeys(u"'Boiler_inlet' Return"_s);
    EXPECT_EQ(column("Descriptor", 0, 1), "Boiler inlet|Temperature 2");
    EXPECT_EQ(grid()->currentIndex(), at(0, "Descriptor"));

    pressKeys(u"Tab F2 'bogus' Esc"_s);  // Tab moves on; Esc drops what was typed
    EXPECT_EQ(grid()->currentIndex(), at(0, "EngUnits"));
    EXPECT_EQ(column("EngUnits", 0, 0), "degC");

    pressKeys(u"Down Shift+Down Shift+Down 'kPa' Ctrl+Return"_s);  // rows 1 to 3 of EngUnits
    EXPECT_EQ(column("EngUnits"), "degC|kPa|kPa|kPa|degC|degC|degC|degC");
    EXPECT_EQ(status(), "Set: 3 cells set");

    goTo(0, "Span");
    pressKeys(u"'250' Return Shift+Down Shift+Down Ctrl+D"_s);
    EXPECT_EQ(column("Span", 0, 3).substr(0, 12), "250|250|250|");
    EXPECT_EQ(status(), "Fill down: 2 cells set");

    goTo(0, "Descriptor");
    pressKeys(u"Shift+Right Shift+Down Ctrl+C"_s);
    EXPECT_EQ(QApplication::clipboard()->text().trimmed(), u"Boiler inlet\tdegC\nTemperature 2\tkPa"_s);
    goTo(6, "Descriptor");
    pressKeys(u"Ctrl+V"_s);
    EXPECT_EQ(column("Descriptor", 6, 7), "Boiler inlet|Temperature 2");
    EXPECT_EQ(column("EngUnits", 6, 7), "degC|kPa");

    // Descriptor rows 0, 6 and 7, EngUnits rows 1 to 3 and 7, Span rows 0 to 2.
    pressKeys(u"Ctrl+R"_s);
    auto* changes = table->findChild<QTreeWidget*>(u"Changes"_s);
    ASSERT_TRUE(changes->hasFocus());
    EXPECT_EQ(table->findChild<QLabel*>(u"ReviewSummary"_s)->text(),
              u"6 points, 10 attributes will be written"_s);
    const QString dropped = changes->topLevelItem(0)->text(1) + u' ' + changes->topLevelItem(0)->text(2);
    pressKeys(u"Delete"_s);
    EXPECT_EQ(changes->topLevelItemCount(), 9);
    EXPECT_EQ(model()->pendingAttributeCount(), 9) << dropped.toStdString();
    EXPECT_EQ(column("Descriptor", 0, 0), "Temperature 1");

    pressKeys(u"Ctrl+S"_s);
    EXPECT_EQ(status(), "6 saved");
    EXPECT_EQ(storedValues(reconnect(), u"TI02"_s, "EngUnits Span"), "EngUnits=kPa Span=250");
    EXPECT_EQ(changes->topLevelItemCount(), 0);

    table->view()->setFocus();
    pressKeys(u"Ctrl+Z"_s);
    EXPECT_EQ(status(), "6 put back");
    EXPECT_EQ(storedValues(reconnect(), u"TI02"_s, "EngUnits"), "EngUnits=degC");
}

// Ctrl+Z while a cell is being edited is the editor's own undo, never an undo of the last save;
// Ctrl+S commits the open edit before saving it.
TEST_F(KeysTest, SaveCommitsTheOpenEditAndUndoWaitsForTheGrid) {
    goTo(2, "EngUnits");
    pressKeys(u"'bar' Ctrl+S"_s);
    EXPECT_EQ(status(), "1 saved");
    EXPECT_EQ(storedValues(reconnect(), u"TI03"_s, "EngUnits"), "EngUnits=bar");
    pressKeys(u"F2 'x' Ctrl+Z"_s);
    EXPECT_EQ(status(), "1 saved");
    pressKeys(u"Esc Ctrl+Z"_s);
    EXPECT_EQ(status(), "1 put back");
}

// Ctrl+O and a double-click on the tag ask the host to open the row's point.
TEST_F(KeysTest, CtrlOAndADoubleClickOnTheTagOpenThePoint) {
    QStringList opened;
    QObject::connect(table, &VQPointTable::OpenPoint, table,
                     [&](const SdkPointPtr& point) { opened << point->Name(); });
    goTo(3, "Span");
    pressKeys(u"Ctrl+O"_s);
    QTableView* frozen = grid()->frozenView();
    const QRect tagCell = frozen->visualRect(model()->index(5, PointTableModel::TagColumn));
    QTest::mouseClick(frozen->viewport(), Qt::LeftButton, {},
                      tagCell.center());  // as a real double-click starts
    QTest::mouseDClick(frozen->viewport(), Qt::LeftButton, {}, tagCell.center());
    EXPECT_EQ(opened.join(u' '), u"TI04 TI06"_s);
}

}  // namespace
}  // namespace vq::test
