#include "editors/VQCompressionSpecs.h"

#include "EditorTestWindow.h"
#include "editors/DeviationFormat.h"
#include "editors/TimeDivisionControl.h"
#include "editors/TxtComboControl.h"
#include "editors/VQPointAttributeEdit.h"
#include "model/ModelTestSupport.h"
#include "model/PropSheetEntries.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>

#include <vector>

using namespace Qt::StringLiterals;
using vq::PropSheetEntries;
using vq::Variant;
using vq::VQCompressionSpecs;

namespace {

// The panel's number formats follow the default locale; these tests read them in US English.
struct UsEnglish {
    UsEnglish() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    ~UsEnglish() { QLocale::setDefault(m_previous); }
    QLocale m_previous;
};

}  // namespace

// The deviation in the unit the editor does not show, in the standard or the scientific form.
TEST(DeviationFormatTest, ConvertedDeviationIsFormattedByMagnitude) {
    struct Row {
        Variant span;
        Variant deviation;
        const char* shownAs;
        QString text;
    };
    const std::vector<Row> rows = {
        {200.0, 5.0, "CompDev", u"2.50"_s},
        {200.0, 2.5, "compdevpercent", u"5.00"_s},
        {0.0, 5.0, "ExcDev", u"Infinity"_s},
        {10000.0, 0.5, "CompDev", u"5.00E-03"_s},
        {1000.0, 150.0, "ExcDevPercent", u"1.50E+03"_s},
        {100.0, 0.01, "CompDev", u"0.01"_s},
        {200.0, -5000.0, "CompDev", u"-2,500.00"_s},  // negative: never scientific
        {100000.0, -0.001, "CompDev", u"0.00"_s},     // rounds to zero without a sign
        {u" 200 "_s, u"5"_s, "CompDev", u"2.50"_s},   // numeric text counts as a number
        {u"wide"_s, 5.0, "CompDev", u"?"_s},
        {200.0, 5.0, "Span", QString()},
    };
    UsEnglish locale;
    for (const Row& row : rows) {
        EXPECT_EQ(vq::ConvertedDeviationText(row.span, row.deviation, QString::fromLatin1(row.shownAs)),
                  row.text)
            << vq::debugText(row.span).toStdString() << ' ' << vq::debugText(row.deviation).toStdString();
    }
    // A host's locale applies to both forms.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(vq::FormatDeviation(-2500), u"-2.500,00"_s);
    EXPECT_EQ(vq::FormatDeviation(0.005), u"5,00E-03"_s);
}

namespace {

using Window = vq::test::EditorTestWindow<VQCompressionSpecs>;

// A panel on an active form, bound to a new "classic" point of a real archive.
class CompressionPanelTest : public vq::test::ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        entries->AddDefaultAttributes(makeServer(), u"classic"_s);
        panel()->SetPropSheetEntries(entries);
    }
    VQCompressionSpecs* panel() const { return window.editor; }
    // "units value", as the two deviation labels read.
    QString deviationLabels() const {
        return window.child<QLabel>("lblDeviationUnits")->text() + u' ' +
               window.child<QLabel>("lblDeviationValue")->text();
    }
    vq::TimeDivisionControl* timeControl(int row) const {
        return window.child<vq::TimeDivisionControl>(row == 1 ? "TimeDivisionControl1"
                                                              : "TimeDivisionControl2");
    }
    QLineEdit* timeField(int row, int unit) const {
        return timeControl(row)->findChild<QLineEdit*>(u"txtTime(%1)"_s.arg(unit));
    }
    // A time editor's fields left to right, and its colour: "0 0 1 30 black".
    QString shownTime(int row) const {
        QStringList texts;
        for (int unit = 3; unit >= 0; --unit) texts << timeField(row, unit)->text();
        return texts.join(u' ') + (timeControl(row)->ForeColor() == 0 ? u" black"_s : u" red"_s);
    }
    void typeInto(QLineEdit* field, const QString& keys) const {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, keys);
    }

    UsEnglish locale;
    Window window{QSize(2595, 1635)};
    std::shared_ptr<PropSheetEntries> entries = std::make_shared<PropSheetEntries>();
};

}  // namespace

// The converted label follows an edit in the embedded editor and the switch of its unit.
TEST_F(CompressionPanelTest, DeviationLabelsFollowTheEntry) {
    EXPECT_EQ(deviationLabels(), u"% of Span 0.20"_s);  // the class's CompDev 0.2 of span 100
    entries->SetValue(u"Span"_s, 200.0);
    auto* editor = window.child<vq::TxtComboControl>("ctlTxtComboControl");
    typeInto(editor->findChild<QLineEdit*>(u"Text1"_s), u"5"_s);
    QTest::keyClick(vq::test::kFocused, Qt::Key_Return);
    EXPECT_EQ(entries->GetValue(u"CompDev"_s), Variant(u"5"_s));
    EXPECT_EQ(deviationLabels(), u"% of Span 2.50"_s);

    auto* units = editor->findChild<QComboBox*>(u"Combo1"_s);
    units->setCurrentIndex(units->findText(u"% of Span"_s));
    EXPECT_EQ(entries->Item(Variant(u"CompDev"_s))->CurrentAttributeName(), u"CompDevPercent"_s);
    EXPECT_EQ(deviationLabels(), u"Eng. Units 10.00"_s);  // 5 per cent of 200
    units->setCurrentIndex(units->findText(u"Eng. Units"_s));
    entries->SetValue(u"Span"_s, 0.0);
    EXPECT_EQ(deviationLabels(), u"% of Span Infinity"_s);
}

