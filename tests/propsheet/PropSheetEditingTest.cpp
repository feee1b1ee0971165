#include "SheetTest.h"

#include "platform/ScreenServices.h"
#include "servers/Environment.h"

#include <QApplication>
#include <QScrollBar>

using namespace vq;
using namespace vq::test;

namespace {

using EditingTest = SheetTest;

struct ClickCase {
    const char* name;
    int32_t view;
    bool readonlySheet;
    const char* target;  // an entry, or a category in brackets
    int column;
    bool opens;
};

TEST_F(EditingTest, OnlyTheValueCellOfAnEditableShownEntryOpensTheEditor) {
    const ClickCase cases[] = {
        {"name column", viewAlphabetic, false, "Descriptor", 3, false},
        {"category row outside its sign", viewCategorized, false, "[Overview]", 3, false},
        {"category row's value column", viewCategorized, false, "[Overview]", 4, false},
        {"read-only entry's value", viewAlphabetic, false, "PointID", 4, false},
        {"value under a read-only sheet", viewAlphabetic, true, "Descriptor", 4, false},
        {"editable entry's value", viewAlphabetic, false, "Descriptor", 4, true},
        {"editable entry's value, categorized", viewCategorized, false, "Descriptor", 4, true},
    };
    for (const ClickCase& c : cases) {
        SCOPED_TRACE(c.name);
        sheet->SetReadonly(c.readonlySheet);
        bind(c.view);
        const QString target = QString::fromUtf8(c.target);
        const int gridRow = target.startsWith(u'[')
                                ? categoryRow(target.mid(1).chopped(1).toUtf8().constData())
                                : row(c.target);
        click(gridRow, c.column);
        EXPECT_EQ(editor()->isVisible(), c.opens);
        EXPECT_EQ(editor()->AttributeName(), c.opens ? target : QString());
    }
}

struct PlacementCase {
    const char* name;
    int32_t view;
    int sheetHeight;
    const char* attribute;
    int margin;      // twips
    int adjustment;  // twips
    bool scrolls;
};

TEST_F(EditingTest, TheEditorLiesOverTheValueCellWithItsStylesMargins) {
    setScrollBarWidthSource([] { return std::optional<int>(17); });
    const PlacementCase cases[] = {
        {"text style", viewAlphabetic, 4000, "Descriptor", 30, -60, true},
        {"list style", viewAlphabetic, 4000, "PointType", 0, -10, true},
        {"categorized, all rows fit", viewCategorized, 6000, "Descriptor", 30, -60, false},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        sheet->resize(twipsToPixels(QSize(5000, c.sheetHeight)));
        bind(c.view);
        const int gridRow = row(c.attribute);
        click(gridRow, 4);
        ASSERT_TRUE(editor()->isVisible());
        const QRect target = cell(gridRow, 4);
        const int width =
            5000 - sheet->ColWidth(2) - 1725 - (c.scrolls ? GetScrollBarWidth() : 0) + c.adjustment;
        EXPECT_EQ(editor()->geometry().topLeft(), target.topLeft() + QPoint(twipsToPixels(c.margin), 0));
        EXPECT_NEAR(editor()->width(), width / 15.0, 1.0);
    }
    setScrollBarWidthSource({});
}

TEST_F(EditingTest, TheCaretGoesWhereTheValueWasClicked) {
    edit(*entries, "Descriptor=Boiler_feed");
    bind();
    const int descriptor = row("Descriptor");
    const struct {
        int x;
        int caret;
    } cases[] = {{1, 0}, {150, 11}};
    for (const auto& c : cases) {
        click(descriptor, 4, c.x);
        ASSERT_TRUE(editor()->isVisible());
        EXPECT_EQ(editor()->SelStart(), c.caret) << c.x;
        EXPECT_EQ(editor()->SelLength(), 0);
    }
}

TEST_F(EditingTest, EnterCommitsThroughTheEditorAndTheRowIsRewritten) {
    bind();
    sheet->SetHelpContextID(u"Span"_s, 4711);
    click(row("Span"), 4);
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(sheet->HelpContextID(), 4711);

    QWidget* typing = QApplication::focusWidget();
    ASSERT_TRUE(typing && editor()->isAncestorOf(typing));
    typing->setProperty("text", QString());
    QTest::keyClicks(typing, u"0"_s);
    QTest::keyClick(typing, Qt::Key_Return);

    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(grid().TextMatrix(row("Span"), 4), u"0"_s);
    EXPECT_EQ(grid().CellForeColor(row("Span"), 4), QColor(255, 0, 0));
}

TEST_F(EditingTest, TheEditorHidesWhenTheGridTakesTheFocusOrScrolls) {
    bind();
    const auto open = [&] {
        click(row("Descriptor"), 4);
        return editor()->isVisible();
    };
    ASSERT_TRUE(open());
    view()->setFocus();
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(sheet->HelpContextID(), VQPointPropSheet::kDefaultHelpContextID);

    ASSERT_TRUE(open());
    view()->verticalScrollBar()->setValue(3);
    EXPECT_FALSE(editor()->isVisible());
}

}  // namespace
