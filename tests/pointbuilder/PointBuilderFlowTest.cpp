// The Point Builder as an engineer uses it: build a point in the sheets, save it, read it back
// from the archive; one edit's road through the views, revert and refused saves; and the program
// run from the shell.
#include "PointBuilderTestSupport.h"
#include "editors/VQCompressionSpecs.h"

#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

namespace vq::test {
namespace {

TEST_F(PointBuilderTest, NewPointFilledInTheSheetsIsStoredAndReadsBack) {
    // Given a new classic point Pump.Flow on the plant server
    ASSERT_TRUE(window->newPoint(u"classic"_s, u"Pump.Flow"_s));
    EXPECT_TRUE(statusSays(*window, "new classic point on plant"));

    // When a first try is reverted, the class defaults come back under the same tag
    editInSheet(*window->alphabeticSheet(), u"Span"_s, u"7"_s);
    window->revert();
    EXPECT_EQ(values(*window->entries(), "Tag Span"), "Tag=Pump.Flow Span=100");

    // When its values are typed into both sheets and Save is clicked
    editInSheet(*window->categorizedSheet(), u"Descriptor"_s, u"Feed pump flow"_s);
    editInSheet(*window->alphabeticSheet(), u"Span"_s, u"50"_s);
    editInSheet(*window->alphabeticSheet(), u"CompDev"_s, u"4"_s);
    QTest::mouseClick(child<QPushButton>(*window, "cmdSave"), Qt::LeftButton);

    // Then the point is stored, the window edits it, and a fresh collection reads the values back
    EXPECT_TRUE(messages().isEmpty()) << messages().join(u'|').toStdString();
    EXPECT_TRUE(
        statusSays(*window, "Pump.Flow on plant | Edited: none | Invalid: none | Saved Pump.Flow at"));
    EXPECT_EQ(which(*window->entries(), "Tag PtClassName PointType Descriptor", &PropSheetEntry::GetReadOnly),
              "Tag PtClassName PointType");
    EXPECT_EQ(storedValues(reconnect(), u"pump.flow"_s, "Tag Descriptor Span CompDev PtClassName"),
              "Tag=Pump.Flow Descriptor=Feed pump flow Span=50 CompDev=4 PtClassName=classic");
}

// The road of one edit: keys hand a pending value to the entry, Enter commits it, the dependents
// recompute and every bound view follows; the archive then refuses the zero span and Revert
// brings the stored point back.
TEST_F(PointBuilderTest, ATypedSpanReachesEveryViewAndARefusedSaveKeepsTheStoredPoint) {
    // Given Boiler.Temp typed and opened, with a new descriptor, span 200 and a deviation of 2
    QTest::keyClicks(child<QLineEdit>(*window, "txtTag"), u"boiler.temp"_s);
    QTest::mouseClick(child<QPushButton>(*window, "cmdOpen"), Qt::LeftButton);
    ASSERT_NE(window->entries(), nullptr);
    PropSheetEntries& entries = *window->entries();
    editInSheet(*window->alphabeticSheet(), u"Descriptor"_s, u"Renamed"_s);
    EventLog events(entries);
    EXPECT_EQ(labelText(*window->compressionPanel(), "lblDeviationValue"), u"1.00"_s);

    // When a zero span is typed, the entry holds it as pending only
    QWidget* editor = clickValueCell(*window->alphabeticSheet(), u"Span"_s);
    ASSERT_TRUE(window->alphabeticSheet()->isAncestorOf(editor));
    typeOver(editor, u"0"_s);
    events.take();
    EXPECT_EQ(values(entries, "Span"), "Span=200");
    EXPECT_TRUE(statusSays(*window, "typing in span"));

    // When Enter commits it, the dependents and every view follow
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(events.take(), "display:CompDev display:ExcDev display:TypicalValue value:Span");
    EXPECT_EQ(rules(entries, "Span CompDev ExcDev TypicalValue"),
              "Span=66 CompDev=6[0..0] ExcDev=6[0..0] TypicalValue=6[0..0]");
    for (VQPointPropSheet* view : {window->alphabeticSheet(), window->categorizedSheet()}) {
        const int row = view->rowOf(u"Span"_s);
        EXPECT_EQ(view->gridModel().TextMatrix(row, 4), u"0"_s);
        EXPECT_EQ(view->gridModel().CellForeColor(row, 4), QColor(Qt::red));
    }
    EXPECT_EQ(labelText(*window->compressionPanel(), "lblDeviationValue"), u"Infinity"_s);
    EXPECT_TRUE(statusSays(
        *window, "Edited (2): descriptor, span | Invalid (4): compdev, excdev, span, typicalvalue"));

    // When saved, the archive refuses the zero span: the edits stay for correction
    EXPECT_FALSE(window->save());
    ASSERT_EQ(messages().size(), 1);
    const QString refusal = messages().first();
    EXPECT_TRUE(refusal.startsWith(u"PropSheetEntries:SaveEdits"_s) && refusal.contains(u"\r\nSpan ("_s))
        << refusal.toStdString();
    EXPECT_TRUE(statusSays(*window, "Not saved: Boiler.Temp"));

    // When reverted, the stored values come back in every view
    QTest::mouseClick(child<QPushButton>(*window, "cmdRevert"), Qt::LeftButton);
    EXPECT_EQ(values(*window->entries(), "Descriptor Span"), "Descriptor=Boiler temperature Span=200");
    const int row = window->categorizedSheet()->rowOf(u"Span"_s);
    EXPECT_EQ(window->categorizedSheet()->gridModel().CellForeColor(row, 4), QColor(Qt::black));
    EXPECT_TRUE(statusSays(*window, "Edited: none | Invalid: none | Reverted"));
    EXPECT_EQ(storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor Span"),
              "Descriptor=Boiler temperature Span=200");
}

// The program as `make demo` and the README run it: sample servers made on first start, a point
// opened and values set from the command line, and failures told with a non-zero exit.
TEST(PointBuilderProgram, ScreenshotRunsWithoutADisplay) {
    QTemporaryDir dir;
    const QString picture = dir.filePath(u"builder.png"_s);
    const auto run = [&](const QStringList& arguments) {
        QProcess program;
        program.start(
            QString::fromUtf8(VQPOINTBUILDER_BINARY),
            QStringList{u"--registry"_s, dir.filePath(u"servers.json"_s), u"--screenshot"_s, picture} +
                arguments);
        EXPECT_TRUE(program.waitForFinished(60000));
        return std::pair{program.exitCode(), QString::fromLocal8Bit(program.readAllStandardError())};
    };
    EXPECT_EQ(run({u"--set"_s, u"Span=0"_s}).first, 0);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(u"archives/vqsouth.vqa"_s)));
    EXPECT_GT(QImage(picture).width(), 1000);

