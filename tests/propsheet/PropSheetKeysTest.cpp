#include "SheetTest.h"

#include <QImage>

namespace vq::test {
namespace {

// The sheet bound to the stored point "Flow" and driven by key events alone.
class SheetKeysTest : public SheetTest {
public:
    void SetUp() override {
        SheetTest::SetUp();
        storePoint(*server, u"Flow"_s, u"classic"_s, pointtype::Float32);
    }
    void bind(int32_t view) {
        entries = std::make_shared<PropSheetEntries>();
        entries->AddAttributesForPoint(reconnect()->Points()->Item(u"Flow"_s));
        SheetTest::bind(view);
        before->setFocus();
        pressKeys(u"Tab"_s);
    }
    // The current row by its key, a category's by its name in brackets.
    QString current() const {
        const QModelIndex index = view()->currentIndex();
        const QString key = index.data(PropSheetGridModel::KeyRole).toString();
        return key.isEmpty() ? u'[' + index.siblingAtColumn(columnName).data().toString() + u']' : key;
    }
    void goTo(const char* attribute) {
        pressKeys(u"Home"_s);
        for (int step = 0; step < 100 && current() != QLatin1String(attribute); ++step) pressKeys(u"Down"_s);
    }
    // "current edited focus": the attribute being edited or "-", and who has the focus.
    std::string state() const {
        const QWidget* focus = QApplication::focusWidget();
        const char* where = focus == view()                 ? "grid"
                            : editor()->isAncestorOf(focus) ? "editor"
                            : focus == before               ? "before"
                            : focus == after                ? "after"
                                                            : "elsewhere";
        const QString edited = editor()->isVisible() ? editor()->AttributeName() : u"-"_s;
        return (current() + u' ' + edited + u' ').toStdString() + where;
    }
};

// The current row shows; Esc drops the typing, Return opens the editor and commits. Typing, F2 and
// Tab through to a save are the Point Builder's keyboard test, on this sheet.
TEST_F(SheetKeysTest, TheCurrentRowShowsEscDropsTheTypingAndReturnCommits) {
    bind(viewAlphabetic);
    goTo("ExcDev");
    const QRect name = view()->visualRect(view()->currentIndex().siblingAtColumn(columnName));
    const QColor shown = view()->viewport()->grab().toImage().pixelColor(name.right() - 3, name.center().y());
    const QColor highlight = view()->palette().color(QPalette::Highlight);
    EXPECT_LT(std::abs(shown.red() - highlight.red()) + std::abs(shown.blue() - highlight.blue()), 16);
    const std::string kept = values(*entries, "ExcDev");
    pressKeys(u"F2 'dropped' Esc"_s);
    entries->CommitPendingChanges();  // nothing dropped with Esc is kept
    EXPECT_EQ(values(*entries, "ExcDev"), kept);
    pressKeys(u"Return '2.5' Return"_s);
    EXPECT_EQ(values(*entries, "ExcDev"), "ExcDev=2.5");
}

TEST_F(SheetKeysTest, KeysMoveFoldEditAndLeaveTheSheet) {
    // What the keys do, the view, the row to start from (null: the one the Tab into the sheet made
    // current), the keys, and the state after them.
    const std::tuple<const char*, int32_t, const char*, const char*, const char*> cases[] = {
        {"Tab enters on the first row", viewCategorized, nullptr, "", "[Archive] - grid"},
        {"Right unfolds and Down enters", viewCategorized, nullptr, "Right Down", "Archiving - grid"},
        {"Left goes up to the category", viewCategorized, nullptr, "Right Down Left", "[Archive] - grid"},
        {"- folds and Enter unfolds", viewCategorized, "Descriptor", "Left - Down Up Return Down",
         "Tag - grid"},
        {"read-only: current, no editor", viewAlphabetic, "PointID", "F2 Return 'x'", "PointID - grid"},
        {"F2 opens the editor", viewAlphabetic, "Descriptor", "F2", "Descriptor Descriptor editor"},
        {"Esc closes it", viewAlphabetic, "Descriptor", "F2 'x' Esc", "Descriptor - grid"},
        {"Tab skips read-only rows", viewAlphabetic, "PointSource", "F2 Tab", "PtAccess PtAccess editor"},
        {"Shift+Tab goes back", viewAlphabetic, "ExDesc", "F2 Shift+Tab", "ExcMin ExcMin editor"},
        {"Tab past the last leaves", viewAlphabetic, nullptr, "End F2 Tab", "Zero - after"},
        {"Tab from the grid leaves", viewAlphabetic, nullptr, "Tab", "Tag - after"},
        {"Page Down and Page Up move a page", viewAlphabetic, nullptr, "PgDown PgDown PgUp",
         "DataGroup - grid"},
    };
    for (const auto& [behaviour, shownView, start, keys, expected] : cases) {
        SCOPED_TRACE(behaviour);
        bind(shownView);
        if (start) goTo(start);
        pressKeys(QString::fromUtf8(keys));
        EXPECT_EQ(state(), expected);
    }
    click("EngUnits", columnName);  // a name cell makes its row current and opens nothing
    EXPECT_EQ(state(), "EngUnits - grid");
}

}  // namespace
}  // namespace vq::test
