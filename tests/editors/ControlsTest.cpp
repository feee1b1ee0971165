#include "EditorTestWindow.h"
#include "ErrorNumber.h"

#include "editors/ComboButton.h"
#include "editors/DropDownList.h"
#include "editors/OptOnOff.h"
#include "editors/PropertyErrors.h"
#include "editors/SecurityControl.h"
#include "editors/TimeDivisionControl.h"
#include "editors/TxtButton.h"
#include "editors/TxtComboControl.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include <functional>
#include <vector>

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

// The small editors the attribute editor is built from, each on an active form.
namespace {

// Rectangles in twips as "x,y wxh | ...".
template <typename... Rects>
QString rects(const Rects&... all) {
    QStringList texts;
    for (const QRect& r : {QRect(all)...})
        texts << u"%1,%2 %3x%4"_s.arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    return texts.join(u" | "_s);
}

QRect sized(QSize size) {
    return QRect(QPoint(), size);
}

QString shown(const ComboButton::Layout& l) {
    return rects(sized(l.control), l.combo, l.button);
}
QString shown(const TxtButton::Layout& l) {
    return rects(l.text, l.button);
}
QString shown(const TxtComboControl::Layout& l) {
    return rects(sized(l.control), l.text, l.combo, l.frame);
}
QString shown(const SecurityControl::Layout& l) {
    return rects(sized(l.control), l.owner, l.group, l.world);
}

// Each control's layout in twips, the edge cases included. The security lists keep their designed
// width up to the narrow width; wider, each takes a third and overlaps its neighbour by 50.
TEST(EditorLayout, ChildrenInTwips) {
    const std::pair<QString, const char*> rows[] = {
        {shown(ComboButton::layoutFor({2400, 900})), "0,0 2400x315 | 0,0 2120x315 | 2120,20 275x275"},
        {shown(ComboButton::layoutFor({200, 315})), "0,0 200x315 | 0,0 0x315 | 0,20 275x275"},
        {rects(DropDownList::layoutFor({2500, 600})), "0,0 2500x315"},
        {rects(sized(OptOnOff::layoutFor({2000, 500}).control)), "0,0 1300x300"},
        {shown(TxtButton::layoutFor({200, 315}, 315)), "0,0 0x315 | 0,15 315x285"},
        {shown(TxtButton::layoutFor({3000, 600}, 450)), "0,0 2550x600 | 2550,15 450x570"},
        {shown(TxtButton::layoutFor({2000, 20}, 315)), "0,0 1685x20 | 1685,15 315x0"},
        {shown(TxtButton::layoutFor({2000, 315}, -50)), "0,0 2000x315 | 2000,15 0x285"},
        {shown(TxtComboControl::layoutFor({1000, 315}, 1155)),
         "0,0 1000x315 | 40,50 0x315 | 75,0 925x315 | 0,0 0x315"},
        {shown(TxtComboControl::layoutFor({3000, 900}, 2000)),
         "0,0 3000x315 | 40,50 940x315 | 1015,0 1985x315 | 0,0 1000x315"},
        {shown(TxtComboControl::layoutFor({50, 315}, 1155)),
         "0,0 50x315 | 40,50 0x315 | 75,0 0x315 | 0,0 0x315"},
        {shown(SecurityControl::layoutFor({1000, 1000})),
         "0,0 1000x315 | 0,0 800x315 | 750,0 800x315 | 1500,0 800x315"},
        {shown(SecurityControl::layoutFor({3000, 1000})),
         "0,0 3000x315 | 0,0 1050x315 | 1000,0 1050x315 | 2000,0 1050x315"}};
    for (const auto& [layout, expected] : rows) EXPECT_EQ(layout, QString::fromLatin1(expected));
}

template <typename T>
QWidget* makeIn(QWidget* form) {
    return new T(form);
}

// On a resize (or a change of a width property) the children move to their layout, and controls
// of a fixed size or height keep it.
TEST(EditorLayout, ChildrenFollowTheLayoutOnAResize) {
    struct Row {
        QWidget* (*make)(QWidget*);
        QSize size;
        const char* property;  // written after the resize, null for none
        const char* child;     // null: the control itself
        QRect expected;
    };
    const Row rows[] = {
        {makeIn<ComboButton>, {2400, 900}, nullptr, "Command1", ComboButton::layoutFor({2400, 900}).button},
        {makeIn<DropDownList>, {3000, 315}, nullptr, "Combo1", DropDownList::layoutFor({3000, 315})},
        {makeIn<OptOnOff>, {2000, 500}, nullptr, nullptr, {0, 0, 1300, 300}},
        {makeIn<OptOnOff>, {2000, 500}, nullptr, "optOff", OptOnOff::layoutFor({2000, 500}).off},
        {makeIn<TxtButton>,
         {2400, 345},
         "ButtonWidth",
         "Command1",
         TxtButton::layoutFor({2400, 345}, 600).button},
        {makeIn<TxtComboControl>, {3000, 900}, nullptr, nullptr, {0, 0, 3000, 315}},
        {makeIn<TxtComboControl>,
         {3000, 900},
         "ComboWidth",
         "Combo1",
         TxtComboControl::layoutFor({3000, 900}, 600).combo},
        {makeIn<SecurityControl>,
         {3000, 600},
         nullptr,
         "cboGroup",
         SecurityControl::layoutFor({3000, 600}).group},
        {makeIn<TimeDivisionControl>, {3000, 600}, nullptr, nullptr, {0, 0, 1745, 315}}};
    for (const Row& row : rows) {
        EditorTestWindow<QWidget> window(QSize(3000, 900));
        QWidget* control = row.make(window.editor);
        control->show();
        control->resize(twipsToPixels(row.size));
        if (row.property) control->setProperty(row.property, 600);
        SCOPED_TRACE(std::string(control->metaObject()->className()) + " " + (row.child ? row.child : ""));
        QWidget* child = row.child ? control->findChild<QWidget*>(QString::fromLatin1(row.child)) : control;
        EXPECT_EQ(child->geometry(), twipsToPixels(row.expected));
    }
}

// The list as "blank|newest|...|oldest", the blank shown as "_", the selected item in brackets.
QString recentItems(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        const QString text = list->itemText(i) == u" "_s ? u"_"_s : list->itemText(i);
        texts << (i == list->currentIndex() ? u"[%1]"_s.arg(text) : text);
    }
    return texts.join(u'|');
}