    const auto [code, told] = run({u"--server"_s, u"vqlegacy"_s, u"--open"_s, u"No.Such.Tag"_s});
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(told.contains(u"PointBuilderWindow:OpenPoint"_s)) << told.toStdString();
}

TEST_F(PointBuilderTest, ASaveOverAPointChangedMeanwhileAsksBeforeWritingOverIt) {
    // Given Boiler.Temp open here with a new descriptor, and renamed meanwhile by another program
    ASSERT_TRUE(window->openPoint(u"Boiler.Temp"_s));
    editInSheet(*window->alphabeticSheet(), u"Descriptor"_s, u"Mine"_s);
    SdkNamedValues theirs, failed;
    theirs.Add(u"EngUnits"_s, u"degC"_s);
    reconnect()->Points()->Item(u"Boiler.Temp"_s)->PointAttributes()->SetAttributes(theirs, failed);

    // When saved and the user keeps the edits unsaved, nothing is written
    m_messages->scriptAnswer(MessageResult::Ok);      // the refusal names who changed it
    m_messages->scriptAnswer(MessageResult::Cancel);  // keep the edits unsaved
    EXPECT_FALSE(window->save());
    ASSERT_EQ(messages().size(), 2);
    EXPECT_TRUE(messages()[0].contains(u"was changed by vqadmin at"_s)) << messages()[0].toStdString();
    EXPECT_TRUE(messages()[1].contains(u"changed by someone else"_s)) << messages()[1].toStdString();
    EXPECT_EQ(storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor EngUnits"),
              "Descriptor=Boiler temperature EngUnits=degC");

    // When saved again and the user agrees, the edits go over the newer point and keep its change
    m_messages->scriptAnswer(MessageResult::Ok);
    m_messages->scriptAnswer(MessageResult::Ok);
    EXPECT_TRUE(window->save());
    EXPECT_EQ(storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor EngUnits"),
              "Descriptor=Mine EngUnits=degC");
}

}  // namespace
}  // namespace vq::test
