#include "WidgetDriving.h"
#include "editors/VQPointAttributeEdit.h"
#include "model/ModelTestSupport.h"
#include "platform/ScreenServices.h"
#include "platform/ServicesContext.h"
#include "platform/Twips.h"
#include "propsheet/PropSheetGridModel.h"
#include "propsheet/VQPointPropSheet.h"

#include <QApplication>
#include <QImage>
#include <QKeySequence>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <QVBoxLayout>

namespace vq::test {
namespace {

// A sheet between two line edits on an active form, bound to the stored point "Flow" of a real
// archive, and driven by key events only.
class SheetKeysTest : public ModelTest {
public:
    void SetUp() override {
        ModelTest::SetUp();
        storePoint(*makeServer(), u"Flow"_s, u"classic"_s, pointtype::Float32);
        auto* layout = new QVBoxLayout(&form);
        for (QWidget* widget :
             {static_cast<QWidget*>(&before), static_cast<QWidget*>(&sheet), static_cast<QWidget*>(&after)})
            layout->addWidget(widget);
        form.resize(twipsToPixels(QSize(5000, 6000)));
        ASSERT_TRUE(showActive(form));
    }
    void bind(int32_t view) {
        entries = std::make_shared<PropSheetEntries>();
        entries->AddAttributesForPoint(reconnect()->Points()->Item(u"Flow"_s));
        sheet.SetView(view);
        sheet.SetPropSheetEntries(entries);
        before.setFocus();
        press("Tab");
    }

    // Keys as a user types them to whichever widget has the focus: key names ("Down", "F2",
    // "Shift+Tab") and quoted text ('Feed water').
    void press(const QString& keys) {
        for (const QString& token : keys.split(u' ', Qt::SkipEmptyParts)) {
            ASSERT_NE(QApplication::focusWidget(), nullptr) << token.toStdString();
            if (token.startsWith(u'\'')) {  // each character to the widget that has the focus then
                const QString text = token.mid(1).chopped(1).replace(u'_', u' ');
                for (const QChar c : text)
                    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(),
                                        Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
                continue;
            }
            const QKeyCombination key = QKeySequence::fromString(token)[0];
            ASSERT_NE(key.key(), Qt::Key_unknown) << token.toStdString();
            QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        }
    }
    // Moves the current row onto the attribute with Home and Down.
    void goTo(const char* attribute) {
        press(u"Home"_s);
        for (int step = 0; step < 100 && current() != QString::fromUtf8(attribute); ++step) press(u"Down"_s);
        ASSERT_EQ(current(), QString::fromUtf8(attribute));
    }

    QTreeView* grid() { return child<QTreeView>(sheet, "MSHFlexGrid1"); }
    VQPointAttributeEdit* editor() { return child<VQPointAttributeEdit>(sheet, "VQPointAttributeEdit1"); }
    // The current row: an attribute's name, or a category's in brackets.
    QString current() {
        const QModelIndex index = grid()->currentIndex();
        const QString key = index.data(PropSheetGridModel::KeyRole).toString();
        return key.isEmpty() ? u'[' + index.siblingAtColumn(columnName).data().toString() + u']' : key;
    }
    // "current editor focus": the editor's attribute or "-", and where the focus is.
    std::string state() {
        const QWidget* focus = QApplication::focusWidget();
        const QString where = focus == grid()                 ? u"grid"_s
                              : editor()->isAncestorOf(focus) ? u"editor"_s
                              : focus == &before              ? u"before"_s
                              : focus == &after               ? u"after"_s
                                                              : u"elsewhere"_s;
        const QString edited = editor()->isVisible() ? editor()->AttributeName() : u"-"_s;
        return (current() + u' ' + edited + u' ' + where).toStdString();
    }

