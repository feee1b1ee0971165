#include "EditorTestWindow.h"
#include "model/ModelTestSupport.h"

#include "editors/DeviationFormat.h"
#include "editors/VQCompressionSpecs.h"
#include "editors/VQPointAttributeEdit.h"
#include "platform/AccessibleNames.h"

#include <QLabel>
#include <QLocale>
#include <QRegularExpression>

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

// The editors that bind to a collection of point attributes.
namespace {

// An editor of type T on an active form and a new "classic" point of a real archive in a
// temporary folder; the collection's events are logged as "pending:Name value:Name display:Name".
template <typename T, int width, int height>
class BoundEditorTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        m_server = makeServer();
        entries->AddDefaultAttributes(m_server, u"classic"_s);
    }
    QString events() { return QString::fromStdString(m_log.take()); }
    QString value(const QString& name) const { return entries->GetValue(name).toString(); }

    std::shared_ptr<ArchiveServer> m_server;
    std::shared_ptr<PropSheetEntries> entries = std::make_shared<PropSheetEntries>();
    EditorTestWindow<T> window{QSize(width, height)};
    EventLog m_log{*entries};
};

class AttributeEditTest : public BoundEditorTest<VQPointAttributeEdit, 2400, 315> {
protected:
    // The editor bound to `attribute`, with its own events logged.
    VQPointAttributeEdit& bind(const QString& attribute) {
        VQPointAttributeEdit& edit = *window.editor;
        edit.SetAttributeName(attribute);
        edit.SetPropSheetEntries(entries);
        connectEvents(&edit, window.events);
        m_log.take();
        return edit;
    }
    QString log() const { return window.events.log.join(u' '); }
};

// The user picks item `index` of a drop-down list.
void pick(QComboBox* list, int index) {
    list->setFocus();
    list->setCurrentIndex(index);
    QCoreApplication::processEvents();
}

