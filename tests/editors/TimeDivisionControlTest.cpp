#include "editors/TimeDivisionControl.h"

#include "EditorTestWindow.h"
#include "platform/PropertyBag.h"

#include <QLineEdit>
#include <QSignalSpy>

#include <vector>

using namespace Qt::StringLiterals;
using vq::PropertyBag;
using vq::TimeDivisionControl;
using vq::Variant;
using vq::test::EditorTestWindow;
using vq::test::SignalLog;

namespace {

using Window = EditorTestWindow<TimeDivisionControl>;

QLineEdit* field(const Window& window, int unit) {
    return window.child<QLineEdit>(QStringLiteral("txtTime(%1)").arg(unit).toLatin1().constData());
}

// The fields left to right: "days hours minutes seconds".
QString shown(const Window& window) {
    QStringList texts;
    for (int unit = TimeDivisionControl::Days; unit >= TimeDivisionControl::Seconds; --unit)
        texts << field(window, unit)->text();
    return texts.join(u' ');
}

// Replaces a field's text by typing, as a user does: Backspace to empty it, then the keys.
void typeInto(QLineEdit* edit, const QString& keys) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_End);
    while (!edit->text().isEmpty()) QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, keys);
}

}  // namespace

// A written time shows split by floor division; reading folds the fields back into seconds.
TEST(TimeDivisionControlTest, WrittenTimeIsShownSplit) {
    struct Row {
        Variant time;
        QString fields;
        Variant read;
    };
    const std::vector<Row> rows = {
        {int32_t(3661), u"0 1 1 1"_s, 3661.0},   {86400.0, u"1 0 0 0"_s, 86400.0},
        {90.5, u"0 0 1 30.5"_s, 90.5},           {int32_t(-30), u"-1 23 59 30"_s, -30.0},
        {-0.1, u"-1 23 59 59.9"_s, Variant()},  // reads back as -0.1 give or take rounding
        {u" 120 "_s, u"0 0 2 0"_s, 120.0},       {u"soon"_s, u"0 0 0 ?"_s, u"?"_s},
        {Variant::null(), u"0 0 0 ?"_s, u"?"_s},
    };
    Window window(TimeDivisionControl::kSize);
    EXPECT_EQ(shown(window), u"0 0 0 0"_s);
    EXPECT_EQ(window.editor->Time(), Variant(0.0));
    for (const Row& row : rows) {
        window.editor->SetTime(row.time);
        EXPECT_EQ(shown(window), row.fields) << vq::debugText(row.time).toStdString();
        if (!row.read.isEmpty()) {
            EXPECT_EQ(window.editor->Time(), row.read) << vq::debugText(row.time).toStdString();
        }
    }
}

// Typing, then Enter or leaving the field: the fields are folded, normalised and shown again,
// and each commit is reported once. Enter itself never reaches the field or the form.
TEST(TimeDivisionControlTest, CommitNormalisesTheFields) {
    struct Row {
        const char* what;
        int unit;
        QString typed;
        Qt::Key commitKey;
        QString fields;
    };
    const std::vector<Row> rows = {
        {"90 seconds", TimeDivisionControl::Seconds, u"90"_s, Qt::Key_Return, u"0 0 1 30"_s},
        {"25 hours", TimeDivisionControl::Hours, u"25"_s, Qt::Key_Enter, u"1 1 0 0"_s},
        {"120 minutes, left with Tab", TimeDivisionControl::Minutes, u"120"_s, Qt::Key_Tab, u"0 2 0 0"_s},
        {"cleared hours", TimeDivisionControl::Hours, u""_s, Qt::Key_Return, u"0 0 0 0"_s},
        {"negative seconds", TimeDivisionControl::Seconds, u"1-"_s, Qt::Key_Return, u"0 0 0 1"_s},
        {"fraction", TimeDivisionControl::Days, u"0.5"_s, Qt::Key_Return, u"0 12 0 0"_s},
    };
    for (const Row& row : rows) {
        Window window(TimeDivisionControl::kSize);
        field(window, row.unit)->setFocus();
        QSignalSpy enters(window.editor, &TimeDivisionControl::OnEnterKeyPress);
        QSignalSpy returns(field(window, row.unit), &QLineEdit::returnPressed);
        typeInto(field(window, row.unit), row.typed);
        QTest::keyClick(vq::test::kFocused, row.commitKey);
        EXPECT_EQ(shown(window), row.fields) << row.what;
        EXPECT_EQ(enters.count(), 1) << row.what;
        EXPECT_EQ(returns.count(), 0) << row.what;
        EXPECT_EQ(window.formKeys.presses, 0) << row.what;
    }
}

// Every key release validates the field (a letter is taken back) and reports a pending change,
// navigation keys included; the stored time waits for the commit.
TEST(TimeDivisionControlTest, KeyReleasesValidateAndReportPendingChanges) {
    Window window(TimeDivisionControl::kSize);
    QLineEdit* seconds = field(window, TimeDivisionControl::Seconds);
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

    PropertyBag bag;
    window.editor->WriteProperties(bag);
    EXPECT_EQ(bag.ReadProperty(u"Time"_s, 0), Variant(int32_t(61)));

    log.clear();
    QTest::mouseClick(field(window, TimeDivisionControl::Days), Qt::LeftButton);
    EXPECT_EQ(log.text(), u"Enter"_s);
    EXPECT_EQ(shown(window), u"0 0 1 15"_s);
}

TEST(TimeDivisionControlTest, LayoutTabOrderAndEnabled) {
    // Any size asked for, the control keeps its own; the fields run days to seconds.
    Window window(QSize(3000, 600));
    EXPECT_EQ(window.editor->size(), vq::twipsToPixels(QSize(1745, 315)));
    for (int unit = TimeDivisionControl::Seconds; unit < TimeDivisionControl::Days; ++unit)
        EXPECT_GT(field(window, unit)->x(), field(window, unit + 1)->geometry().right()) << unit;

    window.editor->setFocus();
    QStringList order;
    for (int i = 0; i < 4; ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(vq::test::kFocused, Qt::Key_Tab);
    }
    EXPECT_EQ(order, (QStringList{u"txtTime(3)"_s, u"txtTime(2)"_s, u"txtTime(1)"_s, u"txtTime(0)"_s}));

    window.editor->SetEnabled(false);
    for (int unit = 0; unit < TimeDivisionControl::kUnitCount; ++unit)
        EXPECT_FALSE(field(window, unit)->isEnabled());
}
