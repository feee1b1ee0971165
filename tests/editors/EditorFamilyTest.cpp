#include "BindableChecks.h"
#include "EditorTestWindow.h"

#include "editors/PlainTextBox.h"
#include "editors/VQCompressionSpecs.h"
#include "editors/VQPointAttributeEdit.h"
#include "servers/MultiServerPickList.h"

#include <QFont>
#include <QJsonObject>

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

// Tables over the whole family of editors: what a host, a binding or a saved form sees of each.
namespace {

// "red" when a child shows the colour role red, "-" otherwise: loaded colours are only stored.
QString redOrNot(QWidget* child, QPalette::ColorRole role) {
    return child->palette().color(QPalette::Active, role) == QColor(Qt::red) ? u"red"_s : u"-"_s;
}

QString onOff(bool on) {
    return on ? u"on"_s : u"off"_s;
}

constexpr auto kChangeOnce = "notify 1 1, marked 1 2";      // the setter marks every write
constexpr auto kChangeUnmarked = "notify 1 1, marked 0 0";  // the setter never marks

struct Write {
    const char* property;
    QVariant value;
    const char* expected = kChangeOnce;
};

// Every property that a host can write: a real change notifies once, writing the value it now has
// notifies nothing, and PropertyChanged fires as it always did. No property is left that a binding
// could not follow, and each editor's main value is the one QDataWidgetMapper and Designer pick up
// (a panel over a collection has none).
TEST(EditorBindableProperties, EveryPropertyNotifiesOnceOnAChangeAndTheValueIsTheUserProperty) {
    const PinnedDpi dpi;
    QFont bold;
    bold.setBold(true);
    const Write enabled{"Enabled", false}, red{"ForeColor", 0xFFu}, redBack{"BackColor", 0xFFu};
    const std::tuple<Maker, const char*, std::vector<Write>> controls[] = {
        {makeIn<PlainTextBox>, "Text", {enabled, red, redBack, {"Text", u"FIC101"_s}, {"Alignment", 1}}},
        {makeIn<TxtButton>, "Text", {{"ButtonWidth", 600}, {"BorderStyle", 0}}},
        {makeIn<TxtComboControl>, "Text", {{"ComboWidth", 900}}},
        {makeFilledIn<TxtComboControl>, "Text", {{"ListIndex", 2, kChangeUnmarked}}},
        {makeIn<DropDownList>, "ListIndex", {enabled, red, redBack, {"Font", bold}}},
        {makeFilledIn<DropDownList>, "ListIndex", {{"ListIndex", 2}}},
        {makeIn<OptOnOff>, "Value", {enabled, {"Value", 1}}},
        {makeIn<ComboButton>, "ListIndex", {enabled, red, redBack}},
        {makeFilledIn<ComboButton>, "ListIndex", {{"ListIndex", 2, kChangeUnmarked}}},
        {makeIn<SecurityControl>, "Security", {enabled, {"Security", u"o:rw g:r w:"_s, kChangeUnmarked}}},
        {makeIn<SecurityControlInd>,
         "Security",
         {enabled, red, redBack, {"SecurityScope", 1}, {"Security", u"o:rw g:r w:"_s, kChangeUnmarked}}},
        {makeIn<TimeDivisionControl>, "Time", {enabled, red, redBack, {"Time", 93784.5}}},
        {makeIn<VQPointAttributeEdit>,
         "Text",
         {enabled,
          {"Alignment", 1},
          {"AttributeName", u"Descriptor"_s},
          {"BorderStyle", 0},
          {"ComboWidth", 900},
          {"OnOffStyle", 1},
          {"SecurityStyle", 0}}},
        // Writing the style it has returns before marking.
        {makeIn<VQCompressionSpecs>, "", {enabled, {"DisplayStyle", 2, "notify 1 1, marked 1 1"}}},
        {makeIn<MultiServerPickList>, "SelectedServerNames", {{"Enabled", true}}}};
    for (const auto& [makeControl, user, writes] : controls) {
        const QMetaObject* editor = std::unique_ptr<QWidget>(makeControl(nullptr))->metaObject();
        SCOPED_TRACE(editor->className());
        for (const QMetaObject* meta = editor; meta != &QWidget::staticMetaObject; meta = meta->superClass())
            EXPECT_EQ(silentProperties(*meta).join(u' '), QString()) << meta->className();
        EXPECT_EQ(userPropertyOf(*editor), QString::fromLatin1(user));
        for (const Write& write : writes) {
            const std::unique_ptr<QWidget> control(makeControl(nullptr));
            SCOPED_TRACE(std::string(control->metaObject()->className()) + "." + write.property);
            EXPECT_EQ(writeTwice(*control, write.property, write.value), QString::fromLatin1(write.expected));
        }
        // Enabled is the widget's own enabled state (the drop-down list keeps its own apart): a host's
        // setEnabled() and the property are one thing, and a disabled parent changes neither.
        if (editor == &DropDownList::staticMetaObject) continue;
        QWidget parent;
        QWidget* control = makeControl(&parent);
        QStringList states;  // host disables, host enables, Enabled false, parent disabled
        const auto look = [&] {
            states << onOff(control->property("Enabled").toBool()) + u' ' + onOff(control->isEnabled());
        };
        control->setEnabled(false), look();
        control->setEnabled(true), look();
        control->setProperty("Enabled", false), look();
        control->setProperty("Enabled", true), parent.setEnabled(false), look();
        EXPECT_EQ(states.join(u", "_s), u"off off, on on, off off, on off"_s);
    }
}

// Values that the user changes, or that move several children at once, still notify once each.
TEST(EditorBindableProperties, ChangesFromTypingAndFromManyChildrenNotifyOnce) {
    const PinnedDpi dpi;
    TimeDivisionControl time;
    time.SetTime(Variant(93784.0));  // 1 d 2 h 3 min 4 s
    QSignalSpy timeChanged(&time, &TimeDivisionControl::TimeChanged);
    time.findChild<QLineEdit*>(u"txtTime(1)"_s)->setText(u"4"_s);
    EXPECT_TRUE(timeChanged.count() == 1 && time.property("Time").toDouble() == 93784.0 + 60);

    // Moving the cursor and the selection together is one change of the selection.
    PlainTextBox box;
    box.SetText(u"FIC101.PV"_s);
    box.SetSelStart(0);
    QSignalSpy selection(&box, &TextBoxControl::SelectionChanged);
    box.SetSelLength(3);
    box.SetSelLength(3);
    EXPECT_TRUE(selection.count() == 1 && box.SelText() == u"FIC"_s) << selection.count();
}

// A saved set from "Name:Type=value ...", through PropertyBag's JSON.
PropertyBag bagOf(const char* entries) {
    QJsonObject json;
    for (const QString& entry : QString::fromLatin1(entries).split(u' ')) {
        const QString type = entry.section(u':', 1).section(u'=', 0, 0), text = entry.section(u'=', 1);
        const QJsonValue value = type == u"String"    ? QJsonValue(text)
                                 : type == u"Boolean" ? QJsonValue(text == u"true")
                                                      : QJsonValue(text.toDouble());
        json[entry.section(u':', 0, 0)] = QJsonObject{{u"type"_s, type}, {u"value"_s, value}};
    }
    return PropertyBag::fromJson(json);
}

// How the named children look: "name:off:red:text:flat:on:attribute" as far as each applies.
QString look(QWidget& control, const char* names) {
    QStringList seen;
    for (const QString& name : QString::fromLatin1(names).split(u' ')) {
        QWidget* child = control.findChild<QWidget*>(name);
        QStringList flags{child ? name : name + u":missing"_s};
        if (child && !child->isEnabled()) flags << u"off"_s;
        for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::Base})
            if (child && redOrNot(child, role) == u"red") flags << u"red"_s;
        if (auto* text = qobject_cast<QLineEdit*>(child))
            flags << text->text() << (text->hasFrame() ? u""_s : u"flat"_s);
        if (auto* option = qobject_cast<QRadioButton*>(child)) flags << onOff(option->isChecked());
        if (auto* edit = qobject_cast<VQPointAttributeEdit*>(child)) flags << edit->AttributeName();
        flags.removeAll(QString());
        seen << flags.join(u':');
    }
    return seen.join(u' ');
}

