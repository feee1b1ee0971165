#include "EditorTestWindow.h"

#include "editors/ComboButton.h"
#include "editors/OptOnOff.h"
#include "editors/SecurityControl.h"
#include "editors/SecurityControlInd.h"
#include "editors/TimeDivisionControl.h"
#include "editors/TxtButton.h"
#include "editors/TxtComboControl.h"
#include "editors/VQCompressionSpecs.h"
#include "editors/VQPointAttributeEdit.h"
#include "servers/MultiServerPickList.h"

#include <QComboBox>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include <functional>
#include <memory>

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

template <typename T>
std::unique_ptr<QWidget> make() {
    return std::make_unique<T>();
}

template <typename Child>
Child* part(QWidget& control, const char* name) {
    return control.findChild<Child*>(QString::fromLatin1(name));
}

// "red" when a child shows the colour role red, "-" otherwise: loaded colours are only stored.
QString redOrNot(QWidget* child, QPalette::ColorRole role) {
    return child->palette().color(QPalette::Active, role) == QColor(Qt::red) ? u"red"_s : u"-"_s;
}

QString onOff(bool on) {
    return on ? u"on"_s : u"off"_s;
}

// The whole saved set, as PropertyBag's JSON: {"Name": {"type": "Int32", "value": 5}}.
PropertyBag bagOf(const char* json) {
    return PropertyBag::fromJson(QJsonDocument::fromJson(QByteArray(json)).object());
}

template <typename Control>
void load(QWidget& control, const PropertyBag& bag) {
    static_cast<Control&>(control).ReadProperties(bag);
}

template <typename Control>
std::string saved(QWidget& control) {
    return savedText(static_cast<Control&>(control));
}

struct Loading {
    const char* control;
    std::function<std::unique_ptr<QWidget>()> make;
    void (*read)(QWidget&, const PropertyBag&);
    std::string (*write)(QWidget&);
    const char* bag;     // every value differs from its default
    const char* marked;  // the PropertyChanged names that loading raises, in order
    std::function<QString(QWidget&)> shown;
    const char* expectedShown;
};

#define VQ_CONTROL(T) #T, make < T>, load < T>, saved < T>

