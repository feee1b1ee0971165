#include "EditorTestWindow.h"
#include "model/ModelTestSupport.h"

#include "editors/TxtComboControl.h"
#include "editors/VQPointAttributeEdit.h"
#include "model/PropSheetEntries.h"
#include "platform/AccessibleNames.h"
#include "platform/AttributeSearchDialogs.h"
#include "platform/ServicesContext.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkPoints.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// A new "classic" point of a real archive in a temporary folder, and an attribute editor on an
// active form; the collection's events are logged as "pending:Name value:Name display:Name".
class AttributeEditTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        m_server = makeServer();
        entries->AddDefaultAttributes(m_server, u"classic"_s);
    }
    // The editor bound to `attribute`, with its own events logged.
    VQPointAttributeEdit& bind(const QString& attribute) {
        VQPointAttributeEdit& edit = *window.editor;
        edit.SetAttributeName(attribute);
        edit.SetPropSheetEntries(entries);
        log.record(&edit, &VQPointAttributeEdit::OnEnterKeyPress, "Enter");
        log.record(&edit, &VQPointAttributeEdit::Change, "Change");
        log.record(&edit, &VQPointAttributeEdit::Click, "Click");
        log.record(&edit, &VQPointAttributeEdit::OnSearchResults, "Search");
        log.record(&edit, &VQPointAttributeEdit::focusLeft, "Left");
        m_log.take();
        return edit;
    }
    QString events() { return QString::fromStdString(m_log.take()); }
    QString value(const QString& name) const { return entries->GetValue(name).toString(); }

    std::shared_ptr<ArchiveServer> m_server;
    std::shared_ptr<PropSheetEntries> entries = std::make_shared<PropSheetEntries>();
    EditorTestWindow<VQPointAttributeEdit> window{QSize(2400, 315)};
    vq::test::SignalLog log;
    EventLog m_log{*entries};
};

QComboBox* listOf(QWidget* child) {
    return child->findChild<QComboBox*>();
}

// The user picks item `index` of a drop-down list.
void pick(QComboBox* list, int index) {
    list->setFocus();
    list->setCurrentIndex(index);
    QCoreApplication::processEvents();
}

TEST_F(AttributeEditTest, TheChildFollowsTheDisplayStyleAndShowsTheEntrysValue) {
    struct Case {
        const char* attribute;
        int32_t onOffStyle;
        int32_t securityStyle;
        const char* child;
        const char* text;
    };
    const Case cases[] = {
        {"Descriptor", 0, 3, "ctlTextBox", ""},
        {"PointType", 0, 3, "ctlDropDownList", "Float32"},
        {"Archiving", 0, 3, "ctlOptOnOff", ""},
        {"Archiving", 1, 3, "ctlDropDownList", "On"},
        {"DigitalSet", 0, 3, "ctlTxtButton", ""},
        {"CompDev", 0, 3, "ctlTxtComboControl", "0.2"},
        {"ExcDevPercent", 0, 3, "ctlTxtComboControl", "0.1"},
        {"DataAccess", 0, 3, "ctlSecurityControl", ""},
        {"PtAccess", 0, 1, "ctlsecuritycontrolind", ""},
    };
    VQPointAttributeEdit& edit = bind(u"Descriptor"_s);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attribute);
        edit.SetOnOffStyle(c.onOffStyle);
        edit.SetSecurityStyle(c.securityStyle);
        edit.SetAttributeName(QString::fromLatin1(c.attribute));
        EXPECT_EQ(edit.currentChild()->objectName(), QString::fromLatin1(c.child));
        EXPECT_EQ(edit.findChildren<QWidget*>(QRegularExpression(u"^ctl"_s)).size(), 1);
        EXPECT_EQ(edit.Text(), QString::fromLatin1(c.text));
    }
    EXPECT_EQ(events(), u""_s) << "showing a value commits nothing";
}