// A new control saves nothing; the saved set `bag` ("Name:Type=value ...", every value other than
// its default) loads raising PropertyChanged for `marked` in order, the named `children` then
// look as `looks`, and the control saves back the same set.
template <typename Control>
void expectLoads(const char* bag, const char* marked, const char* children, const char* looks) {
    SCOPED_TRACE(Control::staticMetaObject.className());
    Control control;
    EXPECT_EQ(savedText(control), "{}");
    QSignalSpy marks(&control, "2PropertyChanged(QString)");
    control.ReadProperties(bagOf(bag));
    QStringList names;
    for (const QList<QVariant>& arguments : marks) names << arguments.at(0).toString();
    EXPECT_EQ(names.join(u' '), QString::fromLatin1(marked));
    EXPECT_EQ(look(control, children), QString::fromLatin1(looks));
    EXPECT_EQ(savedText(control), bagText(bagOf(bag)));
}

// A saved set loads through the setters the control has always used (and marks only those) and
// stores the rest without showing it (no colour is red).
TEST(EditorPersistedProperties, ASavedSetLoadsAsItAlwaysDidAndSavesBackUnchanged) {
    const PinnedDpi dpi;
    // A theme colour (0x8000000F) keeps its flag bit.
    expectLoads<ComboButton>("Enabled:Boolean=false ForeColor:Int32=255 BackColor:Int32=-2147483633",
                             "Enabled", "Command1 Combo1", "Command1:off Combo1:off");
    expectLoads<OptOnOff>("Value:Int16=0", "Enabled", "optOn", "optOn:off");
    expectLoads<SecurityControl>("Enabled:Boolean=false", "Enabled", "cboWorld", "cboWorld:off");
    expectLoads<SecurityControlInd>(
        "Enabled:Boolean=false SecurityScope:Int32=2 ForeColor:Int32=255 BackColor:Int32=255",
        "Enabled SecurityScope", "Combo1", "Combo1:off");
    expectLoads<TimeDivisionControl>("Enabled:Boolean=false BackColor:Int32=255 Time:String=90",
                                     "Enabled Time", "txtTime(1)", "txtTime(1):off:1");
    expectLoads<TxtButton>(
        "ButtonWidth:Int16=600 BorderStyle:Int16=0 Enabled:Boolean=false Text:String=Written "
        "Alignment:Int32=1 ForeColor:Int32=255",
        "BorderStyle Enabled Text Alignment", "Text1 Command1", "Text1:off:Written:flat Command1:off");
    expectLoads<TxtComboControl>("ComboWidth:Int16=2000 Enabled:Boolean=false BackColor:Int32=255",
                                 "ComboWidth Enabled Text Alignment", "Combo1 Text1",
                                 "Combo1:off Text1:off:flat");
    // Stored as they are; the child is built once at the end.
    expectLoads<VQPointAttributeEdit>(
        "Alignment:Int32=1 AttributeName:String=PtAccess BorderStyle:Int16=0 ComboWidth:Int16=900 "
        "Enabled:Boolean=false OnOffStyle:Int32=1 SecurityStyle:Int32=1",
        "BorderStyle", "ctlsecuritycontrolind", "ctlsecuritycontrolind:off");
    expectLoads<VQCompressionSpecs>("Enabled:Boolean=false DisplayStyle:Int32=2", "Enabled DisplayStyle",
                                    "VQPointAttributeEdit1", "VQPointAttributeEdit1:off:ExcDev");
}

