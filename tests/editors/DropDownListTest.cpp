#include "editors/DropDownList.h"

#include "EditorTestWindow.h"
#include "ErrorNumber.h"
#include "editors/PropertyErrors.h"
#include "platform/PropertyBag.h"
#include "platform/SystemColors.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QSignalSpy>

#include <functional>
#include <vector>

using namespace Qt::StringLiterals;
using vq::DropDownList;
using vq::PropertyBag;
using vq::test::EditorTestWindow;

namespace {

struct Window : EditorTestWindow<DropDownList> {
    Window() : EditorTestWindow(QSize(2000, 315)) {
        for (const QString& item : {u"apple"_s, u"banana"_s, u"cherry"_s}) editor->AddItem(item);
        editor->setFocus();
    }
    QComboBox* combo1() const { return child<QComboBox>("Combo1"); }
};

// The host's handlers see every key as code, shift state and character, in this order.
QString keyTrace(Window& w, const std::function<void()>& type) {
    QStringList trace;
    QObject::connect(w.editor, &DropDownList::KeyDown,
                     [&](int16_t& code, int16_t& shift) { trace << u"Down %1/%2"_s.arg(code).arg(shift); });
    QObject::connect(w.editor, &DropDownList::KeyPress,
                     [&](int16_t& ascii) { trace << u"Press %1"_s.arg(ascii); });
    QObject::connect(w.editor, &DropDownList::KeyUp,
                     [&](int16_t& code, int16_t& shift) { trace << u"Up %1/%2"_s.arg(code).arg(shift); });
    type();
    return trace.join(u", "_s);
}

}  // namespace

TEST(DropDownListTest, ListTakesTheControlsWidthAndDropsWideEnoughForItsItems) {
    EXPECT_EQ(DropDownList::layoutFor(QSize(2500, 600)), QRect(0, 0, 2500, 315));
    Window w;
    w.editor->resize(vq::twipsToPixels(QSize(3000, 315)));
    EXPECT_EQ(w.combo1()->geometry(), vq::twipsToPixels(DropDownList::layoutFor(QSize(3000, 315))));

    const QString longItem = u"A digital state name far wider than the list box"_s;
    w.editor->AddItem(longItem);
    const int itemWidth = w.combo1()->view()->fontMetrics().horizontalAdvance(longItem);
    EXPECT_GT(w.combo1()->view()->minimumWidth(), itemWidth);
}

TEST(DropDownListTest, KeyEventsCarryCodesShiftAndCharacter) {
    struct Row {
        QString keys;
        std::function<void()> type;
        QString trace;
    };
    const std::vector<Row> rows = {
        {u"b"_s, [] { QTest::keyClick(vq::test::kFocused, Qt::Key_B); }, u"Down 66/0, Press 98, Up 66/0"_s},
        {u"Shift+B"_s, [] { QTest::keyClick(vq::test::kFocused, 'B', Qt::ShiftModifier); },
         u"Down 16/1, Down 66/1, Press 66, Up 66/1, Up 16/0"_s},
        {u"Enter"_s, [] { QTest::keyClick(vq::test::kFocused, Qt::Key_Return); },
         u"Down 13/0, Press 13, Up 13/0"_s},
        {u"Ctrl+Down"_s, [] { QTest::keyClick(vq::test::kFocused, Qt::Key_Down, Qt::ControlModifier); },
         u"Down 17/2, Down 40/2, Up 40/2, Up 17/0"_s},
        {u"F2"_s, [] { QTest::keyClick(vq::test::kFocused, Qt::Key_F2); }, u"Down 113/0, Up 113/0"_s},
    };
    for (const Row& row : rows) {
        Window w;
        EXPECT_EQ(keyTrace(w, row.type), row.trace) << row.keys.toStdString();
    }
}