TEST_F(AttributeEditTest, TheChildFollowsTheDisplayStyleAndShowsTheEntrysValue) {
    // The attribute, the on-off and security styles, and the child with the text it shows.
    const std::tuple<const char*, int32_t, int32_t, const char*> cases[] = {
        {"Descriptor", 0, 3, "ctlTextBox "},
        {"PointType", 0, 3, "ctlDropDownList Float32"},
        {"Archiving", 0, 3, "ctlOptOnOff "},
        {"Archiving", 1, 3, "ctlDropDownList On"},
        {"DigitalSet", 0, 3, "ctlTxtButton "},
        {"CompDev", 0, 3, "ctlTxtComboControl 0.2"},
        {"ExcDevPercent", 0, 3, "ctlTxtComboControl 0.1"},
        {"DataAccess", 0, 3, "ctlSecurityControl "},
        {"PtAccess", 0, 1, "ctlsecuritycontrolind "}};
    VQPointAttributeEdit& edit = bind(u"Descriptor"_s);
    for (const auto& [attribute, onOffStyle, securityStyle, shown] : cases) {
        edit.SetOnOffStyle(onOffStyle);
        edit.SetSecurityStyle(securityStyle);
        edit.SetAttributeName(QString::fromLatin1(attribute));
        EXPECT_EQ(edit.currentChild()->objectName() + u' ' + edit.Text(), QString::fromLatin1(shown));
        EXPECT_EQ(edit.findChildren<QWidget*>(QRegularExpression(u"^ctl"_s)).size(), 1) << attribute;
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

    QTest::keyClicks(kFocused, u"Pump"_s);
    EXPECT_EQ(events(), u"pending:Descriptor pending:Descriptor pending:Descriptor pending:Descriptor"_s);
    EXPECT_EQ(value(u"Descriptor"_s), u""_s);
    QTest::keyClick(kFocused, Qt::Key_Return);
    EXPECT_TRUE(value(u"Descriptor"_s) == u"Pump"_s && events().startsWith(u"value:Descriptor"_s));

    edit.SetSelStart(0);
    edit.SetSelLength(2);
    EXPECT_EQ(edit.SelText(), u"Pu"_s);
    QTest::keyClicks(kFocused, u"Ju"_s);
    QLineEdit elsewhere;  // another window: switching to it is not leaving the control
    ASSERT_TRUE(showActive(elsewhere) && showActive(window.form));
    other.setFocus();
    EXPECT_EQ(value(u"Descriptor"_s), u"Jump"_s);
    EXPECT_EQ(
        log(),
        u"OnEnterKeyPress Change Change Change Change Change OnEnterKeyPress Change Change Change focusLeft"_s)
        << "Enter's release is a key release too; no key reaches the form";
}

TEST_F(AttributeEditTest, ReadOnlyEntriesDisableTheEditorAndInvalidValuesShowRed) {
    const SdkPointPtr stored = m_server->Points()->Add(u"Flow"_s, u"classic"_s, 12, SdkNamedValues());
    auto opened = std::make_shared<PropSheetEntries>();
    opened->AddAttributesForPoint(stored);
    const uint32_t buttonFace = 0x8000000F, white = 0xFFFFFF, red = 0xFF;
    // The entries, the attribute, a value committed before looking (or none), the control's own
    // Enabled, and what the child shows: enabled, back and fore colour.
    const std::tuple<std::shared_ptr<PropSheetEntries>, const char*, const char*, bool, bool, uint32_t,
                     uint32_t>
        cases[] = {{entries, "CreationDate", nullptr, true, false, buttonFace, 0},
                   {opened, "CreationDate", nullptr, true, false, white, 0},
                   {entries, "Span", "wide", true, true, white, red},
                   {entries, "Span", "50", true, true, white, 0},
                   {entries, "Descriptor", nullptr, false, false, buttonFace, 0},
                   {entries, "Descriptor", "Boiler", false, false, white, 0}};
    VQPointAttributeEdit& edit = *window.editor;
    for (const auto& [bound, attribute, typed, enabled, childEnabled, back, fore] : cases) {
        SCOPED_TRACE(std::string(attribute) + " " + (typed ? typed : "-"));
        edit.SetEnabled(enabled);
        edit.SetAttributeName(QString::fromLatin1(attribute));
        edit.SetPropSheetEntries(bound);
        if (typed) bound->Item(Variant(QString::fromLatin1(attribute)))->SetValue(Variant(typed));
        QWidget* child = edit.currentChild();
        EXPECT_EQ(std::tuple(child->isEnabled(), edit.isEnabled()), std::tuple(childEnabled, childEnabled));
        EXPECT_EQ(child->property("BackColor").toUInt(), back);
        EXPECT_EQ(child->property("ForeColor").toUInt(), fore);
    }
}

TEST_F(AttributeEditTest, TheFirstDropDownSelectionIsOnlyRememberedALaterOneIsCommitted) {
    VQPointAttributeEdit& edit = bind(u"PointType"_s);
    QComboBox* list = edit.currentChild()->findChild<QComboBox*>();
    EXPECT_EQ(list->currentText(), u"Float32"_s);

    list->showPopup();
    list->hidePopup();
    ASSERT_TRUE(showActive(window.form));
    pick(list, list->findText(u"Int16"_s));
    EXPECT_EQ(value(u"PointType"_s), u"6"_s);
    // The committed value comes back and is selected again in the refilled list: that selection
    // is reported too.
    EXPECT_EQ(log(), u"Click Click"_s) << "the list's own popup is not leaving the control";

    QTest::keyClick(kFocused, Qt::Key_Return);
    EXPECT_EQ(log(), u"Click Click OnEnterKeyPress"_s);

    events();
    entries->SetValue(u"PointType"_s, Variant(int32_t(12)));
    EXPECT_EQ(list->currentText(), u"Float32"_s);
    EXPECT_EQ(events().count(u"value:"_s), 1) << "a selection the editor shows is not committed back";
    EXPECT_EQ(log(), u"Click Click OnEnterKeyPress Click"_s) << "but it is reported";

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
    window.events.log.clear();
    entries->SetValue(u"PtAccess"_s, Variant(u"o:rw g:w"_s));
    EXPECT_EQ(
        edit.findChild<QComboBox*>(u"Combo1"_s)->currentText() + u'|' + value(u"PtAccess"_s) + u'|' + log(),
        u"Write Only|o:rw g:w|Click"_s);
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

    pick(combo->findChild<QComboBox*>(), 1);
    EXPECT_EQ(entries->Item(Variant(u"CompDev"_s))->CurrentAttributeName(), u"CompDevPercent"_s);
    EXPECT_EQ(value(u"CompDevPercent"_s) + u'|' + combo->ComboText() + u'|' + edit.Text(),
              u"2.5|% of Span|2.5"_s);
    EXPECT_TRUE(log().endsWith(u"Click"_s));

    // Shown from the collection under the other twin: the list follows and raises Click, and
    // writes nothing back.
    m_log.take();
    window.events.log.clear();
    entries->SetValue(u"CompDev"_s, Variant(3.0));
    EXPECT_EQ(combo->ComboText() + u'|' + log() + u'|' + value(u"CompDev"_s), u"Eng. Units|Click|3"_s);
    EXPECT_EQ(events(), u"display:CompDev value:CompDev"_s);
}

TEST_F(AttributeEditTest, LayoutHidesTheChildsBorderBehindTheControlsEdge) {
    EXPECT_EQ(VQPointAttributeEdit::layoutFor(2400, FixedBorder).child, QRect(-30, -30, 2400, 315));
    EXPECT_EQ(VQPointAttributeEdit::layoutFor(2400, NoBorder).controlHeight, 255);
    EXPECT_EQ(VQPointAttributeEdit::layoutFor(2400, NoBorder).child, QRect(-30, -30, 2440, 315));

    VQPointAttributeEdit& edit = bind(u"Descriptor"_s);
    edit.SetBorderStyle(NoBorder);
    EXPECT_EQ(edit.currentChild()->geometry(),
              twipsToPixels(VQPointAttributeEdit::layoutFor(pixelsToTwips(edit.width()), NoBorder).child));
    EXPECT_EQ(errorNumberOf([&] { edit.SetBorderStyle(2); }), 380);
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

// The editor's text is its child's: typing there changes it, a child of another kind brings its
// own, and showing a new value in a drop-down list (which refills it item by item) is heard once,
// at the end, and not at all when the entry is written with the value it shows.
TEST_F(AttributeEditTest, ABindingHearsTheTextOnceNotTheListBeingRefilled) {
    VQPointAttributeEdit& edit = bind(u"Descriptor"_s);
    QStringList heard;
    QObject::connect(&edit, &VQPointAttributeEdit::TextChanged,
                     [&] { heard << edit.property("Text").toString(); });
    edit.SetInternalFocus();
    QTest::keyClicks(kFocused, u"Flow"_s);
    edit.SetAttributeName(u"PointType"_s);
    EXPECT_EQ(heard.join(u", "_s).toStdString().back(), '2') << "ends with the new child's Float32";
    heard.clear();
    entries->SetValue(u"PointType"_s, Variant(int32_t(6)));
    entries->SetValue(u"PointType"_s, Variant(int32_t(6)));
    EXPECT_EQ(heard.join(u", "_s), u"Int16"_s);
}

TEST(AccessibleNames, CaptionsAreSpokenWithoutMnemonicOrColon) {
    EXPECT_EQ(spokenCaption(u"R&&D units: "_s) + u'|' + spokenCaption(u"Max. Time"_s),
              u"R&D units|Max. Time"_s);
}

// The attribute editor names its child after the attribute, and names it again when the same
// child is kept for another attribute; parts with names of their own keep them.
TEST_F(AttributeEditTest, TheChildSpeaksForTheCurrentAttribute) {
    VQPointAttributeEdit& edit = *window.editor;
    const auto spokenPart = [&edit](const char* attribute, const char* part) {
        edit.SetAttributeName(QString::fromLatin1(attribute));
        const QWidget* widget = edit.currentChild()->findChild<QWidget*>(QString::fromLatin1(part));
        return widget->accessibleName() + u" | "_s + widget->accessibleDescription();
    };
    EXPECT_EQ(spokenPart("Descriptor", "Text1"), u"Descriptor | Value of the Descriptor attribute"_s);
    QWidget* kept = edit.currentChild()->findChild<QLineEdit*>(u"Text1"_s);
    EXPECT_EQ(spokenPart("EngUnits", "Text1"), u"EngUnits | Value of the EngUnits attribute"_s);
    EXPECT_EQ(edit.currentChild()->findChild<QLineEdit*>(u"Text1"_s), kept) << "the text box is kept";
    EXPECT_EQ(spokenPart("SourceTag", "Command1"), u"Search | Opens a search that fills in the value"_s);
    // A captioned option is named by its caption.
    EXPECT_EQ(spokenPart("Archiving", "optOff"), u" | Turns the setting off"_s);
}

// The panel's number formats follow the default locale; these tests read them in US English.
struct UsEnglish {
    UsEnglish() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    ~UsEnglish() { QLocale::setDefault(m_previous); }
    QLocale m_previous;
};

// The deviation in the unit the editor does not show, in the standard or the scientific form (a
// plain 2.50 is the panel's label test).
TEST(DeviationFormatTest, ConvertedDeviationIsFormattedByMagnitude) {
    // Span, deviation, the attribute the editor shows, and the text for the other one.
    const std::tuple<Variant, Variant, const char*, QString> rows[] = {
        {200.0, 2.5, "compdevpercent", u"5.00"_s},   {0.0, 5.0, "ExcDev", u"Infinity"_s},
        {10000.0, 0.5, "CompDev", u"5.00E-03"_s},    {1000.0, 100.0, "ExcDevPercent", u"1.00E+03"_s},
        {200.0, -5000.0, "CompDev", u"-2,500.00"_s},  // negative: never scientific
        {100000.0, -0.001, "CompDev", u"0.00"_s},     // rounds to zero without a sign
        {u" 200 "_s, u"5"_s, "CompDev", u"2.50"_s},   // numeric text counts as a number
        {u"wide"_s, 5.0, "CompDev", u"?"_s},         {200.0, 5.0, "Span", QString()}};
    UsEnglish locale;
    for (const auto& [span, deviation, shownAs, text] : rows)
        EXPECT_EQ(ConvertedDeviationText(span, deviation, QString::fromLatin1(shownAs)), text)
            << debugText(span).toStdString() << ' ' << debugText(deviation).toStdString();
    // A host's locale applies to both forms.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FormatDeviation(-2500), u"-2.500,00"_s);
    EXPECT_EQ(FormatDeviation(0.005), u"5,00E-03"_s);
}

// A panel bound to the point.
class CompressionPanelTest : public BoundEditorTest<VQCompressionSpecs, 2595, 1635> {
protected:
    void SetUp() override {
        BoundEditorTest::SetUp();
        panel()->SetPropSheetEntries(entries);
    }
    VQCompressionSpecs* panel() const { return window.editor; }
    // "units value", as the two deviation labels read.
    QString deviationLabels() const {
        return window.child<QLabel>("lblDeviationUnits")->text() + u' ' +
               window.child<QLabel>("lblDeviationValue")->text();
    }
    TimeDivisionControl* timeControl(int row) const {
        return window.child<TimeDivisionControl>(row == 1 ? "TimeDivisionControl1" : "TimeDivisionControl2");
    }
    QLineEdit* timeField(int row, int unit) const {
        return timeControl(row)->findChild<QLineEdit*>(u"txtTime(%1)"_s.arg(unit));
    }
    // A time editor's fields left to right, and its colour: "0 0 1 30 black".
    QString shownTime(int row) const {
        return shownState(timeControl(row)).section(u' ', 1) +
               (timeControl(row)->ForeColor() ? u" red"_s : u" black"_s);
    }
    void typeInto(QLineEdit* field, const QString& keys) const {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, keys);
    }

    UsEnglish locale;
};

// The converted label follows an edit in the embedded editor and the switch of its unit.
TEST_F(CompressionPanelTest, DeviationLabelsFollowTheEntry) {
    EXPECT_EQ(deviationLabels(), u"% of Span 0.20"_s);  // the class's CompDev 0.2 of span 100
    entries->SetValue(u"Span"_s, 200.0);
    auto* editor = window.child<TxtComboControl>("ctlTxtComboControl");
    typeInto(editor->findChild<QLineEdit*>(u"Text1"_s), u"5"_s);
    QTest::keyClick(kFocused, Qt::Key_Return);
    EXPECT_EQ(entries->GetValue(u"CompDev"_s), Variant(u"5"_s));
    EXPECT_EQ(deviationLabels(), u"% of Span 2.50"_s);

    auto* units = editor->findChild<QComboBox*>(u"Combo1"_s);
    units->setCurrentIndex(units->findText(u"% of Span"_s));
    EXPECT_EQ(deviationLabels(), u"Eng. Units 10.00"_s);  // 5 per cent of 200
}

// Leaving a time editor commits its seconds; the entry's answer is shown, red while invalid.
TEST_F(CompressionPanelTest, LeavingATimeEditorCommitsIt) {
    EXPECT_EQ(shownTime(2), u"0 8 0 0 black"_s);  // CompMax 28800
    typeInto(timeField(1, 0), u"90"_s);
    EXPECT_EQ(entries->Item(Variant(u"CompMin"_s))->PendingValue(), Variant(90.0));
    QTest::keyClick(kFocused, Qt::Key_Tab);
    EXPECT_EQ(entries->GetValue(u"CompMin"_s), Variant(90.0));
    EXPECT_EQ(shownTime(1), u"0 0 1 30 black"_s);

    entries->SetValue(u"CompMin"_s, u"soon"_s);
    EXPECT_EQ(shownTime(1), u"0 0 0 ? red"_s);
    typeInto(timeField(1, 0), u"5"_s);
    QTest::keyClick(kFocused, Qt::Key_Tab);
    EXPECT_EQ(entries->GetValue(u"CompMin"_s), Variant(5.0));
    EXPECT_EQ(shownTime(1), u"0 0 0 5 black"_s);
    EXPECT_TRUE(messages().isEmpty());
}

// A point turned digital hides the deviation row; turned back, it shows it again.
TEST_F(CompressionPanelTest, DigitalPointHidesTheDeviationRow) {
    entries->SetValue(u"PointType"_s, int32_t(101));
    EXPECT_EQ(panel()->size(), twipsToPixels(QSize(2595, 800)));
    EXPECT_EQ(window.child<QWidget>("Frame1")->y(), twipsToPixels(-735));
    entries->SetValue(u"PointType"_s, int32_t(12));
    EXPECT_EQ(panel()->size(), twipsToPixels(QSize(2595, 1635)));
}

// The exception style edits the Exc* attributes; writing the current style again changes nothing.
TEST_F(CompressionPanelTest, StyleChoosesTheAttributes) {
    QSignalSpy changed(panel(), &VQCompressionSpecs::PropertyChanged);
    timeField(2, 3)->setText(u"7"_s);  // typed, not committed
    panel()->SetDisplayStyle(styleCompressionDeviation);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(shownTime(2), u"7 8 0 0 black"_s);

    panel()->SetDisplayStyle(styleExceptionDeviation);
    EXPECT_EQ(window.child<VQPointAttributeEdit>("VQPointAttributeEdit1")->AttributeName(), u"ExcDev"_s);
    EXPECT_EQ(shownTime(2), u"0 0 10 0 black"_s);  // ExcMax 600
    EXPECT_EQ(deviationLabels(), u"% of Span 0.10"_s);
    typeInto(timeField(1, 1), u"2"_s);
    QTest::keyClick(kFocused, Qt::Key_Return);
    EXPECT_EQ(entries->GetValue(u"ExcMin"_s), Variant(120.0));
    EXPECT_EQ(entries->GetValue(u"CompMin"_s), Variant(int32_t(0)));

    EXPECT_EQ(errorNumberOf([&] { panel()->SetDisplayStyle(3); }), 380);
    EXPECT_EQ(panel()->DisplayStyle(), styleExceptionDeviation);
}

// Unbound, the panel shows its design texts and commits nothing.
// The time editors' events come from the event loop: bound to a collection that lacks their
// attributes, their errors are reported, not thrown.
TEST_F(CompressionPanelTest, UnbindingClearsThePanelAndErrorsOfTheTimeEditorsAreReported) {
    panel()->SetPropSheetEntries(nullptr);
    EXPECT_EQ(deviationLabels() + u'|' + shownTime(2), u"% of Span |0 0 0 0 black"_s);
    EXPECT_EQ(window.child<VQPointAttributeEdit>("VQPointAttributeEdit1")->Text(), QString());
    typeInto(timeField(1, 0), u"9"_s);
    QTest::keyClick(kFocused, Qt::Key_Return);
    EXPECT_EQ(entries->GetValue(u"CompMin"_s), Variant(int32_t(0)));
    EXPECT_TRUE(messages().isEmpty());

    EXPECT_EQ(errorNumberOf([&] { panel()->SetPropSheetEntries(std::make_shared<PropSheetEntries>()); }), 5);
    typeInto(timeField(1, 0), u"9"_s);
    QTest::keyClick(kFocused, Qt::Key_Return);
    QStringList contexts;
    for (const QString& text : messages()) contexts << text.section(u"\r\n"_s, 0, 0);
    EXPECT_EQ(contexts.join(u' '),
              u"VQCompressionSpecs:TimeDivisionControl1_OnPendingChange "
              "VQCompressionSpecs:TimeDivisionControl1_OnEnterKeyPress "
              "VQCompressionSpecs:TimeDivisionControl1_OnPendingChange"_s);
}

}  // namespace