TEST_F(AttributeEditTest, TypedTextIsPendingOnKeyReleaseAndCommittedOnEnterOrWhenTheFocusLeaves) {
    VQPointAttributeEdit& edit = bind(u"Descriptor"_s);
    QLineEdit other(&window.form);
    other.move(0, 30);
    other.show();
    edit.SetInternalFocus();
    QTest::keyClick(kFocused, Qt::Key_Return);
    EXPECT_FALSE(entries->AreValuesEdited()) << "Enter alone edits nothing";
    events();
    log.clear();

    QTest::keyClicks(kFocused, u"Pump"_s);
    EXPECT_EQ(events(), u"pending:Descriptor pending:Descriptor pending:Descriptor pending:Descriptor"_s);
    EXPECT_EQ(value(u"Descriptor"_s), u""_s);
    QTest::keyClick(kFocused, Qt::Key_Return);
    EXPECT_EQ(value(u"Descriptor"_s), u"Pump"_s);
    EXPECT_TRUE(events().startsWith(u"value:Descriptor"_s));
    EXPECT_EQ(window.formKeys.presses, 0) << "the Enter character is discarded";

    edit.SetSelStart(0);
    edit.SetSelLength(2);
    EXPECT_EQ(edit.SelText(), u"Pu"_s);
    QTest::keyClicks(kFocused, u"Ju"_s);
    QLineEdit elsewhere;  // another window: switching to it is not leaving the control
    ASSERT_TRUE(vq::test::showActive(elsewhere));
    ASSERT_TRUE(vq::test::showActive(window.form));
    other.setFocus();
    EXPECT_EQ(value(u"Descriptor"_s), u"Jump"_s);
    EXPECT_EQ(log.text(), u"Change Change Change Change Enter Change Change Change Left"_s)
        << "Enter's release is a key release too";
}

TEST_F(AttributeEditTest, ReadOnlyEntriesDisableTheEditorAndInvalidValuesShowRed) {
    const SdkPointPtr stored = m_server->Points()->Add(u"Flow"_s, u"classic"_s, 12, SdkNamedValues());
    auto opened = std::make_shared<PropSheetEntries>();
    opened->AddAttributesForPoint(stored);
    struct Case {
        std::shared_ptr<PropSheetEntries> entries;
        const char* attribute;
        const char* typed;  // committed before looking; null for none
        bool enabled;       // the control's own Enabled
        bool childEnabled;
        uint32_t back;
        uint32_t fore;
    };
    const uint32_t buttonFace = 0x8000000F, white = 0xFFFFFF, red = 0xFF;
    const Case cases[] = {
        {entries, "CreationDate", nullptr, true, false, buttonFace, 0},
        {opened, "CreationDate", nullptr, true, false, white, 0},
        {entries, "Span", "wide", true, true, white, red},
        {entries, "Span", "50", true, true, white, 0},
        {entries, "Descriptor", nullptr, false, false, buttonFace, 0},
        {entries, "Descriptor", "Boiler", false, false, white, 0},
    };
    VQPointAttributeEdit& edit = *window.editor;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.attribute) + " " + (c.typed ? c.typed : "-"));
        edit.SetEnabled(c.enabled);
        edit.SetAttributeName(QString::fromLatin1(c.attribute));
        edit.SetPropSheetEntries(c.entries);
        if (c.typed) c.entries->Item(Variant(QString::fromLatin1(c.attribute)))->SetValue(Variant(c.typed));
        QWidget* child = edit.currentChild();
        EXPECT_EQ(child->isEnabled(), c.childEnabled);
        EXPECT_EQ(edit.isEnabled(), c.childEnabled);
        EXPECT_EQ(child->property("BackColor").toUInt(), c.back);
        EXPECT_EQ(child->property("ForeColor").toUInt(), c.fore);
    }
}

