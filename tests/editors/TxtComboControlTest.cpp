#include "editors/TxtComboControl.h"

#include "EditorTestWindow.h"
#include "platform/PropertyBag.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>

#include <functional>
#include <vector>

using namespace Qt::StringLiterals;
using vq::PropertyBag;
using vq::TxtComboControl;
using vq::test::EditorTestWindow;
using vq::test::kFocused;
using vq::test::SignalLog;

namespace {

struct Window : EditorTestWindow<TxtComboControl> {
    Window() : EditorTestWindow(QSize(3000, 315)) {
        log.record(editor, &TxtComboControl::OnEnterKeyPress, "Enter");
        log.record(editor, &TxtComboControl::OnKeyUp, "KeyUp");
        log.record(editor, &TxtComboControl::OnListIndexChange, "Change");
        log.record(editor, &TxtComboControl::TextLostFocus, "LostFocus");
        for (const QString& item : {u"Alpha"_s, u"Beta"_s, u"Gamma"_s}) editor->AddItem(item);
    }
    QLineEdit* text1() const { return child<QLineEdit>("Text1"); }
    QComboBox* combo1() const { return child<QComboBox>("Combo1"); }
    // The user moves to the next item with the Down key.
    void pickNext() const { QTest::keyClick(combo1(), Qt::Key_Down); }
    SignalLog log;
};

}  // namespace

TEST(TxtComboControlTest, LayoutKeepsTheListAtTheRightEdgeAndTheHeightAt315) {
    struct Row {
        QSize size;
        int16_t comboWidth;
        QRect text;
        QRect combo;
        int frameWidth;
    };
    const std::vector<Row> rows = {
        {{1000, 315}, 1155, {40, 50, 0, 315}, {75, 0, 925, 315}, 0},
        {{3000, 900}, 2000, {40, 50, 940, 315}, {1015, 0, 1985, 315}, 1000},
        {{50, 315}, 1155, {40, 50, 0, 315}, {75, 0, 0, 315}, 0},
    };
    for (const Row& row : rows) {
        const TxtComboControl::Layout layout = TxtComboControl::layoutFor(row.size, row.comboWidth);
        EXPECT_EQ(layout.control, QSize(row.size.width(), 315)) << row.size.width();
        EXPECT_EQ(layout.text, row.text) << row.size.width();
        EXPECT_EQ(layout.combo, row.combo) << row.size.width();
        EXPECT_EQ(layout.frame, QRect(0, 0, row.frameWidth, 315)) << row.size.width();
    }
    // The control's height is forced and its children follow the layout.
    Window w;
    w.editor->resize(vq::twipsToPixels(QSize(3000, 900)));
    const TxtComboControl::Layout layout = TxtComboControl::layoutFor(QSize(3000, 900), 1155);
    EXPECT_EQ(w.editor->size(), vq::twipsToPixels(layout.control));
    EXPECT_EQ(w.combo1()->geometry(), vq::twipsToPixels(layout.combo));
}

// The first selection after the control starts is only recorded, by the user or by code alike;
// every later different one, by the user or by code, raises one event.
TEST(TxtComboControlTest, FirstSelectionIsSilentLaterChangesRaiseOneEvent) {
    struct Row {
        const char* what;
        std::function<void(Window&)> act;
        QString events;
        int16_t index;
    };
    const std::vector<Row> rows = {
        {"first pick by the user", [](Window& w) { w.pickNext(); }, u""_s, 0},
        {"first by code, then the user", [](Window& w) { w.editor->SetListIndex(2), w.pickNext(); }, u""_s,
         2},
        {"first by code, then by code",
         [](Window& w) { w.editor->SetListIndex(0), w.editor->SetListIndex(2); }, u"Change"_s, 2},
        {"three changes",
         [](Window& w) { w.pickNext(), w.pickNext(), w.pickNext(), w.editor->SetListIndex(0); },
         u"Change Change Change"_s, 0},
        {"refilling the list is no selection",
         [](Window& w) { w.pickNext(), w.editor->ComboClear(), w.editor->AddItem(u"Delta"_s); }, u""_s, -1},
    };
    for (const Row& row : rows) {
        Window w;
        EXPECT_EQ(w.editor->ListIndex(), -1) << "adding items selects nothing";
        row.act(w);
        EXPECT_EQ(w.log.text(), row.events) << row.what;
        EXPECT_EQ(w.editor->ListIndex(), row.index) << row.what;
    }
}