// Given the recent entries, when a text is added, then the list reads newest first below the blank;
// a clear ("<clear>") keeps the blank, so the next entry goes below it.
TEST(ComboButtonTest, RecentEntriesMoveToTheTopAndTheOldestFallsOff) {
    const QStringList eight = {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s};
    const std::pair<QStringList, QString> rows[] = {
        {{}, u"_"_s},
        {eight, u"_|[8]|7|6|5|4|3|2"_s},
        {{u"Alpha"_s, u"Beta"_s, u"  ALPHA "_s}, u"_|[  ALPHA ]|Beta"_s},
        {eight + QStringList{u"3"_s}, u"_|[3]|8|7|6|5|4|2"_s},
        {{u"old"_s, u"<clear>"_s, u"new"_s}, u"_|[new]"_s}};
    for (const auto& [added, items] : rows) {
        ComboButton control;
        for (const QString& text : added) text == u"<clear>" ? control.ComboClear() : control.AddItem(text);
        EXPECT_EQ(recentItems(control.findChild<QComboBox*>(u"Combo1"_s)), items)
            << added.join(',').toStdString();
    }
}

TEST(ComboButtonTest, TheFocusGoesToTheListAndTheButtonRaisesButtonClick) {
    EditorTestWindow<ComboButton> w(QSize(2400, 315));
    QSignalSpy enter(w.editor, &ComboButton::OnEnterKeyPress);
    QSignalSpy button(w.editor, &ComboButton::ButtonClick);
    w.editor->setFocus();
    EXPECT_TRUE(w.child<QComboBox>("Combo1")->hasFocus());
    QTest::mouseClick(w.child<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_EQ(button.count(), 1);
    EXPECT_EQ(enter.count(), 0);
}

struct DropDownWindow : EditorTestWindow<DropDownList> {
    DropDownWindow() : EditorTestWindow(QSize(2000, 315)) {
        for (const QString& item : {u"apple"_s, u"banana"_s, u"cherry"_s}) editor->AddItem(item);
        editor->setFocus();
    }
    QComboBox* combo1() const { return child<QComboBox>("Combo1"); }
};

TEST(DropDownListTest, TheListDropsWideEnoughForItsItems) {
    DropDownWindow w;
    const QString longItem = u"A digital state name far wider than the list box"_s;
    w.editor->AddItem(longItem);
    EXPECT_GT(w.combo1()->view()->minimumWidth(),
              w.combo1()->view()->fontMetrics().horizontalAdvance(longItem));
}

// The host's handlers see every key as code, shift state and character, in this order, and change
// what the list receives through the arguments they get by reference.
TEST(DropDownListTest, KeyEventsCarryCodesShiftAndCharacter) {
    struct Row {
        char letter;  // typed as a character when not 0
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString trace;
    };
    const Row rows[] = {{'b', {}, {}, u"Down 66/0, Press 98, Up 66/0"_s},
                        {'B', {}, Qt::ShiftModifier, u"Down 16/1, Down 66/1, Press 66, Up 66/1, Up 16/0"_s},
                        {0, Qt::Key_Return, {}, u"Down 13/0, Press 13, Up 13/0"_s},
                        {0, Qt::Key_Down, Qt::ControlModifier, u"Down 17/2, Down 40/2, Up 40/2, Up 17/0"_s},
                        {0, Qt::Key_F2, {}, u"Down 113/0, Up 113/0"_s}};
    for (const Row& row : rows) {
        DropDownWindow w;
        QStringList trace;
        QObject::connect(w.editor, &DropDownList::KeyDown, [&](int16_t& code, int16_t& shift) {
            trace << u"Down %1/%2"_s.arg(code).arg(shift);
        });
        QObject::connect(w.editor, &DropDownList::KeyPress,
                         [&](int16_t& ascii) { trace << u"Press %1"_s.arg(ascii); });
        QObject::connect(w.editor, &DropDownList::KeyUp,
                         [&](int16_t& code, int16_t& shift) { trace << u"Up %1/%2"_s.arg(code).arg(shift); });
        row.letter ? QTest::keyClick(kFocused, row.letter, row.modifiers)
                   : QTest::keyClick(kFocused, row.key, row.modifiers);
        EXPECT_EQ(trace.join(u", "_s), row.trace) << row.trace.toStdString();
    }
}

TEST(DropDownListTest, HandlersChangeOrSwallowTheKey) {
    struct Row {
        const char* what;
        Qt::Key key;
        int ascii;  // what the KeyPress handler puts in KeyAscii; -1: no handler
        int code;   // what the KeyDown handler puts in KeyCode; -1: no handler
        int16_t index;
    };
    const Row rows[] = {{"no handler: 'b' finds banana", Qt::Key_B, -1, -1, 1},
                        {"KeyAscii 0 swallows 'b'", Qt::Key_B, 0, -1, 0},
                        {"KeyAscii 'c' for 'b' finds cherry", Qt::Key_B, 'c', -1, 2},
                        {"KeyCode 0 swallows Down", Qt::Key_Down, -1, 0, 0},
                        {"KeyCode End for Down", Qt::Key_Down, -1, 35, 2}};
    for (const Row& row : rows) {
        DropDownWindow w;
        w.editor->SetListIndex(0);
        if (row.ascii >= 0)
            QObject::connect(w.editor, &DropDownList::KeyPress, [&](int16_t& ascii) { ascii = row.ascii; });
        if (row.code >= 0)
            QObject::connect(w.editor, &DropDownList::KeyDown,
                             [&](int16_t& code, int16_t&) { code = row.code; });
        QTest::keyClick(kFocused, row.key);
        EXPECT_EQ(w.editor->ListIndex(), row.index) << row.what;
    }
}

// Bad positions, indexes and text box values are errors and change nothing.
TEST(EditorErrors, ValuesOutOfRangeAreRejected) {
    DropDownWindow w;
    TxtButton text;
    const std::pair<int32_t, std::function<void()>> rows[] = {
        {kInvalidProcedureCall, [&] { w.editor->AddItem(u"x"_s, 4); }},
        {kInvalidProcedureCall, [&] { w.editor->AddItem(u"x"_s, -1); }},
        {kInvalidPropertyValue, [&] { w.editor->SetListIndex(3); }},
        {kInvalidPropertyValue, [&] { w.editor->SetListIndex(-2); }},
        {kInvalidPropertyValue, [&] { text.SetAlignment(3); }},
        {kInvalidPropertyValue, [&] { text.SetAlignment(-1); }},
        {kInvalidPropertyValue, [&] { text.SetBorderStyle(2); }},
        {kInvalidPropertyValue, [&] { text.SetSelStart(-1); }},
        {kInvalidPropertyValue, [&] { text.SetSelLength(-2); }}};
    for (const auto& [number, act] : rows) EXPECT_EQ(errorNumberOf(act), number);
    EXPECT_EQ(w.combo1()->count(), 3);
    EXPECT_EQ(text.Alignment(), 0);
    EXPECT_EQ(text.BorderStyle(), 1);
    w.editor->AddItem(u"date"_s, 3);
    EXPECT_EQ(w.combo1()->itemText(3), u"date"_s);
}

// Unlike its family, the list saves an empty selection (it differs from 0); an index past the
// list loads as no selection.
TEST(DropDownListTest, PropertiesRoundTripAndAnIndexPastTheListLoadsAsNoSelection) {
    DropDownWindow w;
    EXPECT_EQ(savedText(*w.editor), R"({"ListIndex":{"type":"Int16","value":-1}})");
    w.editor->SetListIndex(2);
    w.editor->SetForeColor(0x0000FF);
    QFont font = w.editor->Font();
    font.setPointSize(14);
    w.editor->SetFont(font);
    PropertyBag saved;
    w.editor->WriteProperties(saved);

    DropDownWindow loaded;
    loaded.editor->ReadProperties(saved);
    EXPECT_EQ(loaded.editor->ListIndex(), 2);
    EXPECT_EQ(loaded.editor->Font().pointSize(), 14);
    EXPECT_EQ(loaded.combo1()->palette().color(QPalette::Active, QPalette::ButtonText), QColor(Qt::red));
    DropDownList empty;
    empty.ReadProperties(saved);
    EXPECT_EQ(empty.ListIndex(), -1) << "the host has not filled the list yet";
}

// Writing `Value` moves the buttons silently and reads back as written; a click raises one event
// and makes `Value` 1 or 0.
TEST(OptOnOffTest, WrittenValuesAreSilentClicksRaiseOneEvent) {
    using Window = EditorTestWindow<OptOnOff>;
    // Clicks on the button's indicator, away from the strip where the two buttons overlap.
    const auto click = [](const char* name) {
        return [name](Window& w) {
            QTest::mouseClick(w.child<QRadioButton>(name), Qt::LeftButton, {}, QPoint(6, 8));
        };
    };
    struct Row {
        int16_t written;
        QString shownAfterWrite;
        std::function<void(Window&)> act;
        int events;
        int16_t value;
        QString shown;
    };
    const Row rows[] = {{0, u"Off"_s, click("optOn"), 1, 1, u"On"_s},
                        {-1, u"On"_s, click("optOff"), 1, 0, u"Off"_s},
                        {-1, u"On"_s, click("optOn"), 1, 1, u"On"_s},
                        {0, u"Off"_s, [](Window& w) { w.editor->SetValue(7); }, 0, 7, u"On"_s},
                        {1, u"On"_s,
                         [](Window& w) {
                             w.child<QRadioButton>("optOn")->setFocus();
                             QTest::keyClick(kFocused, Qt::Key_Right);
                         },
                         1, 0, u"Off"_s}};
    for (const Row& row : rows) {
        Window w(QSize(1300, 300));
        const auto shown = [&w] {
            return w.child<QRadioButton>("optOn")->isChecked()    ? u"On"_s
                   : w.child<QRadioButton>("optOff")->isChecked() ? u"Off"_s
                                                                  : u"none"_s;
        };
        QSignalSpy clicks(w.editor, &OptOnOff::OnOptionClick);
        w.editor->SetValue(row.written);
        EXPECT_EQ(w.editor->Value(), row.written);
        EXPECT_EQ(shown(), row.shownAfterWrite) << row.written;
        row.act(w);
        EXPECT_EQ(clicks.count(), row.events) << row.written;
        EXPECT_EQ(w.editor->Value(), row.value) << row.written;
        EXPECT_EQ(shown(), row.shown) << row.written;
    }
}

struct TxtButtonWindow : EditorTestWindow<TxtButton> {
    TxtButtonWindow() : EditorTestWindow(QSize(3000, 315)) {
        log.record(editor, &TxtButton::OnEnterKeyPress, "Enter");
        log.record(editor, &TxtButton::OnKeyUp, "KeyUp");
        log.record(editor, &TxtButton::OnButtonClick, "Button");
    }
    SignalLog log;
};

TEST(TxtButtonTest, KeysFocusAndButtonRaiseTheirEventsInOrder) {
    struct Row {
        const char* what;
        std::function<void(TxtButtonWindow&)> act;
        QString events;
        QString text;
    };
    const Row rows[] = {
        {"typing", [](TxtButtonWindow&) { QTest::keyClicks(kFocused, u"ab"_s); }, u"KeyUp KeyUp"_s, u"xab"_s},
        {"Enter", [](TxtButtonWindow&) { QTest::keyClick(kFocused, Qt::Key_Return); }, u"Enter KeyUp"_s,
         u"x"_s},
        {"keypad Enter",
         [](TxtButtonWindow&) { QTest::keyClick(kFocused, Qt::Key_Enter, Qt::KeypadModifier); },
         u"Enter KeyUp"_s, u"x"_s},
        {"button click takes the focus first",
         [](TxtButtonWindow& w) { QTest::mouseClick(w.child<QPushButton>("Command1"), Qt::LeftButton); },
         u"Enter Button"_s, u"x"_s},
        {"Tab leaves the field", [](TxtButtonWindow&) { QTest::keyClick(kFocused, Qt::Key_Tab); }, u"Enter"_s,
         u"x"_s}};
    for (const Row& row : rows) {
        TxtButtonWindow w;
        w.editor->SetText(u"x"_s);
        w.editor->setFocus();
        auto* text1 = w.child<QLineEdit>("Text1");
        ASSERT_TRUE(text1->hasFocus()) << "the control hands its focus to Text1";
        QSignalSpy returnPressed(text1, &QLineEdit::returnPressed);
        row.act(w);
        EXPECT_EQ(w.log.text(), row.events) << row.what;
        EXPECT_EQ(w.editor->Text(), row.text) << row.what;
        EXPECT_EQ(returnPressed.count(), 0) << row.what << ": Enter must not reach the text box";
        EXPECT_EQ(w.formKeys.presses, 0) << row.what << ": keys in Text1 stay in Text1";
    }
}

struct TxtComboWindow : EditorTestWindow<TxtComboControl> {
    TxtComboWindow() : EditorTestWindow(QSize(3000, 315)) {
        log.record(editor, &TxtComboControl::OnEnterKeyPress, "Enter");
        log.record(editor, &TxtComboControl::OnKeyUp, "KeyUp");
        log.record(editor, &TxtComboControl::OnListIndexChange, "Change");
        log.record(editor, &TxtComboControl::TextLostFocus, "LostFocus");
        for (const QString& item : {u"Alpha"_s, u"Beta"_s, u"Gamma"_s}) editor->AddItem(item);
    }
    // The user moves to the next item with the Down key.
    void pickNext() const { QTest::keyClick(child<QComboBox>("Combo1"), Qt::Key_Down); }
    SignalLog log;
};

// The first selection after the control starts is only recorded, by the user or by code alike;
// every later different one, by the user or by code, raises one event.
TEST(TxtComboControlTest, FirstSelectionIsSilentLaterChangesRaiseOneEvent) {
    struct Row {
        const char* what;
        std::function<void(TxtComboWindow&)> act;
        QString events;
        int16_t index;
    };
    const Row rows[] = {
        {"first pick by the user", [](TxtComboWindow& w) { w.pickNext(); }, u""_s, 0},
        {"first by code, then the user", [](TxtComboWindow& w) { w.editor->SetListIndex(2), w.pickNext(); },
         u""_s, 2},
        {"first by code, then by code",
         [](TxtComboWindow& w) { w.editor->SetListIndex(0), w.editor->SetListIndex(2); }, u"Change"_s, 2},
        {"three changes",
         [](TxtComboWindow& w) { w.pickNext(), w.pickNext(), w.pickNext(), w.editor->SetListIndex(0); },
         u"Change Change Change"_s, 0},
        {"refilling the list is no selection",
         [](TxtComboWindow& w) { w.pickNext(), w.editor->ComboClear(), w.editor->AddItem(u"Delta"_s); },
         u""_s, -1}};
    for (const Row& row : rows) {
        TxtComboWindow w;
        EXPECT_EQ(w.editor->ListIndex(), -1) << "adding items selects nothing";
        row.act(w);
        EXPECT_EQ(w.log.text(), row.events) << row.what;
        EXPECT_EQ(w.editor->ListIndex(), row.index) << row.what;
    }
}

struct TimeWindow : EditorTestWindow<TimeDivisionControl> {
    TimeWindow() : EditorTestWindow(TimeDivisionControl::kSize) {}
    QLineEdit* field(int unit) const { return editor->findChild<QLineEdit*>(u"txtTime(%1)"_s.arg(unit)); }
    // The fields left to right: "days hours minutes seconds".
    QString shown() const {
        QStringList texts;
        for (int unit = TimeDivisionControl::Days; unit >= TimeDivisionControl::Seconds; --unit)
            texts << field(unit)->text();
        return texts.join(u' ');
    }
};

// A written time shows split by floor division; reading folds the fields back into seconds.
TEST(TimeDivisionControlTest, WrittenTimeIsShownSplit) {
    struct Row {
        Variant time;
        QString fields;
        Variant read;
    };
    const Row rows[] = {{int32_t(3661), u"0 1 1 1"_s, 3661.0},  {86400.0, u"1 0 0 0"_s, 86400.0},
                        {90.5, u"0 0 1 30.5"_s, 90.5},          {int32_t(-30), u"-1 23 59 30"_s, -30.0},
                        {-0.1, u"-1 23 59 59.9"_s, Variant()},  // reads back as -0.1 give or take rounding
                        {u" 120 "_s, u"0 0 2 0"_s, 120.0},      {u"soon"_s, u"0 0 0 ?"_s, u"?"_s},
                        {Variant::null(), u"0 0 0 ?"_s, u"?"_s}};
    TimeWindow window;
    EXPECT_EQ(window.shown(), u"0 0 0 0"_s);
    EXPECT_EQ(window.editor->Time(), Variant(0.0));
    for (const Row& row : rows) {
        window.editor->SetTime(row.time);
        EXPECT_EQ(window.shown(), row.fields) << debugText(row.time).toStdString();
        EXPECT_EQ(row.read.isEmpty() ? row.read : window.editor->Time(), row.read)
            << debugText(row.time).toStdString();
    }
}

// Typing, then Enter or leaving the field: the fields are folded, normalised and shown again,
// and each commit is reported once. Enter itself never reaches the field or the form.
TEST(TimeDivisionControlTest, CommitNormalisesTheFields) {
    struct Row {
        int unit;
        QString typed;
        Qt::Key commitKey;
        QString fields;
    };
    const Row rows[] = {
        {TimeDivisionControl::Seconds, u"90"_s, Qt::Key_Return, u"0 0 1 30"_s},
        {TimeDivisionControl::Hours, u"25"_s, Qt::Key_Enter, u"1 1 0 0"_s},
        {TimeDivisionControl::Minutes, u"120"_s, Qt::Key_Tab, u"0 2 0 0"_s},
        {TimeDivisionControl::Hours, u""_s, Qt::Key_Return, u"0 0 0 0"_s},
        {TimeDivisionControl::Seconds, u"1-"_s, Qt::Key_Return, u"0 0 0 1"_s},  // no negative seconds
        {TimeDivisionControl::Days, u"0.5"_s, Qt::Key_Return, u"0 12 0 0"_s}};
    for (const Row& row : rows) {
        TimeWindow window;
        QLineEdit* field = window.field(row.unit);
        SCOPED_TRACE(field->objectName().toStdString() + " " + row.typed.toStdString());
        field->setFocus();
        QSignalSpy enters(window.editor, &TimeDivisionControl::OnEnterKeyPress);
        QSignalSpy returns(field, &QLineEdit::returnPressed);
        // Backspace to empty the field, then the keys, as a user does.
        QTest::keyClick(field, Qt::Key_End);
        while (!field->text().isEmpty()) QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, row.typed);
        QTest::keyClick(kFocused, row.commitKey);
        EXPECT_EQ(window.shown(), row.fields);
        EXPECT_EQ(enters.count(), 1);
        EXPECT_EQ(returns.count(), 0);
        EXPECT_EQ(window.formKeys.presses, 0);
    }
}