TEST_F(AttributeEditTest, TheFirstDropDownSelectionIsOnlyRememberedALaterOneIsCommitted) {
    VQPointAttributeEdit& edit = bind(u"PointType"_s);
    QComboBox* list = listOf(edit.currentChild());
    EXPECT_EQ(list->currentText(), u"Float32"_s);

    list->showPopup();
    list->hidePopup();
    ASSERT_TRUE(vq::test::showActive(window.form));
    pick(list, list->findText(u"Int16"_s));
    EXPECT_EQ(value(u"PointType"_s), u"6"_s);
    // The committed value comes back and is selected again in the refilled list: that selection
    // is reported too.
    EXPECT_EQ(log.text(), u"Click Click"_s) << "the list's own popup is not leaving the control";

    QTest::keyClick(kFocused, Qt::Key_Return);
    EXPECT_EQ(log.text(), u"Click Click Enter"_s);
    EXPECT_EQ(window.formKeys.presses, 0);

    events();
    entries->SetValue(u"PointType"_s, Variant(int32_t(12)));
    EXPECT_EQ(list->currentText(), u"Float32"_s);
    EXPECT_EQ(events().count(u"value:"_s), 1) << "a selection the editor shows is not committed back";
    EXPECT_EQ(log.text(), u"Click Click Enter Click"_s) << "but it is reported";

    edit.SetOnOffStyle(OnOffOptionButtons);
    edit.SetAttributeName(u"Archiving"_s);
    QTest::mouseClick(edit.findChild<QRadioButton*>(u"optOff"_s), Qt::LeftButton);
    EXPECT_EQ(value(u"Archiving"_s), u"0"_s);

    edit.SetAttributeName(u"DataAccess"_s);
    pick(edit.findChild<QComboBox*>(u"cboWorld"_s), 0);
    EXPECT_EQ(value(u"DataAccess"_s), u"o:rw g:r w:"_s);

    // The one-scope editor rebuilds the whole string when the level it shows changes; a value
    // written elsewhere must stay as written.
    edit.SetSecurityStyle(ViewGroupSecurity);
    edit.SetAttributeName(u"PtAccess"_s);
    log.clear();
    entries->SetValue(u"PtAccess"_s, Variant(u"o:rw g:w"_s));
    EXPECT_EQ(edit.findChild<QComboBox*>(u"Combo1"_s)->currentText(), u"Write Only"_s);
    EXPECT_EQ(value(u"PtAccess"_s), u"o:rw g:w"_s);
    EXPECT_EQ(log.text(), u"Click"_s);
}

// The switch shows a 16-bit value; anything else reaches whoever wrote it, the switch unchanged.
TEST_F(AttributeEditTest, AnOnOffValueThatIsNoSixteenBitIntegerIsAnError) {
    VQPointAttributeEdit& edit = bind(u"Archiving"_s);
    auto* off = edit.findChild<QRadioButton*>(u"optOff"_s);
    entries->SetValue(u"Archiving"_s, Variant(int32_t(0)));
    ASSERT_TRUE(off->isChecked());
    for (const auto& [written, number] : {std::pair{Variant(u"yes"_s), errc::TypeMismatch},
                                          std::pair{Variant(int32_t(40000)), errc::Overflow}}) {
        const Error error = raised([&] { entries->SetValue(u"Archiving"_s, written); });
        EXPECT_EQ(error.number(), number) << debugText(written).toStdString();
        EXPECT_TRUE(error.source().contains(u"VQPointAttributeEdit:UpdateEntries"_s))
            << error.source().toStdString();
        EXPECT_TRUE(off->isChecked());
    }
    entries->SetValue(u"Archiving"_s, Variant(u"1"_s));
    EXPECT_FALSE(off->isChecked());
}

