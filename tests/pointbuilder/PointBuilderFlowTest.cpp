// The Point Builder as an engineer uses it: build a point in the sheets, save it, read it back
// from the archive; revert, refused saves and unsaved edits; and the program run from the shell.
#include "PointBuilderTestSupport.h"

#include <QImage>
#include <QProcess>
#include <QPushButton>

namespace vq::test {
namespace {

QPushButton* button(const PointBuilderWindow& window, const char* name) {
    return window.findChild<QPushButton*>(QString::fromLatin1(name));
}

TEST_F(PointBuilderTest, NewPointFilledInTheSheetsIsStoredAndReadsBack) {
    // Given a new classic point Pump.Flow on the plant server
    ASSERT_TRUE(window->newPoint(u"classic"_s, u"Pump.Flow"_s));
    EXPECT_TRUE(statusSays(*window, "new classic point on plant")) << window->statusText().toStdString();

    // When a first try is reverted, the class defaults come back under the same tag
    editInSheet(*window->alphabeticSheet(), u"Span"_s, u"7"_s);
    window->revert();
    EXPECT_EQ(values(*window->entries(), "Tag Span"), "Tag=Pump.Flow Span=100");
    EXPECT_EQ(window->entries()->Mode(), modeNewPoint);

    // When its values are typed into both sheets and Save is clicked
    editInSheet(*window->categorizedSheet(), u"Descriptor"_s, u"Feed pump flow"_s);
    editInSheet(*window->alphabeticSheet(), u"Span"_s, u"50"_s);
    editInSheet(*window->alphabeticSheet(), u"CompDev"_s, u"4"_s);
    EXPECT_TRUE(statusSays(*window, "Edited (4): (Tag), descriptor, compdev, span"))
        << window->statusText().toStdString();
    QTest::mouseClick(button(*window, "cmdSave"), Qt::LeftButton);

    // Then the point is stored, the window edits it, and a fresh collection reads the values back
    EXPECT_TRUE(messages().isEmpty()) << messages().join(u'|').toStdString();
    EXPECT_TRUE(statusSays(*window, "Pump.Flow on plant | Edited: none | Invalid: none | Saved Pump.Flow at"))
        << window->statusText().toStdString();
    EXPECT_EQ(window->entries()->Mode(), modeEditPoint);
    EXPECT_EQ(readOnly(*window->entries(), "Tag PtClassName PointType Descriptor"),
              "Tag PtClassName PointType");
    PropSheetEntries stored;
    stored.AddAttributesForPoint(reconnect()->Points()->Item(u"pump.flow"_s));
    EXPECT_EQ(values(stored, "Tag Descriptor Span CompDev PtClassName"),
              "Tag=Pump.Flow Descriptor=Feed pump flow Span=50 CompDev=4 PtClassName=classic");
}

TEST_F(PointBuilderTest, RevertAndRefusedSavesKeepTheStoredPoint) {
    // Given Boiler.Temp open with a new descriptor and a zero span typed in
    ASSERT_TRUE(window->openPoint(u"Boiler.Temp"_s));
    editInSheet(*window->alphabeticSheet(), u"Descriptor"_s, u"Renamed"_s);
    editInSheet(*window->alphabeticSheet(), u"Span"_s, u"0"_s);

    // When saved, the archive refuses the zero span: the edits stay for correction
    EXPECT_FALSE(window->save());
    ASSERT_EQ(messages().size(), 1);
    const QString refusal = messages().first();
    EXPECT_TRUE(refusal.startsWith(u"PropSheetEntries:SaveEdits"_s) && refusal.contains(u"\r\nSpan ("_s))
        << refusal.toStdString();
    EXPECT_TRUE(statusSays(*window, "Edited (2): descriptor, span")) << window->statusText().toStdString();
    EXPECT_TRUE(statusSays(*window, "Not saved: Boiler.Temp")) << window->statusText().toStdString();

    // When reverted, the stored values come back in every view
    QTest::mouseClick(button(*window, "cmdRevert"), Qt::LeftButton);
    EXPECT_EQ(values(*window->entries(), "Descriptor Span"), "Descriptor=Boiler temperature Span=200");
    const int row = window->categorizedSheet()->rowOf(u"Descriptor"_s);
    EXPECT_EQ(window->categorizedSheet()->gridModel().TextMatrix(row, 4), u"Boiler temperature"_s);
    EXPECT_TRUE(statusSays(*window, "Edited: none | Invalid: none | Reverted"))
        << window->statusText().toStdString();
    EXPECT_EQ(storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor Span"),
              "Descriptor=Boiler temperature Span=200");
}

TEST_F(PointBuilderTest, UnsavedEditsAreDroppedOnlyWhenTheUserAgrees) {
    // Given Boiler.Temp open with an unsaved descriptor
    ASSERT_TRUE(window->openPoint(u"Boiler.Temp"_s));
    editInSheet(*window->alphabeticSheet(), u"Descriptor"_s, u"Renamed"_s);
    const PropSheetEntries* edited = window->entries().get();

    // When another point is asked for and the user cancels, nothing changes
    m_messages->scriptAnswer(MessageResult::Cancel);
    EXPECT_FALSE(window->newPoint(u"classic"_s, u"Other"_s));
    EXPECT_EQ(window->entries().get(), edited);

    // When the user agrees but the tag is unknown, the failure is told and the point stays open
    m_messages->scriptAnswer(MessageResult::Ok);
    EXPECT_FALSE(window->openPoint(u"No.Such.Tag"_s));
    const QStringList told = messages();
    ASSERT_EQ(told.size(), 3);
    EXPECT_EQ(told[0], told[1]);
    EXPECT_EQ(told[0], u"The edits of Boiler.Temp on plant are not saved.\r\nDrop them?"_s);
    EXPECT_TRUE(told[2].startsWith(u"PointBuilderWindow:OpenPoint\r\n"_s)) << told[2].toStdString();
    EXPECT_EQ(window->entries().get(), edited);
    EXPECT_EQ(values(*window->entries(), "Descriptor"), "Descriptor=Renamed");
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

}  // namespace
}  // namespace vq::test

namespace vq::test {

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

}  // namespace vq::test
