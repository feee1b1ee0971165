#include "editors/TxtButton.h"

#include "EditorTestWindow.h"
#include "ErrorNumber.h"
#include "editors/PropertyErrors.h"
#include "platform/PropertyBag.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <functional>
#include <vector>

using namespace Qt::StringLiterals;
using vq::PropertyBag;
using vq::TxtButton;
using vq::test::EditorTestWindow;
using vq::test::kFocused;
using vq::test::SignalLog;

namespace {

struct LayoutRow {
    QSize size;
    int16_t buttonWidth;
    QRect text;
    QRect button;
};

struct Window : EditorTestWindow<TxtButton> {
    Window() : EditorTestWindow(QSize(3000, 315)) {
        log.record(editor, &TxtButton::OnEnterKeyPress, "Enter");
        log.record(editor, &TxtButton::OnKeyUp, "KeyUp");
        log.record(editor, &TxtButton::OnButtonClick, "Button");
    }
    QLineEdit* text1() const { return child<QLineEdit>("Text1"); }
    QPushButton* command1() const { return child<QPushButton>("Command1"); }
    SignalLog log;
};

}  // namespace

TEST(TxtButtonTest, LayoutGivesTheButtonItsWidthAndTheTextTheRest) {
    const std::vector<LayoutRow> rows = {
        {{200, 315}, 315, {0, 0, 0, 315}, {0, 15, 315, 285}},  // narrower than the button
        {{3000, 600}, 450, {0, 0, 2550, 600}, {2550, 15, 450, 570}},
        {{2000, 20}, 315, {0, 0, 1685, 20}, {1685, 15, 315, 0}},  // too low for the button
        {{2000, 315}, -50, {0, 0, 2000, 315}, {2000, 15, 0, 285}},
    };
    for (const LayoutRow& row : rows) {
        const TxtButton::Layout layout = TxtButton::layoutFor(row.size, row.buttonWidth);
        EXPECT_EQ(layout.text, row.text) << row.size.width() << " x " << row.size.height();
        EXPECT_EQ(layout.button, row.button) << row.size.width() << " x " << row.size.height();
    }
    // The children follow the layout on a resize and on a change of the button's width.
    Window w;
    w.editor->resize(vq::twipsToPixels(QSize(2400, 345)));
    w.editor->SetButtonWidth(600);
    EXPECT_EQ(w.command1()->geometry(),
              vq::twipsToPixels(TxtButton::layoutFor(QSize(2400, 345), 600).button));
}

TEST(TxtButtonTest, KeysFocusAndButtonRaiseTheirEventsInOrder) {
    struct Row {
        const char* what;
        std::function<void(Window&)> act;
        QString events;
        QString text;
    };
    const std::vector<Row> rows = {
        {"typing", [](Window&) { QTest::keyClicks(kFocused, u"ab"_s); }, u"KeyUp KeyUp"_s, u"xab"_s},
        {"Enter", [](Window&) { QTest::keyClick(kFocused, Qt::Key_Return); }, u"Enter KeyUp"_s, u"x"_s},
        {"keypad Enter", [](Window&) { QTest::keyClick(kFocused, Qt::Key_Enter, Qt::KeypadModifier); },
         u"Enter KeyUp"_s, u"x"_s},
        {"button click takes the focus first",
         [](Window& w) { QTest::mouseClick(w.command1(), Qt::LeftButton); }, u"Enter Button"_s, u"x"_s},
        {"Tab leaves the field", [](Window&) { QTest::keyClick(kFocused, Qt::Key_Tab); }, u"Enter"_s, u"x"_s},
    };
    for (const Row& row : rows) {
        Window w;
        w.editor->SetText(u"x"_s);
        w.editor->setFocus();
        ASSERT_TRUE(w.text1()->hasFocus()) << "the control hands its focus to Text1";
        QSignalSpy returnPressed(w.text1(), &QLineEdit::returnPressed);
        row.act(w);
        EXPECT_EQ(w.log.text(), row.events) << row.what;
        EXPECT_EQ(w.editor->Text(), row.text) << row.what;
        EXPECT_EQ(returnPressed.count(), 0) << row.what << ": Enter must not reach the text box";
        EXPECT_EQ(w.formKeys.presses, 0) << row.what << ": keys in Text1 stay in Text1";
    }
}

TEST(TxtButtonTest, BadValuesForTheTextBoxAreErrors) {
    TxtButton control;
    const std::vector<std::pair<const char*, std::function<void()>>> rows = {
        {"Alignment 3", [&] { control.SetAlignment(3); }},
        {"Alignment -1", [&] { control.SetAlignment(-1); }},
        {"BorderStyle 2", [&] { control.SetBorderStyle(2); }},
        {"SelStart -1", [&] { control.SetSelStart(-1); }},
        {"SelLength -2", [&] { control.SetSelLength(-2); }},
    };
    for (const auto& [what, act] : rows) {
        EXPECT_EQ(vq::test::errorNumberOf(act), vq::kInvalidPropertyValue) << what;
    }
    EXPECT_EQ(control.Alignment(), 0);
    EXPECT_EQ(control.BorderStyle(), 1);
}