TEST_F(AttributeEditTest, TheTwinEditorStoresTheTextUnderTheTwinItsListShows) {
    VQPointAttributeEdit& edit = bind(u"CompDev"_s);
    auto* combo = static_cast<TxtComboControl*>(edit.currentChild());
    EXPECT_EQ(combo->ComboText(), u"Eng. Units"_s);
    edit.SetInternalFocus();
    QTest::keyClick(kFocused, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(kFocused, u"2.5"_s);
    EXPECT_EQ(entries->Item(Variant(u"CompDev"_s))->PendingAttributeName(), u"CompDev"_s);

    pick(listOf(combo), 1);
    EXPECT_EQ(entries->Item(Variant(u"CompDev"_s))->CurrentAttributeName(), u"CompDevPercent"_s);
    EXPECT_EQ(value(u"CompDevPercent"_s), u"2.5"_s);
    EXPECT_EQ(combo->ComboText(), u"% of Span"_s);
    EXPECT_EQ(edit.Text(), u"2.5"_s);
    EXPECT_TRUE(log.text().endsWith(u"Click"_s));

    // Shown from the collection under the other twin: the list follows and raises Click, and
    // writes nothing back.
    m_log.take();
    log.clear();
    entries->SetValue(u"CompDev"_s, Variant(3.0));
    EXPECT_EQ(combo->ComboText(), u"Eng. Units"_s);
    EXPECT_EQ(log.text(), u"Click"_s);
    EXPECT_EQ(events(), u"display:CompDev value:CompDev"_s);
    EXPECT_EQ(value(u"CompDev"_s), u"3"_s);
}

TEST_F(AttributeEditTest, LayoutHidesTheChildsBorderBehindTheControlsEdge) {
    EXPECT_EQ(VQPointAttributeEdit::layoutFor(2400, FixedBorder).controlHeight, 315);
    EXPECT_EQ(VQPointAttributeEdit::layoutFor(2400, FixedBorder).child, QRect(-30, -30, 2400, 315));
    EXPECT_EQ(VQPointAttributeEdit::layoutFor(2400, NoBorder).controlHeight, 255);
    EXPECT_EQ(VQPointAttributeEdit::layoutFor(2400, NoBorder).child, QRect(-30, -30, 2440, 315));
    EXPECT_EQ(VQPointAttributeEdit::layoutFor(-100, NoBorder).child.width(), 0);

    VQPointAttributeEdit& edit = bind(u"Descriptor"_s);
    edit.SetBorderStyle(NoBorder);
    EXPECT_EQ(edit.currentChild()->geometry(),
              twipsToPixels(VQPointAttributeEdit::layoutFor(pixelsToTwips(edit.width()), NoBorder).child));
    EXPECT_EQ(errorNumberOf([&] { edit.SetBorderStyle(2); }), 380);
}
// Hands back what a user would have chosen, and remembers what it was asked.
class ChosenPoints : public AttributeSearchDialogs {
public:
    SdkPointListPtr ShowTagSearchDialog(const SdkServerPtr& server, int32_t options) override {
        asked = server->Name() + u' ' + QString::number(options);
        return chosen;
    }
    SdkNamedValuesPtr ShowDigsetSearchDialog(const SdkServerPtr&, bool, bool) override { return nullptr; }
    SdkPointListPtr chosen;
    QString asked;
};

TEST_F(AttributeEditTest, TheSearchButtonFillsTheTextOnlyFromAChosenPoint) {
    auto totalizer = std::make_shared<PropSheetEntries>();
    totalizer->AddDefaultAttributes(m_server, u"totalizer"_s);
    entries = totalizer;
    VQPointAttributeEdit& edit = bind(u"SourceTag"_s);
    auto* button = edit.currentChild()->findChild<QPushButton*>();

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(log.text(), u"Search"_s) << "no dialogs installed";
    EXPECT_EQ(value(u"SourceTag"_s), u""_s);

    const auto dialogs = std::make_shared<ChosenPoints>();
    {
        const ScopedServices services(&ServicesContext::searchDialogs, dialogs);
        QTest::mouseClick(button, Qt::LeftButton);  // cancelled
        dialogs->chosen = SdkPointList::create();
        dialogs->chosen->Add(m_server->Points()->Add(u"Flow"_s, u"classic"_s, 12, SdkNamedValues()));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_EQ(dialogs->asked, u"plant 3"_s);
    EXPECT_EQ(value(u"SourceTag"_s), u"Flow"_s);
    EXPECT_EQ(edit.Text(), u"Flow"_s);
    EXPECT_EQ(log.text(), u"Search Search Search"_s);
}

TEST_F(AttributeEditTest, AnAttributeTheCollectionLacksRaisesThroughCommitEntries) {
    VQPointAttributeEdit& edit = bind(u"Descriptor"_s);
    const Error error = raised([&] { edit.SetAttributeName(u"Nonesuch"_s); });
    EXPECT_EQ(error.number(), errc::InvalidArgument);
    EXPECT_TRUE(error.source().startsWith(
        u"VQPointAttributeEdit:CommitEntries\r\nVQPointAttributeEdit:UpdateEntries"_s))
        << error.source().toStdString();

    edit.SetInternalFocus();
    QTest::keyClicks(kFocused, u"x"_s);
    QTest::keyClick(kFocused, Qt::Key_Return);
    EXPECT_EQ(events(), u""_s) << "typing for an absent attribute does nothing";
}

// Showing a new value refills a drop-down list item by item; a binding hears only the value
// shown at the end, once, and nothing when the entry is written with the value it shows.
TEST_F(AttributeEditTest, ABindingHearsTheShownValueOnceNotTheListBeingRefilled) {
    VQPointAttributeEdit& edit = bind(u"PointType"_s);
    QStringList heard;
    QObject::connect(&edit, &VQPointAttributeEdit::TextChanged, [&] { heard << edit.Text(); });
    entries->SetValue(u"PointType"_s, Variant(int32_t(6)));
    EXPECT_EQ(heard.join(u", "_s), u"Int16"_s);
    entries->SetValue(u"PointType"_s, Variant(int32_t(6)));
    EXPECT_EQ(heard.join(u", "_s), u"Int16"_s);
}

// Name and description as a reader would say them, "Descriptor | Value of the Descriptor attribute".
QString spoken(const QWidget* widget) {
    return widget->accessibleName() + u" | "_s + widget->accessibleDescription();
}

TEST(AccessibleNames, CaptionsAreSpokenWithoutMnemonicOrColon) {
    EXPECT_EQ(spokenCaption(u"&Tag Mask:"_s), u"Tag Mask"_s);
    EXPECT_EQ(spokenCaption(u"R&&D units: "_s), u"R&D units"_s);
    EXPECT_EQ(spokenCaption(u"Max. Time"_s), u"Max. Time"_s);
}

// The attribute editor names its child after the attribute, and names it again when the same
// child is kept for another attribute; parts with names of their own keep them.
TEST(AccessibleNames, TheAttributeEditorsChildSpeaksForTheCurrentAttribute) {
    EditorTestWindow<VQPointAttributeEdit> window(QSize(2400, 315));
    VQPointAttributeEdit& edit = *window.editor;
    edit.SetAttributeName(u"Descriptor"_s);
    QWidget* text = edit.currentChild()->findChild<QLineEdit*>(u"Text1"_s);
    EXPECT_EQ(spoken(text), u"Descriptor | Value of the Descriptor attribute"_s);
    edit.SetAttributeName(u"EngUnits"_s);
    ASSERT_EQ(edit.currentChild()->findChild<QLineEdit*>(u"Text1"_s), text) << "the text box is kept";
    EXPECT_EQ(spoken(text), u"EngUnits | Value of the EngUnits attribute"_s);

    edit.SetAttributeName(u"SourceTag"_s);
    EXPECT_EQ(spoken(edit.currentChild()->findChild<QPushButton*>(u"Command1"_s)),
              u"Search | Opens a search that fills in the value"_s);
    edit.SetAttributeName(u"Archiving"_s);
    EXPECT_EQ(spoken(edit.currentChild()->findChild<QRadioButton*>(u"optOff"_s)),
              u" | Turns the setting off"_s)
        << "a captioned option is named by its caption";
}

}  // namespace