// Leaving a time editor commits its seconds; the entry's answer is shown, red while invalid.
TEST_F(CompressionPanelTest, LeavingATimeEditorCommitsIt) {
    EXPECT_EQ(shownTime(2), u"0 8 0 0 black"_s);  // CompMax 28800
    typeInto(timeField(1, 0), u"90"_s);
    EXPECT_EQ(entries->Item(Variant(u"CompMin"_s))->PendingValue(), Variant(90.0));
    QTest::keyClick(vq::test::kFocused, Qt::Key_Tab);
    EXPECT_EQ(entries->GetValue(u"CompMin"_s), Variant(90.0));
    EXPECT_EQ(shownTime(1), u"0 0 1 30 black"_s);

    entries->SetValue(u"CompMin"_s, u"soon"_s);
    EXPECT_EQ(shownTime(1), u"0 0 0 ? red"_s);
    typeInto(timeField(1, 0), u"5"_s);
    QTest::keyClick(vq::test::kFocused, Qt::Key_Tab);
    EXPECT_EQ(entries->GetValue(u"CompMin"_s), Variant(5.0));
    EXPECT_EQ(shownTime(1), u"0 0 0 5 black"_s);
    EXPECT_TRUE(messages().isEmpty());
}

// A point turned digital hides the deviation row; turned back, it shows it again.
TEST_F(CompressionPanelTest, DigitalPointHidesTheDeviationRow) {
    entries->SetValue(u"PointType"_s, int32_t(101));
    EXPECT_EQ(panel()->size(), vq::twipsToPixels(QSize(2595, 800)));
    EXPECT_EQ(window.child<QWidget>("Frame1")->y(), vq::twipsToPixels(-735));
    entries->SetValue(u"PointType"_s, int32_t(12));
    EXPECT_EQ(panel()->size(), vq::twipsToPixels(QSize(2595, 1635)));
}

// The exception style edits the Exc* attributes; writing the current style again changes nothing.
TEST_F(CompressionPanelTest, StyleChoosesTheAttributes) {
    QSignalSpy changed(panel(), &VQCompressionSpecs::PropertyChanged);
    timeField(2, 3)->setText(u"7"_s);  // typed, not committed
    panel()->SetDisplayStyle(vq::styleCompressionDeviation);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(shownTime(2), u"7 8 0 0 black"_s);

    panel()->SetDisplayStyle(vq::styleExceptionDeviation);
    EXPECT_EQ(window.child<vq::VQPointAttributeEdit>("VQPointAttributeEdit1")->AttributeName(), u"ExcDev"_s);
    EXPECT_EQ(shownTime(2), u"0 0 10 0 black"_s);  // ExcMax 600
    EXPECT_EQ(deviationLabels(), u"% of Span 0.10"_s);
    typeInto(timeField(1, 1), u"2"_s);
    QTest::keyClick(vq::test::kFocused, Qt::Key_Return);
    EXPECT_EQ(entries->GetValue(u"ExcMin"_s), Variant(120.0));
    EXPECT_EQ(entries->GetValue(u"CompMin"_s), Variant(int32_t(0)));

    EXPECT_EQ(vq::test::errorNumberOf([&] { panel()->SetDisplayStyle(3); }), 380);
    EXPECT_EQ(panel()->DisplayStyle(), vq::styleExceptionDeviation);
}

// Unbound, the panel shows its design texts and commits nothing.
TEST_F(CompressionPanelTest, UnbindingClearsThePanel) {
    panel()->SetPropSheetEntries(nullptr);
    EXPECT_EQ(deviationLabels(), u"% of Span "_s);
    EXPECT_EQ(shownTime(2), u"0 0 0 0 black"_s);
    EXPECT_EQ(window.child<vq::VQPointAttributeEdit>("VQPointAttributeEdit1")->Text(), QString());
    typeInto(timeField(1, 0), u"9"_s);
    QTest::keyClick(vq::test::kFocused, Qt::Key_Return);
    EXPECT_EQ(entries->GetValue(u"CompMin"_s), Variant(int32_t(0)));
}

// The time editors' events come from the event loop: an error there is reported, not thrown.
TEST_F(CompressionPanelTest, ErrorsOfTheTimeEditorsAreReported) {
    EXPECT_EQ(
        vq::test::errorNumberOf([&] { panel()->SetPropSheetEntries(std::make_shared<PropSheetEntries>()); }),
        5);
    typeInto(timeField(1, 0), u"9"_s);
    QTest::keyClick(vq::test::kFocused, Qt::Key_Return);
    QStringList contexts;
    for (const QString& text : messages()) contexts << text.section(u"\r\n"_s, 0, 0);
    EXPECT_EQ(contexts.join(u' '),
              u"VQCompressionSpecs:TimeDivisionControl1_OnPendingChange "
              "VQCompressionSpecs:TimeDivisionControl1_OnEnterKeyPress "
              "VQCompressionSpecs:TimeDivisionControl1_OnPendingChange"_s);
}
