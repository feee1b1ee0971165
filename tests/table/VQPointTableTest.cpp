#include "PointTableWidgetTest.h"

#include "platform/PropertyBag.h"
#include "table/PointTableColumnsDialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTreeWidget>

namespace vq::test {
namespace {

using TableTest = PointTableWidgetTest;

// Scrolled sideways to the last column, the tag and server columns look exactly as before, and
// the keys keep the current cell out from under them.
TEST_F(TableTest, TagAndServerStayInViewWhileTheGridScrollsSideways) {
    table->SetColumns(
        words("Descriptor EngUnits Span Zero TypicalValue CompDev ExcDev PointSource Location1 "
              "Location2 Location3 Location4"));
    QCoreApplication::processEvents();
    const int frozenWidth = grid()->frozenWidth();
    const QRect frozenPart(grid()->frozenView()->pos(), QSize(frozenWidth, grid()->height() / 2));
    const QImage before = grid()->grab(frozenPart).toImage();
    QScrollBar* sideways = grid()->horizontalScrollBar();
    ASSERT_GT(sideways->maximum(), 0);

    goTo(0, "Location4");
    EXPECT_EQ(sideways->value(), sideways->maximum());
    EXPECT_EQ(grid()->grab(frozenPart).toImage(), before);
    for (int step = 0; step < 11; ++step) pressKeys(u"Left"_s);  // to Descriptor, under the frozen columns
    EXPECT_EQ(grid()->currentIndex(), at(0, "Descriptor"));
    EXPECT_GE(grid()->visualRect(grid()->currentIndex()).left(), frozenWidth);
    EXPECT_EQ(grid()->grab(frozenPart).toImage(), before);
    pressKeys(u"Down Down"_s);  // the frozen rows follow the grid's rows
    EXPECT_EQ(grid()->frozenView()->verticalScrollBar()->value(), grid()->verticalScrollBar()->value());
}

// The columns persist as one comma-separated property, absent from the bag while they are the
// default set; a property bag carried through JSON gives a new table the same columns.
TEST_F(TableTest, ColumnsRoundTripThroughAPropertyBag) {
    QSignalSpy changed(table, &VQPointTable::ColumnsChanged);
    table->InitProperties();
    PropertyBag defaults;
    table->WriteProperties(defaults);
    EXPECT_FALSE(defaults.contains(u"Columns"_s));
    EXPECT_EQ(table->Columns(), PointTableModel::defaultColumns());

    table->SetColumnsText(u"Span, Descriptor,,ExcDev"_s);
    table->SetColumns(words("Span Descriptor ExcDev"));  // no change, no notice
    EXPECT_EQ(changed.count(), 2);
    PropertyBag bag;
    table->WriteProperties(bag);
    const PropertyBag carried = PropertyBag::fromJson(bag.toJson());
    VQPointTable other;
    other.ReadProperties(carried);
    EXPECT_EQ(other.ColumnsText(), u"Span,Descriptor,ExcDev"_s);
    other.ReadProperties(PropertyBag());
    EXPECT_EQ(other.Columns(), PointTableModel::defaultColumns());
}

// The chooser lists the attributes by category, keeps the shown columns' order, puts newly
// checked ones after them, and "Default" checks the default set again.
TEST_F(TableTest, TheColumnChooserKeepsTheOrderAndOffersTheDefault) {
    table->SetColumns(words("Span Descriptor Zero"));
    ModalDriver driver;
    driver.then(u"PointTableColumns"_s, [](QWidget* dialog) {
        auto* chooser = static_cast<PointTableColumnsDialog*>(dialog);
        ASSERT_NE(chooser->itemOf(u"ExcDev"_s), nullptr);
        EXPECT_FALSE(chooser->itemOf(u"ExcDev"_s)->parent()->text(0).isEmpty());
        chooser->itemOf(u"Zero"_s)->setCheckState(0, Qt::Unchecked);
        chooser->itemOf(u"ExcDev"_s)->setCheckState(0, Qt::Checked);
        chooser->accept();
    });
    table->ChooseColumns();
    EXPECT_EQ(table->ColumnsText(), u"Span,Descriptor,ExcDev"_s);
    driver.then(u"PointTableColumns"_s, [](QWidget* dialog) {
        dialog->findChild<QPushButton*>(u"Default"_s)->click();
        static_cast<QDialog*>(dialog)->accept();
    });
    table->ChooseColumns();
    EXPECT_EQ(table->Columns(), PointTableModel::defaultColumns());
    EXPECT_EQ(driver.faults(), "");
}

// Replace within the selected cells or the whole current column, case as chosen.
TEST_F(TableTest, FindAndReplaceWithinTheSelectionOrTheColumn) {
    struct Case {
        const char* find;
        bool matchCase;
        bool withinSelection;
        const char* descriptors;
    };
    const Case cases[] = {
        {"temperature", false, true, "Heat 1|Heat 2|Temperature 3"},
        {"temperature", true, true, "Temperature 1|Temperature 2|Temperature 3"},
        {"Temperature", true, false, "Heat 1|Heat 2|Heat 3"},
    };
    for (const Case& c : cases) {
        goTo(0, "Descriptor");
        pressKeys(u"Shift+Down"_s);
        ModalDriver driver;
        driver.then(u"PointTableFindReplace"_s, [&](QWidget* dialog) {
            dialog->findChild<QLineEdit*>(u"Find"_s)->setText(QString::fromUtf8(c.find));
            dialog->findChild<QLineEdit*>(u"ReplaceWith"_s)->setText(u"Heat"_s);
            dialog->findChild<QCheckBox*>(u"MatchCase"_s)->setChecked(c.matchCase);
            EXPECT_TRUE(dialog->findChild<QRadioButton*>(u"WithinSelection"_s)->isChecked());
            dialog->findChild<QRadioButton*>(u"WithinColumn"_s)->setChecked(!c.withinSelection);
            dialog->findChild<QPushButton*>(u"ReplaceAll"_s)->click();
        });
        pressKeys(u"Ctrl+H"_s);
        EXPECT_EQ(column("Descriptor", 0, 2), c.descriptors) << c.find << c.matchCase << c.withinSelection;
        EXPECT_EQ(driver.faults(), "");
        for (int row = 0; row < kPoints; ++row) model()->dropChange(row, u"Descriptor"_s);
    }
}

// Stop during a save ends it after the point being written; the rest keep their edits. A Save
// asked for meanwhile (Ctrl+S again) is not nested in the running one.
TEST_F(TableTest, StopEndsASaveAndASecondSaveIsNotNested) {
    for (int row = 0; row < kPoints; ++row) model()->setCellText(at(row, "EngUnits"), u"K"_s);
    int statusLines = 0;
    QObject::connect(table, &VQPointTable::StatusChanged, table, [&] { ++statusLines; });
    QTimer::singleShot(0, table, [&] {
        table->Save();
        table->findChild<QPushButton*>(u"Stop"_s)->click();
    });
    table->Save();
    EXPECT_EQ(statusLines, 1);
    EXPECT_EQ(status(), "1 saved, 7 not saved (stopped)");
    EXPECT_EQ(model()->pendingPointCount(), 7);
    EXPECT_TRUE(table->findChild<QWidget*>(u"Progress"_s)->isHidden());
}

// Export writes the rows; the file edited and imported again gives pending edits for review, and
// tags no server has are listed, not created.
TEST_F(TableTest, ExportedRowsComeBackAsPendingEditsWithUnknownTagsListed) {
    QTemporaryFile file(m_dir.filePath(u"XXXXXX.csv"_s));
    ASSERT_TRUE(file.open());
    file.close();
    table->ExportCsv(file.fileName());
    EXPECT_EQ(status().substr(0, 16), "8 rows exported ");
    ASSERT_TRUE(file.open());
    QString text = QString::fromUtf8(file.readAll()).replace(u"degC"_s, u"K"_s);
    text += u"NOSUCH,x,K,,\n"_s;
    file.resize(0);
    file.write(text.toUtf8());
    file.close();
    table->ImportCsv(file.fileName());
    EXPECT_EQ(column("EngUnits"), "K|K|K|K|K|K|K|K");
    EXPECT_EQ(model()->pendingPointCount(), kPoints);
    EXPECT_NE(status().find("unknown tags: NOSUCH"), std::string::npos) << status();
}

}  // namespace
}  // namespace vq::test
