#include "BindableChecks.h"
#include "EditorTestWindow.h"

#include "editors/ComboButton.h"
#include "editors/DropDownList.h"
#include "editors/OptOnOff.h"
#include "editors/PlainTextBox.h"
#include "editors/SecurityControl.h"
#include "editors/SecurityControlInd.h"
#include "editors/TimeDivisionControl.h"
#include "editors/TxtButton.h"
#include "editors/TxtComboControl.h"
#include "editors/VQCompressionSpecs.h"
#include "editors/VQPointAttributeEdit.h"

#include <QFont>
#include <QLineEdit>
#include <QSignalSpy>

#include <functional>
#include <memory>

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr auto kChangeOnce = "notify 1 1, marked 1 2";      // the setter marks every write
constexpr auto kChangeUnmarked = "notify 1 1, marked 0 0";  // the setter never marks
constexpr auto kChangeMarkedOnce = "notify 1 1, marked 1 1";

template <typename T>
std::unique_ptr<QWidget> make() {
    return std::make_unique<T>();
}

// A list editor with three entries, so that an index can really move.
template <typename T>
std::unique_ptr<QWidget> makeFilled() {
    auto list = std::make_unique<T>();
    for (const QString& item : {u"One"_s, u"Two"_s, u"Three"_s}) list->AddItem(item);
    return list;
}

struct Write {
    const char* control;
    std::function<std::unique_ptr<QWidget>()> make;
    const char* property;
    QVariant value;
    const char* expected;
};

// Every editor of the family, every property that a host can write: a real change notifies once,
// writing the value it now has notifies nothing, and PropertyChanged fires as it always did.
TEST(EditorBindableProperties, AChangeNotifiesOnceAndTheSameValueNotAtAll) {
    const PinnedDpi dpi;
    QFont bold;
    bold.setBold(true);
    const Write writes[] = {
        {"PlainTextBox", make<PlainTextBox>, "Enabled", false, kChangeOnce},
        {"PlainTextBox", make<PlainTextBox>, "Text", u"FIC101"_s, kChangeOnce},
        {"PlainTextBox", make<PlainTextBox>, "Alignment", 1, kChangeOnce},
        {"PlainTextBox", make<PlainTextBox>, "ForeColor", 0xFFu, kChangeOnce},
        {"PlainTextBox", make<PlainTextBox>, "BackColor", 0xFFu, kChangeOnce},
        {"TxtButton", make<TxtButton>, "ButtonWidth", 600, kChangeOnce},
        {"TxtButton", make<TxtButton>, "BorderStyle", 0, kChangeOnce},
        {"TxtComboControl", make<TxtComboControl>, "ComboWidth", 900, kChangeOnce},
        {"TxtComboControl", makeFilled<TxtComboControl>, "ListIndex", 2, kChangeUnmarked},
        {"DropDownList", make<DropDownList>, "BackColor", 0xFFu, kChangeOnce},
        {"DropDownList", make<DropDownList>, "ForeColor", 0xFFu, kChangeOnce},
        {"DropDownList", make<DropDownList>, "Enabled", false, kChangeOnce},
        {"DropDownList", make<DropDownList>, "Font", bold, kChangeOnce},
        {"DropDownList", makeFilled<DropDownList>, "ListIndex", 2, kChangeOnce},
        {"OptOnOff", make<OptOnOff>, "Enabled", false, kChangeOnce},
        {"OptOnOff", make<OptOnOff>, "Value", 1, kChangeOnce},
        {"ComboButton", make<ComboButton>, "Enabled", false, kChangeOnce},
        {"ComboButton", make<ComboButton>, "ForeColor", 0xFFu, kChangeOnce},
        {"ComboButton", make<ComboButton>, "BackColor", 0xFFu, kChangeOnce},
        {"ComboButton", makeFilled<ComboButton>, "ListIndex", 2, kChangeUnmarked},
        {"SecurityControl", make<SecurityControl>, "Enabled", false, kChangeOnce},
        {"SecurityControl", make<SecurityControl>, "Security", u"o:rw g:r w:"_s, kChangeUnmarked},
        {"SecurityControlInd", make<SecurityControlInd>, "Enabled", false, kChangeOnce},
        {"SecurityControlInd", make<SecurityControlInd>, "SecurityScope", 1, kChangeOnce},
        {"SecurityControlInd", make<SecurityControlInd>, "Security", u"o:rw g:r w:"_s, kChangeUnmarked},
        {"SecurityControlInd", make<SecurityControlInd>, "ForeColor", 0xFFu, kChangeOnce},
        {"SecurityControlInd", make<SecurityControlInd>, "BackColor", 0xFFu, kChangeOnce},
        {"TimeDivisionControl", make<TimeDivisionControl>, "Enabled", false, kChangeOnce},
        {"TimeDivisionControl", make<TimeDivisionControl>, "Time", 93784.5, kChangeOnce},
        {"TimeDivisionControl", make<TimeDivisionControl>, "ForeColor", 0xFFu, kChangeOnce},
        {"TimeDivisionControl", make<TimeDivisionControl>, "BackColor", 0xFFu, kChangeOnce},
        {"VQPointAttributeEdit", make<VQPointAttributeEdit>, "Alignment", 1, kChangeOnce},
        {"VQPointAttributeEdit", make<VQPointAttributeEdit>, "AttributeName", u"Descriptor"_s, kChangeOnce},
        {"VQPointAttributeEdit", make<VQPointAttributeEdit>, "BorderStyle", 0, kChangeOnce},
        {"VQPointAttributeEdit", make<VQPointAttributeEdit>, "ComboWidth", 900, kChangeOnce},
        {"VQPointAttributeEdit", make<VQPointAttributeEdit>, "Enabled", false, kChangeOnce},
        {"VQPointAttributeEdit", make<VQPointAttributeEdit>, "OnOffStyle", 1, kChangeOnce},
        {"VQPointAttributeEdit", make<VQPointAttributeEdit>, "SecurityStyle", 0, kChangeOnce},
        {"VQCompressionSpecs", make<VQCompressionSpecs>, "Enabled", false, kChangeOnce},
        // Writing the style it has returns before marking.
        {"VQCompressionSpecs", make<VQCompressionSpecs>, "DisplayStyle", 2, kChangeMarkedOnce},
    };
    for (const Write& write : writes) {
        SCOPED_TRACE(std::string(write.control) + "." + write.property);
        const std::unique_ptr<QWidget> control = write.make();
        EXPECT_EQ(writeTwice(*control, write.property, write.value), QString::fromLatin1(write.expected));
    }
}

