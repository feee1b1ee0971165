#include "SheetTest.h"

#include "platform/ScreenServices.h"
#include "platform/ServicesContext.h"
#include "servers/Environment.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>

using namespace vq;
using namespace vq::test;

namespace {

using EditingTest = SheetTest;

TEST_F(EditingTest, OnlyTheValueCellOfAnEditableShownEntryOpensTheEditor) {
    const struct {
        const char* name;
        int32_t view;
        bool readonlySheet;
        const char* row;
        int column;
        bool opens;
    } cases[] = {
        {"name column", viewAlphabetic, false, "Descriptor", columnName, false},
        {"category row outside its sign", viewCategorized, false, "[Overview]", columnName, false},
        {"category row's value column", viewCategorized, false, "[Overview]", columnValue, false},
        {"read-only entry's value", viewAlphabetic, false, "PointID", columnValue, false},
        {"value under a read-only sheet", viewAlphabetic, true, "Descriptor", columnValue, false},
        {"editable entry's value", viewAlphabetic, false, "Descriptor", columnValue, true},
        {"editable entry's value, categorized", viewCategorized, false, "Descriptor", columnValue, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sheet->SetReadonly(c.readonlySheet);
        bind(c.view);
        click(c.row, c.column);
        EXPECT_EQ(editor()->isVisible(), c.opens);
        EXPECT_EQ(editor()->AttributeName(), c.opens ? QString::fromUtf8(c.row) : QString());
    }
}

TEST_F(EditingTest, TheEditorLiesOverTheValueCellWithItsStylesMarginsAndTheCaretWhereClicked) {
    const ScopedServices scrollBar(&ServicesContext::scrollBarWidth, [] { return std::optional<int>(17); });
    edit(*entries, "Descriptor=Boiler_feed");
    const struct {
        const char* name;
        int32_t view;
        int sheetHeight;
        const char* attribute;
        int margin, adjustment, x, caret;
        bool scrolls;
    } cases[] = {
        {"text style, left of the text", viewAlphabetic, 4000, "Descriptor", 30, -60, 1, 0, true},
        {"text style, right of the text", viewAlphabetic, 4000, "Descriptor", 30, -60, 150, 11, true},
        {"list style", viewAlphabetic, 4000, "PointType", 0, -10, 150, 0, true},
        {"categorized, all rows fit", viewCategorized, 6000, "Descriptor", 30, -60, 150, 11, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sheet->resize(twipsToPixels(QSize(5000, c.sheetHeight)));
        bind(c.view);
        if (c.view == viewCategorized)  // all but one category folded: the rows fit
            for (const char* category : {"[Archive]", "[Classic]", "[Display]", "[Security]", "[System]"})
                if (view()->isExpanded(at(category, columnSign))) click(category, columnSign);
        click(c.attribute, columnValue, c.x);
        ASSERT_TRUE(editor()->isVisible());
        const int signWidth = c.view == viewCategorized ? 275 : 0;
        const int width = 5000 - signWidth - 1725 - (c.scrolls ? GetScrollBarWidth() : 0) + c.adjustment;
        EXPECT_EQ(editor()->pos(),
                  cell(c.attribute, columnValue).topLeft() + QPoint(twipsToPixels(c.margin), 0));
        EXPECT_NEAR(editor()->width(), width / 15.0, 1.0);
        EXPECT_EQ(std::pair(editor()->SelStart(), editor()->SelLength()), std::pair(c.caret, 0));
    }
}

TEST_F(EditingTest, EnterCommitsAndHidesTheGridsFocusAndScrollingHide) {
    bind();
    sheet->SetHelpContextID(u"Span"_s, 4711);
    const std::function<void()> closers[] = {
        [] {
            QTest::keyClicks(QApplication::focusWidget(), u"0"_s),
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        },
        [this] { view()->setFocus(); },
        [this] { view()->verticalScrollBar()->setValue(3); },
        [this] { click("Descriptor", columnName); },
    };
    for (const auto& close : closers) {
        click("Span", columnValue);
        ASSERT_TRUE(editor()->isVisible() && editor()->isAncestorOf(QApplication::focusWidget()));
        EXPECT_EQ(sheet->HelpContextID(), 4711);
        QApplication::focusWidget()->setProperty("text", QString());
        close();
        EXPECT_FALSE(editor()->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), view());
    }
    EXPECT_EQ(sheet->HelpContextID(), VQPointPropSheet::kDefaultHelpContextID);
    EXPECT_EQ(entries->GetValue(u"Span"_s).toString(), u"0"_s);
    EXPECT_EQ(text("Span"), u"0"_s);
    EXPECT_EQ(at("Span", columnValue).data(Qt::ForegroundRole), QColor(255, 0, 0));

    // One editor at a time: a click on another value moves it there.
    click("Span", columnValue);
    click("Descriptor", columnValue);
    EXPECT_TRUE(editor()->isVisible());
    EXPECT_EQ(editor()->AttributeName(), u"Descriptor"_s);
    EXPECT_EQ(editor()->pos().y(), cell("Descriptor", columnValue).top());

    // Without an open editor a scroll (a refill, say) leaves the focus in the host's other controls.
    QLineEdit other(&form);
    other.show();
    other.setFocus();
    view()->verticalScrollBar()->setValue(0);
    EXPECT_EQ(QApplication::focusWidget(), &other);
}

}  // namespace