// A new control saves nothing; a saved set loads through the setters the control has always used
// (and marks only those), stores the rest without showing it, and saves back the same set.
TEST(EditorPersistedProperties, ASavedSetLoadsAsItAlwaysDidAndSavesBackUnchanged) {
    const PinnedDpi dpi;
    const Loading rows[] = {
        // A theme colour (0x8000000F) keeps its flag bit.
        {VQ_CONTROL(ComboButton),
         R"({"Enabled":{"type":"Boolean","value":false},"ForeColor":{"type":"Int32","value":255},)"
         R"("BackColor":{"type":"Int32","value":-2147483633}})",
         "Enabled",
         [](QWidget& c) {
             return onOff(part<QPushButton>(c, "Command1")->isEnabled()) + u' ' +
                    redOrNot(part<QComboBox>(c, "Combo1"), QPalette::ButtonText);
         },
         "off -"},
        {VQ_CONTROL(OptOnOff), R"({"Value":{"type":"Int16","value":0}})", "Enabled",
         [](QWidget& c) { return onOff(part<QRadioButton>(c, "optOn")->isChecked()); }, "off"},
        {VQ_CONTROL(SecurityControl), R"({"Enabled":{"type":"Boolean","value":false}})", "Enabled",
         [](QWidget& c) { return onOff(part<QComboBox>(c, "cboWorld")->isEnabled()); }, "off"},
        {VQ_CONTROL(SecurityControlInd),
         R"({"Enabled":{"type":"Boolean","value":false},"SecurityScope":{"type":"Int32","value":2},)"
         R"("ForeColor":{"type":"Int32","value":255},"BackColor":{"type":"Int32","value":255}})",
         "Enabled SecurityScope",
         [](QWidget& c) {
             auto* list = part<QComboBox>(c, "Combo1");
             return onOff(list->isEnabled()) + u' ' + redOrNot(list, QPalette::Base);
         },
         "off -"},
        {VQ_CONTROL(TimeDivisionControl),
         R"({"Enabled":{"type":"Boolean","value":false},"BackColor":{"type":"Int32","value":255},)"
         R"("Time":{"type":"String","value":"90"}})",
         "Enabled Time",
         [](QWidget& c) {
             auto* minutes = part<QLineEdit>(c, "txtTime(1)");
             return minutes->text() + u' ' + onOff(minutes->isEnabled()) + u' ' +
                    redOrNot(minutes, QPalette::Base);
         },
         "1 off -"},
        {VQ_CONTROL(TxtButton),
         R"({"ButtonWidth":{"type":"Int16","value":600},"BorderStyle":{"type":"Int16","value":0},)"
         R"("Enabled":{"type":"Boolean","value":false},"Text":{"type":"String","value":"Written"},)"
         R"("Alignment":{"type":"Int32","value":1},"ForeColor":{"type":"Int32","value":255}})",
         "BorderStyle Enabled Text Alignment",
         [](QWidget& c) {
             auto* text = part<QLineEdit>(c, "Text1");
             return text->text() + u' ' + onOff(text->hasFrame()) + u' ' +
                    onOff(part<QPushButton>(c, "Command1")->isEnabled()) + u' ' +
                    redOrNot(text, QPalette::Text);
         },
         "Written off off -"},
        {VQ_CONTROL(TxtComboControl),
         R"({"ComboWidth":{"type":"Int16","value":2000},"Enabled":{"type":"Boolean","value":false},)"
         R"("BackColor":{"type":"Int32","value":255}})",
         "ComboWidth Enabled Text Alignment",
         [](QWidget& c) {
             auto* list = part<QComboBox>(c, "Combo1");
             return onOff(list->isEnabled()) + u' ' + redOrNot(part<QLineEdit>(c, "Text1"), QPalette::Base);
         },
         "off -"},
        // Stored as they are; the child is built once at the end.
        {VQ_CONTROL(VQPointAttributeEdit),
         R"({"Alignment":{"type":"Int32","value":1},"AttributeName":{"type":"String","value":"PtAccess"},)"
         R"("BorderStyle":{"type":"Int16","value":0},"ComboWidth":{"type":"Int16","value":900},)"
         R"("Enabled":{"type":"Boolean","value":false},"OnOffStyle":{"type":"Int32","value":1},)"
         R"("SecurityStyle":{"type":"Int32","value":1}})",
         "BorderStyle",
         [](QWidget& c) {
             auto& edit = static_cast<VQPointAttributeEdit&>(c);
             return edit.currentChild()->objectName() + u' ' + onOff(edit.isEnabled());
         },
         "ctlsecuritycontrolind off"},
        {VQ_CONTROL(VQCompressionSpecs),
         R"({"Enabled":{"type":"Boolean","value":false},"DisplayStyle":{"type":"Int32","value":2}})",
         "Enabled DisplayStyle",
         [](QWidget& c) {
             auto* edit = part<VQPointAttributeEdit>(c, "VQPointAttributeEdit1");
             return edit->AttributeName() + u' ' + onOff(edit->Enabled());
         },
         "ExcDev off"},
    };
    for (const Loading& row : rows) {
        SCOPED_TRACE(row.control);
        const std::unique_ptr<QWidget> control = row.make();
        EXPECT_EQ(row.write(*control), "{}");
        const PropertyBag bag = bagOf(row.bag);
        ASSERT_EQ(bag.count(), QJsonDocument::fromJson(QByteArray(row.bag)).object().count());
        QSignalSpy marked(control.get(), "2PropertyChanged(QString)");
        row.read(*control, bag);
        QStringList names;
        for (const QList<QVariant>& arguments : marked) names << arguments.at(0).toString();
        EXPECT_EQ(names.join(u' '), QString::fromLatin1(row.marked));
        EXPECT_EQ(row.shown(*control), QString::fromLatin1(row.expectedShown));
        EXPECT_EQ(row.write(*control), bagText(bag));
    }
}