// No property of the family is left that a binding could not follow, and each editor's main
// value is the one QDataWidgetMapper and Designer pick up.
TEST(EditorBindableProperties, EveryPropertyNotifiesAndTheValueIsTheUserProperty) {
    struct Editor {
        const QMetaObject* meta;
        const char* user;
    };
    const Editor editors[] = {
        {&PlainTextBox::staticMetaObject, "Text"},
        {&TxtButton::staticMetaObject, "Text"},
        {&TxtComboControl::staticMetaObject, "Text"},
        {&DropDownList::staticMetaObject, "ListIndex"},
        {&OptOnOff::staticMetaObject, "Value"},
        {&ComboButton::staticMetaObject, "ListIndex"},
        {&SecurityControl::staticMetaObject, "Security"},
        {&SecurityControlInd::staticMetaObject, "Security"},
        {&TimeDivisionControl::staticMetaObject, "Time"},
        {&VQPointAttributeEdit::staticMetaObject, "Text"},
        // A panel over a collection: no single value.
        {&VQCompressionSpecs::staticMetaObject, ""},
    };
    for (const Editor& editor : editors) {
        SCOPED_TRACE(editor.meta->className());
        for (const QMetaObject* meta = editor.meta; meta != &QWidget::staticMetaObject;
             meta = meta->superClass())
            EXPECT_EQ(silentProperties(*meta).join(u' '), QString()) << meta->className();
        EXPECT_EQ(userPropertyOf(*editor.meta), QString::fromLatin1(editor.user));
    }
}

// Values that the user changes, or that move several children at once, still notify once each.
TEST(EditorBindableProperties, ChangesFromTypingAndFromManyChildrenNotifyOnce) {
    const PinnedDpi dpi;
    {
        // A field edited on its own changes the time (a write is in the table above).
        TimeDivisionControl time;
        time.SetTime(Variant(93784.0));  // 1 d 2 h 3 min 4 s
        QSignalSpy changed(&time, &TimeDivisionControl::TimeChanged);
        time.findChild<QLineEdit*>(u"txtTime(1)"_s)->setText(u"4"_s);
        EXPECT_EQ(changed.count(), 1);
        EXPECT_EQ(time.property("Time").toDouble(), 93784.0 + 60);
    }
    {
        // Moving the cursor and the selection together is one change of the selection.
        PlainTextBox box;
        box.SetText(u"FIC101.PV"_s);
        box.SetSelStart(0);
        QSignalSpy selection(&box, &TextBoxControl::SelectionChanged);
        box.SetSelLength(3);
        EXPECT_EQ(selection.count(), 1);
        EXPECT_EQ(box.SelText(), u"FIC"_s);
        box.SetSelLength(3);
        EXPECT_EQ(selection.count(), 1);
    }
    {
        // The attribute editor's text is its child's: typing there changes it.
        EditorTestWindow<VQPointAttributeEdit> window(QSize(2400, 315));
        window.editor->SetAttributeName(u"Descriptor"_s);
        QSignalSpy text(window.editor, &VQPointAttributeEdit::TextChanged);
        QSignalSpy selection(window.editor, &VQPointAttributeEdit::SelectionChanged);
        auto* box = window.child<QLineEdit>("Text1");
        box->setFocus();
        QTest::keyClicks(box, u"Flow"_s);
        EXPECT_EQ(text.count(), 4);
        EXPECT_EQ(window.editor->property("Text").toString(), u"Flow"_s);
        EXPECT_GE(selection.count(), 1);  // the caret moved
        // A child of another kind brings its own text, and bindings hear of it.
        text.clear();
        window.editor->SetAttributeName(u"PointType"_s);
        EXPECT_EQ(text.count(), 1);
        EXPECT_EQ(window.editor->Text(), QString());
    }
}

}  // namespace