// Written colours are shown (unlike loaded ones), on the children that carry them and no other.
TEST(EditorPersistedProperties, WrittenColoursReachTheirChildren) {
    const PinnedDpi dpi;
    // The control, the child that shows the colours, and the roles they take there.
    const std::tuple<Maker, const char*, QPalette::ColorRole, QPalette::ColorRole> rows[] = {
        {makeIn<ComboButton>, "Combo1", QPalette::ButtonText, QPalette::Button},
        {makeIn<SecurityControlInd>, "Combo1", QPalette::Text, QPalette::Base},
        {makeIn<TimeDivisionControl>, "txtTime(3)", QPalette::Text, QPalette::Base},
        {makeIn<TxtButton>, "Text1", QPalette::Text, QPalette::Base},
        {makeIn<TxtComboControl>, "Combo1", QPalette::ButtonText, QPalette::Button},
        {makeIn<TxtComboControl>, "Text1", QPalette::Text, QPalette::Base}};
    for (const auto& [makeControl, name, fore, back] : rows) {
        const std::unique_ptr<QWidget> control(makeControl(nullptr));
        SCOPED_TRACE(std::string(control->metaObject()->className()) + " " + name);
        control->setProperty("ForeColor", 0x0000FFu);
        control->setProperty("BackColor", 0xFF0000u);
        const QPalette shown = control->findChild<QWidget*>(QString::fromLatin1(name))->palette();
        EXPECT_EQ(shown.color(QPalette::Active, fore), QColor(Qt::red));
        EXPECT_EQ(shown.color(QPalette::Active, back), QColor(Qt::blue));
        auto* button = control->findChild<QPushButton*>(u"Command1"_s);
        EXPECT_EQ(button ? redOrNot(button, QPalette::ButtonText) : u"-"_s, u"-"_s)
            << "the button keeps its own";
    }
}

// The saved text is the one written, not what the user typed after it.
TEST(EditorPersistedProperties, TheSavedTextIsTheWrittenOne) {
    EditorTestWindow<TxtButton> window(QSize(3000, 315));
    window.editor->SetText(u"Written"_s);
    window.editor->setFocus();
    QTest::keyClick(kFocused, Qt::Key_End);
    QTest::keyClicks(kFocused, u"Typed"_s);
    EXPECT_EQ(window.editor->Text(), u"WrittenTyped"_s);
    EXPECT_EQ(savedText(*window.editor), R"({"Text":{"type":"String","value":"Written"}})");
}

}  // namespace
