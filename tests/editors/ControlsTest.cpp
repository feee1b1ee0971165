#include "EditorTestWindow.h"

#include "editors/PropertyErrors.h"

#include <QAbstractItemView>
#include <QKeySequence>

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

QString shown(const ComboButton::Layout& l) {
    return rects(QRect({}, l.control), l.combo, l.button);
}
QString shown(const TxtButton::Layout& l) {
    return rects(l.text, l.button);
}
QString shown(const TxtComboControl::Layout& l) {
    return rects(QRect({}, l.control), l.text, l.combo, l.frame);
}
QString shown(const SecurityControl::Layout& l) {
    return rects(QRect({}, l.control), l.owner, l.group, l.world);
}

// Each control's layout in twips, the edge cases included. The security lists keep their designed
// width up to the narrow width; wider, each takes a third and overlaps its neighbour by 50.
TEST(EditorLayout, ChildrenInTwips) {
    const std::pair<QString, const char*> rows[] = {
        {shown(ComboButton::layoutFor({2400, 900})), "0,0 2400x315 | 0,0 2120x315 | 2120,20 275x275"},
        {shown(ComboButton::layoutFor({200, 315})), "0,0 200x315 | 0,0 0x315 | 0,20 275x275"},
        {rects(DropDownList::layoutFor({2500, 600})), "0,0 2500x315"},
        {rects(QRect({}, OptOnOff::layoutFor({2000, 500}).control)), "0,0 1300x300"},
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

// On a resize to 3000 x 900 (and a change of a width property to 600) the children move to their
// layout, and controls of a fixed size or height keep it.
TEST(EditorLayout, ChildrenFollowTheLayoutOnAResize) {
    const QSize size(3000, 900);
    // The control, the width property written after the resize (or none), the child (none: the
    // control itself) and where it lies.
    const std::tuple<Maker, const char*, const char*, QRect> rows[] = {
        {makeIn<ComboButton>, nullptr, "Command1", ComboButton::layoutFor(size).button},
        {makeIn<DropDownList>, nullptr, "Combo1", DropDownList::layoutFor(size)},
        {makeIn<OptOnOff>, nullptr, nullptr, {0, 0, 1300, 300}},
        {makeIn<OptOnOff>, nullptr, "optOff", OptOnOff::layoutFor(size).off},
        {makeIn<TxtButton>, "ButtonWidth", "Command1", TxtButton::layoutFor(size, 600).button},
        {makeIn<TxtComboControl>, nullptr, nullptr, {0, 0, 3000, 315}},
        {makeIn<TxtComboControl>, "ComboWidth", "Combo1", TxtComboControl::layoutFor(size, 600).combo},
        {makeIn<SecurityControl>, nullptr, "cboGroup", SecurityControl::layoutFor(size).group},
        {makeIn<TimeDivisionControl>, nullptr, nullptr, {0, 0, 1745, 315}}};
    for (const auto& [make, property, name, expected] : rows) {
        EditorTestWindow<QWidget> window(QSize(3000, 900));
        QWidget* control = make(window.editor);
        control->show();
        control->resize(twipsToPixels(size));
        if (property) control->setProperty(property, 600);
        SCOPED_TRACE(std::string(control->metaObject()->className()) + " " + (name ? name : ""));
        QWidget* child = name ? control->findChild<QWidget*>(QString::fromLatin1(name)) : control;
        EXPECT_EQ(child->geometry(), twipsToPixels(expected));
    }
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
        EXPECT_EQ(listed(control.findChild<QComboBox*>(u"Combo1"_s)), items) << added.join(',').toStdString();
    }
}

struct DropDownWindow : EditorTestWindow<DropDownList> {
    DropDownWindow() : EditorTestWindow(QSize(2000, 315)) {
        for (const QString& item : {u"apple"_s, u"banana"_s, u"cherry"_s}) editor->AddItem(item);
        editor->setFocus();
    }
    QComboBox* combo1() const { return child<QComboBox>("Combo1"); }
};

// The host's handlers see every key as code, shift state and character, in this order, and change
// what the list receives through the arguments they get by reference.
TEST(DropDownListTest, HandlersSeeCodesShiftAndCharacterAndMayChangeOrSwallowTheKey) {
    // A character typed (or 0), else a key; the modifiers; what the KeyPress handler puts in KeyAscii
    // and the KeyDown handler in KeyCode (-1: leaves it); the handlers' trace and the index after.
    const std::tuple<char, Qt::Key, Qt::KeyboardModifiers, int, int, QString> rows[] = {
        {'b', {}, {}, -1, -1, u"Down 66/0, Press 98, Up 66/0 #1"_s},
        {'B', {}, Qt::ShiftModifier, -1, -1, u"Down 16/1, Down 66/1, Press 66, Up 66/1, Up 16/0 #1"_s},
        {0, Qt::Key_Return, {}, -1, -1, u"Down 13/0, Press 13, Up 13/0 #0"_s},
        {0, Qt::Key_Down, Qt::ControlModifier, -1, -1, u"Down 17/2, Down 40/2, Up 40/2, Up 17/0 #0"_s},
        {0, Qt::Key_F2, {}, -1, -1, u"Down 113/0, Up 113/0 #0"_s},
        {'b', {}, {}, 0, -1, u"Down 66/0, Press 98, Up 66/0 #0"_s},
        {'b', {}, {}, 'c', -1, u"Down 66/0, Press 98, Up 66/0 #2"_s},
        {'b', {}, {}, -1, 0, u"Down 66/0, Up 66/0 #0"_s},
        {0, Qt::Key_Down, {}, -1, 35, u"Down 40/0, Up 40/0 #2"_s}};
    for (const auto& [letter, key, modifiers, ascii, code, expected] : rows) {
        DropDownWindow w;
        w.editor->SetListIndex(0);
        QStringList trace;
        QObject::connect(w.editor, &DropDownList::KeyDown, [&](int16_t& keyCode, int16_t& shift) {
            trace << u"Down %1/%2"_s.arg(keyCode).arg(shift);
            if (code >= 0) keyCode = int16_t(code);
        });
        QObject::connect(w.editor, &DropDownList::KeyPress, [&](int16_t& keyAscii) {
            trace << u"Press %1"_s.arg(keyAscii);
            if (ascii >= 0) keyAscii = int16_t(ascii);
        });
        QObject::connect(w.editor, &DropDownList::KeyUp, [&](int16_t& keyCode, int16_t& shift) {
            trace << u"Up %1/%2"_s.arg(keyCode).arg(shift);
        });
        letter ? QTest::keyClick(kFocused, letter, modifiers) : QTest::keyClick(kFocused, key, modifiers);
        EXPECT_EQ(trace.join(u", "_s) + u" #"_s + QString::number(w.editor->ListIndex()), expected);
    }
}

// Bad positions, indexes and text box values are errors and change nothing; an item added at the
// end is listed there, and the list drops wide enough for it.
TEST(EditorErrors, ValuesOutOfRangeAreRejectedAndAnItemAtTheEndWidensTheList) {
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
    const QString longItem = u"A digital state name far wider than the list box"_s;
    w.editor->AddItem(longItem, 3);
    EXPECT_EQ(w.combo1()->itemText(3), longItem);
    EXPECT_GT(w.combo1()->view()->minimumWidth(),
              w.combo1()->view()->fontMetrics().horizontalAdvance(longItem));
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
    EXPECT_TRUE(loaded.editor->ListIndex() == 2 && loaded.editor->Font().pointSize() == 14);
    EXPECT_EQ(loaded.combo1()->palette().color(QPalette::Active, QPalette::ButtonText), QColor(Qt::red));
    DropDownList empty;
    empty.ReadProperties(saved);
    EXPECT_EQ(empty.ListIndex(), -1) << "the host has not filled the list yet";
}

// One step of a user or a host: "<Key>", "focus" or "focus:Child", "click:Child", "Property=value",
// or text to type where the focus is.
void act(QWidget* control, const QString& step) {
    QWidget* child = control->findChild<QWidget*>(step.section(u':', 1));
    if (step.startsWith(u'<')) {
        QTest::keyClick(kFocused, QKeySequence::fromString(step.mid(1).chopped(1))[0].key());
    } else if (step.startsWith(u"focus")) {
        (step == u"focus" ? control : child)->setFocus();
    } else if (step.startsWith(u"click:")) {
        QTest::mouseClick(child, Qt::LeftButton, {}, QPoint(6, 8));  // off the strip where options overlap
    } else if (step.contains(u'=')) {
        control->setProperty(step.section(u'=', 0, 0).toLatin1().constData(), step.section(u'=', 1));
    } else {
        QTest::keyClicks(kFocused, step);
    }
}

// A script played on a control on an active form, steps separated by ", ", and what came of it:
// "events = shown". Enter and Tab raise the control's event once; a list passes Enter on to its form
// (a dialog's default button), a text box does not; the first selection of a list is only recorded.
TEST(EditorScripts, EventsComeOnceInTheirOrderAndKeysStayWhereTheyAlwaysDid) {
    const std::tuple<Maker, const char*, const char*> rows[] = {
        {makeIn<ComboButton>, "focus, <Return>, a, click:Command1", "OnEnterKeyPress form ButtonClick = -1"},
        {makeIn<SecurityControl>, "focus:cboOwner, <Return>, a", "OnEnterKeyPress form = o: g: w:"},
        {makeIn<SecurityControl>, "Security=o:rw g:r w:, focus:cboWorld, <Down>, <Return>",
         "OnListIndexChange OnEnterKeyPress form = o:rw g:r w:r"},
        {makeIn<SecurityControlInd>, "focus:Combo1, <Enter>, a", "OnEnterKeyPress form = "},
        {makeIn<TxtComboControl>, "focus:Combo1, <Return>, a", "OnEnterKeyPress form =  #-1 "},
        {makeIn<TxtComboControl>, "focus:Text1, <Tab>, a", "TextLostFocus =  #-1 "},
        {makeFilledIn<TxtComboControl>, "focus:Combo1, <Down>", " =  #0 "},
        {makeFilledIn<TxtComboControl>, "ListIndex=0, ListIndex=2", "OnListIndexChange =  #2 "},
        {makeFilledIn<TxtComboControl>, "focus:Combo1, <Down>, <Down>, <Down>, ListIndex=0",
         "OnListIndexChange OnListIndexChange OnListIndexChange =  #0 "},
        {makeIn<TxtButton>, "Text=x, focus, ab", "OnKeyUp OnKeyUp = xab xab"},
        {makeIn<TxtButton>, "Text=x, focus, <Return>", "OnEnterKeyPress OnKeyUp = x x"},
        // The button takes the focus first.
        {makeIn<TxtButton>, "Text=x, focus, click:Command1", "OnEnterKeyPress OnButtonClick = x x"},
        {makeIn<TxtButton>, "Text=x, focus, <Tab>", "OnEnterKeyPress = x x"},
        // Writing the value is silent, clicks make it 1 or 0.
        {makeIn<OptOnOff>, "Value=-1", " = -1 optOn"},
        {makeIn<OptOnOff>, "Value=0", " = 0 optOff"},
        {makeIn<OptOnOff>, "Value=7", " = 7 optOn"},
        {makeIn<OptOnOff>, "Value=0, click:optOn", "OnOptionClick = 1 optOn"},
        {makeIn<OptOnOff>, "Value=-1, click:optOff", "OnOptionClick = 0 optOff"},
        {makeIn<OptOnOff>, "Value=1, focus:optOn, <Right>", "OnOptionClick = 0 optOff"},
        // A commit folds the fields, normalises them and shows them again; every key release (the
        // commit's own included) reports a pending change and validates the field (a letter is
        // taken back).
        {makeIn<TimeDivisionControl>, "focus:txtTime(0), <Backspace>, 90, <Return>",
         "OnPendingChange OnPendingChange OnPendingChange OnEnterKeyPress OnPendingChange = 90 0 0 1 30"},
        {makeIn<TimeDivisionControl>, "focus:txtTime(2), <Backspace>, 25, <Enter>",
         "OnPendingChange OnPendingChange OnPendingChange OnEnterKeyPress OnPendingChange = 90000 1 1 0 0"},
        {makeIn<TimeDivisionControl>, "focus:txtTime(1), <Backspace>, 120, <Tab>",
         "OnPendingChange OnPendingChange OnPendingChange OnPendingChange OnEnterKeyPress OnPendingChange = "
         "7200 0 2 0 0"},
        {makeIn<TimeDivisionControl>, "Time=3600, focus:txtTime(2), <Backspace>, <Return>",
         "OnPendingChange OnEnterKeyPress OnPendingChange = 0 0 0 0 0"},
        {makeIn<TimeDivisionControl>, "focus:txtTime(0), <Backspace>, 1-, <Return>",
         "OnPendingChange OnPendingChange OnPendingChange OnEnterKeyPress OnPendingChange = 1 0 0 0 1"},
        {makeIn<TimeDivisionControl>, "focus:txtTime(3), <Backspace>, 0.5, <Return>",
         "OnPendingChange OnPendingChange OnPendingChange OnPendingChange OnEnterKeyPress OnPendingChange = "
         "43200 0 12 0 0"},
        {makeIn<TimeDivisionControl>, "Time=61, focus:txtTime(0), <End>, 5x, <Left>",
         "OnPendingChange OnPendingChange OnPendingChange OnPendingChange = 75 0 0 1 15"},
        {makeIn<TimeDivisionControl>, "Time=61, focus:txtTime(0), <End>, 5, click:txtTime(3)",
         "OnPendingChange OnPendingChange OnEnterKeyPress = 75 0 0 1 15"}};
    for (const auto& [make, script, expected] : rows) {
        EditorTestWindow<QWidget> window(QSize(3000, 900));
        QWidget* control = make(window.editor);
        control->resize(twipsToPixels(QSize(3000, 315)));
        control->show();
        SCOPED_TRACE(std::string(control->metaObject()->className()) + ": " + script);
        connectEvents(control, window.events);
        for (const QString& step : QString::fromLatin1(script).split(u", "_s)) act(control, step);
        EXPECT_EQ(window.events.log.join(u' ') + u" = "_s + shownState(control),
                  QString::fromLatin1(expected));
    }
}

// A written time shows split by floor division; reading folds the fields back into seconds. The
// fields run days to seconds, left to right and in the tab order.
TEST(TimeDivisionControlTest, WrittenTimeIsShownSplitDaysToSeconds) {
    const std::pair<Variant, const char*> rows[] = {
        {int32_t(3661), "3661 0 1 1 1"},   {86400.0, "86400 1 0 0 0"},    {90.5, "90.5 0 0 1 30.5"},
        {int32_t(-30), "-30 -1 23 59 30"}, {-0.5, "-0.5 -1 23 59 59.5"},  {u" 120 "_s, "120 0 0 2 0"},
        {u"soon"_s, "? 0 0 0 ?"},          {Variant::null(), "? 0 0 0 ?"}};
    EditorTestWindow<TimeDivisionControl> window(TimeDivisionControl::kSize);
    EXPECT_EQ(shownState(window.editor), u"0 0 0 0 0"_s);
    for (const auto& [time, shown] : rows) {
        window.editor->SetTime(time);
        EXPECT_EQ(shownState(window.editor), QString::fromLatin1(shown)) << debugText(time).toStdString();
    }
    window.editor->setFocus();
    QStringList order;
    for (int x = -1; order.size() < 4; x = QApplication::focusWidget()->x(), pressKeys(u"Tab"_s)) {
        EXPECT_GT(QApplication::focusWidget()->x(), x);
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order.join(u' '), u"txtTime(3) txtTime(2) txtTime(1) txtTime(0)"_s);
}

}  // namespace