// Handlers change what the list receives through the arguments they get by reference.
TEST(DropDownListTest, HandlersChangeOrSwallowTheKey) {
    struct Row {
        const char* what;
        int key;
        int ascii;  // what the KeyPress handler puts in KeyAscii; -1: no handler
        int code;   // what the KeyDown handler puts in KeyCode; -1: no handler
        int16_t index;
    };
    const std::vector<Row> rows = {
        {"no handler: 'b' finds banana", Qt::Key_B, -1, -1, 1},
        {"KeyAscii 0 swallows 'b'", Qt::Key_B, 0, -1, 0},
        {"KeyAscii 'c' for 'b' finds cherry", Qt::Key_B, 'c', -1, 2},
        {"KeyCode 0 swallows Down", Qt::Key_Down, -1, 0, 0},
        {"KeyCode End for Down", Qt::Key_Down, -1, 35, 2},
    };
    for (const Row& row : rows) {
        Window w;
        w.editor->SetListIndex(0);
        if (row.ascii >= 0)
            QObject::connect(w.editor, &DropDownList::KeyPress, [&](int16_t& ascii) { ascii = row.ascii; });
        if (row.code >= 0)
            QObject::connect(w.editor, &DropDownList::KeyDown,
                             [&](int16_t& code, int16_t&) { code = row.code; });
        QTest::keyClick(vq::test::kFocused, Qt::Key(row.key));
        EXPECT_EQ(w.editor->ListIndex(), row.index) << row.what;
    }
}

TEST(DropDownListTest, ClickComesWithEverySelectionChangeButNotWithFilling) {
    Window w;
    QSignalSpy clicks(w.editor, &DropDownList::Click);
    EXPECT_EQ(w.editor->ListIndex(), -1);
    w.editor->AddItem(u"avocado"_s, 0);
    w.editor->SetListIndex(1);
    QTest::keyClick(vq::test::kFocused, Qt::Key_Down);
    EXPECT_EQ(w.editor->Text(), u"banana"_s);
    w.editor->Clear();
    EXPECT_EQ(clicks.count(), 2);
}

TEST(DropDownListTest, PositionsAndIndexesOutOfRangeAreErrors) {
    Window w;
    const std::vector<std::pair<int32_t, std::function<void()>>> rows = {
        {vq::kInvalidProcedureCall, [&] { w.editor->AddItem(u"x"_s, 4); }},
        {vq::kInvalidProcedureCall, [&] { w.editor->AddItem(u"x"_s, -1); }},
        {vq::kInvalidPropertyValue, [&] { w.editor->SetListIndex(3); }},
        {vq::kInvalidPropertyValue, [&] { w.editor->SetListIndex(-2); }},
    };
    for (const auto& [number, act] : rows) EXPECT_EQ(vq::test::errorNumberOf(act), number);
    EXPECT_EQ(w.combo1()->count(), 3);
    w.editor->AddItem(u"date"_s, 3);
    EXPECT_EQ(w.combo1()->itemText(3), u"date"_s);
}

TEST(DropDownListTest, PropertiesRoundTripAndAnIndexPastTheListLoadsAsNoSelection) {
    PropertyBag saved;
    {
        Window w;
        PropertyBag fresh;
        w.editor->WriteProperties(fresh);
        EXPECT_EQ(fresh.names(), QStringList{u"ListIndex"_s}) << "an empty selection differs from 0";
        w.editor->SetListIndex(2);
        w.editor->SetEnabled(false);
        w.editor->SetForeColor(0x0000FF);
        QFont font = w.editor->Font();
        font.setPointSize(14);
        w.editor->SetFont(font);
        w.editor->WriteProperties(saved);
    }
    EXPECT_EQ(saved.count(), 4);

    Window w;
    w.editor->ReadProperties(saved);
    EXPECT_EQ(w.editor->ListIndex(), 2);
    EXPECT_FALSE(w.editor->Enabled());
    EXPECT_EQ(w.editor->Font().pointSize(), 14);
    EXPECT_EQ(w.combo1()->palette().color(QPalette::Active, QPalette::ButtonText), QColor(Qt::red));
    EXPECT_EQ(w.editor->BackColor(), DropDownList::kDefaultBackColor);

    DropDownList empty;
    empty.ReadProperties(saved);
    EXPECT_EQ(empty.ListIndex(), -1) << "the host has not filled the list yet";
}