    const ScopedServices pinnedDpi{&ServicesContext::logicalDpi, 96.0};
    QWidget form;
    QLineEdit before, after;
    VQPointPropSheet sheet;
    std::shared_ptr<PropSheetEntries> entries;
};

TEST_F(SheetKeysTest, ThreeAttributesEditedByKeysAreSavedAndReadBack) {
    bind(viewAlphabetic);
    EXPECT_EQ(state(), "Tag - grid");
    goTo("Descriptor");
    // The current row shows: its name cell in the highlight colour while the sheet has the focus.
    const QRect name = grid()->visualRect(grid()->currentIndex().siblingAtColumn(columnName));
    const QImage shot = grid()->viewport()->grab().toImage();
    const QColor painted = shot.pixelColor(name.right() - 3, name.center().y());
    const QColor highlight = grid()->palette().color(QPalette::Highlight);
    EXPECT_LT(std::abs(painted.red() - highlight.red()) + std::abs(painted.blue() - highlight.blue()), 16)
        << painted.name().toStdString();
    press(u"'Feed_water' Return"_s);  // typing opens the editor; Enter commits and closes it
    EXPECT_EQ(state(), "Descriptor - grid");
    goTo("EngUnits");
    press(u"F2 'm3/h' Tab"_s);  // Tab commits and goes on to the next attribute's editor
    EXPECT_EQ(state(), "ExcDev ExcDev editor");
    press(u"'dropped' Esc"_s);  // Esc drops the typing and closes the editor
    EXPECT_EQ(state(), "ExcDev - grid");
    press(u"Return '2.5' Return"_s);
    const std::string edited = "Descriptor=Feed water EngUnits=m3/h ExcDev=2.5";
    EXPECT_EQ(values(*entries, "Descriptor EngUnits ExcDev"), edited);
    EXPECT_TRUE(entries->SaveEdits()) << messages().join(u'|').toStdString();
    EXPECT_EQ(storedValues(reconnect(), u"Flow"_s, "Descriptor EngUnits ExcDev"), edited);
}

TEST_F(SheetKeysTest, KeysMoveFoldEditAndLeaveTheSheet) {
    const struct {
        const char* behaviour;
        int32_t view;
        const char* start;  // the row the keys start on; null: where the Tab into the sheet left it
        const char* keys;
        const char* state;
    } cases[] = {
        {"Tab enters on the first row", viewCategorized, nullptr, "", "[Archive] - grid"},
        {"Down and Up walk the rows", viewAlphabetic, "Descriptor", "Down Down Up", "DigitalSet - grid"},
        {"End goes to the last row", viewAlphabetic, nullptr, "End", "Zero - grid"},
        {"Right unfolds a category and Down enters it", viewCategorized, nullptr, "Right Down",
         "Archiving - grid"},
        {"Left goes from an attribute to its category", viewCategorized, nullptr, "Right Down Left",
         "[Archive] - grid"},
        {"- folds and Enter unfolds", viewCategorized, "Descriptor", "Left - Down Up Return Down",
         "Tag - grid"},
        {"a read-only attribute is current with no editor", viewAlphabetic, "PointID", "F2 Return 'x'",
         "PointID - grid"},
        {"F2 opens the editor", viewAlphabetic, "Descriptor", "F2", "Descriptor Descriptor editor"},
        {"Esc closes it", viewAlphabetic, "Descriptor", "F2 'x' Esc", "Descriptor - grid"},
        {"Tab skips the read-only rows", viewAlphabetic, "PointSource", "F2 Tab", "PtAccess PtAccess editor"},
        {"Shift+Tab goes back", viewAlphabetic, "ExDesc", "F2 Shift+Tab", "ExcMin ExcMin editor"},
        {"Tab past the last attribute leaves the sheet", viewAlphabetic, nullptr, "End F2 Tab",
         "Zero - after"},
        {"Tab from the grid leaves the sheet", viewAlphabetic, nullptr, "Tab", "Tag - after"},
        {"Shift+Tab from the grid goes back", viewAlphabetic, nullptr, "Shift+Tab", "Tag - before"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        bind(c.view);
        if (c.start) goTo(c.start);
        press(QString::fromUtf8(c.keys));
        EXPECT_EQ(state(), c.state);
    }
    // Nothing typed and then dropped with Esc was ever committed.
    entries->CommitPendingChanges();
    EXPECT_EQ(values(*entries, "Descriptor"), "Descriptor=");
    EXPECT_EQ(messages(), QStringList());
}

}  // namespace
}  // namespace vq::test
