#include "editors/ComboButton.h"

#include "EditorTestWindow.h"
#include "platform/PropertyBag.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>

#include <vector>

using namespace Qt::StringLiterals;
using vq::ComboButton;
using vq::PropertyBag;
using vq::test::EditorTestWindow;

namespace {

struct Window : EditorTestWindow<ComboButton> {
    Window() : EditorTestWindow(QSize(2400, 315)) {}
    QComboBox* combo1() const { return child<QComboBox>("Combo1"); }
    QPushButton* command1() const { return child<QPushButton>("Command1"); }
    // The list as "blank|newest|...|oldest", the blank shown as "_", the selected item in brackets.
    QString items() const {
        QStringList texts;
        for (int i = 0; i < combo1()->count(); ++i) {
            const QString text = combo1()->itemText(i) == u" "_s ? u"_"_s : combo1()->itemText(i);
            texts << (i == combo1()->currentIndex() ? u"[%1]"_s.arg(text) : text);
        }
        return texts.join(u'|');
    }
};

}  // namespace

TEST(ComboButtonTest, LayoutPutsTheButtonAtTheRightAndForcesTheHeight) {
    struct Row {
        QSize size;
        QRect combo;
        QRect button;
    };
    const std::vector<Row> rows = {
        {{2400, 900}, {0, 0, 2120, 315}, {2120, 20, 275, 275}},
        {{200, 315}, {0, 0, 0, 315}, {0, 20, 275, 275}},  // narrower than the button
    };
    for (const Row& row : rows) {
        const ComboButton::Layout layout = ComboButton::layoutFor(row.size);
        EXPECT_EQ(layout.control, QSize(row.size.width(), 315));
        EXPECT_EQ(layout.combo, row.combo) << row.size.width();
        EXPECT_EQ(layout.button, row.button) << row.size.width();
    }
    Window w;
    w.editor->resize(vq::twipsToPixels(QSize(2400, 900)));
    EXPECT_EQ(w.command1()->geometry(), vq::twipsToPixels(ComboButton::layoutFor(QSize(2400, 900)).button));
}

// Given the recent entries, when a text is added, then the list reads newest first below the blank;
// a clear ("<clear>") keeps the blank, so the next entry goes below it.
TEST(ComboButtonTest, RecentEntriesMoveToTheTopAndTheOldestFallsOff) {
    struct Row {
        QStringList added;
        QString items;
    };
    const std::vector<Row> rows = {
        {{}, u"_"_s},
        {{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s}, u"_|[8]|7|6|5|4|3|2"_s},
        {{u"Alpha"_s, u"Beta"_s, u"  ALPHA "_s}, u"_|[  ALPHA ]|Beta"_s},
        {{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s, u"3"_s}, u"_|[3]|8|7|6|5|4|2"_s},
        {{u"old"_s, u"<clear>"_s, u"new"_s}, u"_|[new]"_s},
    };
    for (const Row& row : rows) {
        Window w;
        for (const QString& text : row.added)
            text == u"<clear>" ? w.editor->ComboClear() : w.editor->AddItem(text);
        EXPECT_EQ(w.items(), row.items) << row.added.join(',').toStdString();
    }
}

TEST(ComboButtonTest, TheFocusGoesToTheListAndTheButtonRaisesButtonClick) {
    Window w;
    QSignalSpy enter(w.editor, &ComboButton::OnEnterKeyPress);
    QSignalSpy button(w.editor, &ComboButton::ButtonClick);
    w.editor->setFocus();
    EXPECT_TRUE(w.combo1()->hasFocus());
    QTest::mouseClick(w.command1(), Qt::LeftButton);
    EXPECT_EQ(button.count(), 1);
    EXPECT_EQ(enter.count(), 0);
}