// Every key release validates the field (a letter is taken back) and reports a pending change,
// navigation keys included; the stored time waits for the commit, which a click elsewhere makes.
TEST(TimeDivisionControlTest, KeyReleasesValidateAndReportPendingChanges) {
    TimeWindow window;
    QLineEdit* seconds = window.field(TimeDivisionControl::Seconds);
    seconds->setFocus();
    window.editor->SetTime(int32_t(61));
    SignalLog log;
    log.record(window.editor, &TimeDivisionControl::OnEnterKeyPress, "Enter");
    log.record(window.editor, &TimeDivisionControl::OnPendingChange, "Pending");
    QTest::keyClick(seconds, Qt::Key_End);
    QTest::keyClicks(seconds, u"5x"_s);
    QTest::keyClick(seconds, Qt::Key_Left);
    EXPECT_EQ(seconds->text(), u"15"_s);
    EXPECT_EQ(log.text(), u"Pending Pending Pending Pending"_s);
    EXPECT_EQ(savedText(*window.editor), R"({"Time":{"type":"Int32","value":61}})");

    log.clear();
    QTest::mouseClick(window.field(TimeDivisionControl::Days), Qt::LeftButton);
    EXPECT_EQ(log.text(), u"Enter"_s);
    EXPECT_EQ(window.shown(), u"0 0 1 15"_s);
}

// The fields run days to seconds, left to right and in the tab order.
TEST(TimeDivisionControlTest, FieldsAndTabOrderRunDaysToSeconds) {
    TimeWindow window;
    for (int unit = TimeDivisionControl::Seconds; unit < TimeDivisionControl::Days; ++unit)
        EXPECT_GT(window.field(unit)->x(), window.field(unit + 1)->geometry().right()) << unit;
    window.editor->setFocus();
    QStringList order;
    for (int i = 0; i < 4; ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(kFocused, Qt::Key_Tab);
    }
    EXPECT_EQ(order.join(u' '), u"txtTime(3) txtTime(2) txtTime(1) txtTime(0)"_s);
}

}  // namespace