// Written colours are shown (unlike loaded ones), on the children that carry them and no other.
TEST(EditorPersistedProperties, WrittenColoursReachTheirChildren) {
    const PinnedDpi dpi;
    struct Row {
        std::function<std::unique_ptr<QWidget>()> make;
        const char* child;
        QPalette::ColorRole fore;
        QPalette::ColorRole back;
        const char* untouched;  // a child that keeps its own colours
    };
    const Row rows[] = {
        {make<ComboButton>, "Combo1", QPalette::ButtonText, QPalette::Button, "Command1"},
        {make<SecurityControlInd>, "Combo1", QPalette::Text, QPalette::Base, nullptr},
        {make<TimeDivisionControl>, "txtTime(3)", QPalette::Text, QPalette::Base, nullptr},
        {make<TxtButton>, "Text1", QPalette::Text, QPalette::Base, nullptr},
        {make<TxtComboControl>, "Combo1", QPalette::ButtonText, QPalette::Button, nullptr},
        {make<TxtComboControl>, "Text1", QPalette::Text, QPalette::Base, nullptr},
    };
    for (const Row& row : rows) {
        const std::unique_ptr<QWidget> control = row.make();
        SCOPED_TRACE(std::string(control->metaObject()->className()) + " " + row.child);
        control->setProperty("ForeColor", 0x0000FFu);
        control->setProperty("BackColor", 0xFF0000u);
        auto* child = part<QWidget>(*control, row.child);
        EXPECT_EQ(child->palette().color(QPalette::Active, row.fore), QColor(Qt::red));
        EXPECT_EQ(child->palette().color(QPalette::Active, row.back), QColor(Qt::blue));
        if (row.untouched) {
            EXPECT_EQ(redOrNot(part<QWidget>(*control, row.untouched), QPalette::ButtonText), u"-"_s);
        }
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

// The controls whose Enabled is the widget's own enabled state: a host's setEnabled() and the
// Enabled property are one thing, and a disabled parent changes neither.
TEST(EditorPersistedProperties, EnabledIsTheWidgetsOwnEnabledState) {
    const PinnedDpi dpi;
    const std::pair<const char*, std::function<std::unique_ptr<QWidget>()>> controls[] = {
        {"ComboButton", make<ComboButton>},
        {"OptOnOff", make<OptOnOff>},
        {"SecurityControl", make<SecurityControl>},
        {"SecurityControlInd", make<SecurityControlInd>},
        {"TimeDivisionControl", make<TimeDivisionControl>},
        {"TxtButton", make<TxtButton>},
        {"VQCompressionSpecs", make<VQCompressionSpecs>},
        {"VQPointAttributeEdit", make<VQPointAttributeEdit>},
        {"MultiServerPickList", make<MultiServerPickList>},
    };
    for (const auto& [name, makeControl] : controls) {
        SCOPED_TRACE(name);
        QWidget parent;
        std::unique_ptr<QWidget> owned = makeControl();
        QWidget* control = owned.release();
        control->setParent(&parent);
        const auto state = [control] {
            return onOff(control->property("Enabled").toBool()) + u' ' + onOff(control->isEnabled());
        };
        control->setProperty("Enabled", true);
        control->setEnabled(false);
        EXPECT_EQ(state(), u"off off"_s) << "host disables";
        control->setEnabled(true);
        EXPECT_EQ(state(), u"on on"_s) << "host enables";
        control->setProperty("Enabled", false);
        EXPECT_EQ(state(), u"off off"_s) << "Enabled false";
        control->setProperty("Enabled", true);
        parent.setEnabled(false);
        EXPECT_EQ(state(), u"on off"_s) << "parent disabled";
        parent.setEnabled(true);
        EXPECT_EQ(state(), u"on on"_s) << "parent enabled again";
    }
}

}  // namespace
