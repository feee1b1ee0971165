// The Point Builder as an engineer uses it: points built, edited, refused, contested; the program run.
#include "PointBuilderTestSupport.h"
#include "editors/VQCompressionSpecs.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>

namespace vq::test {
namespace {

TEST_F(PointBuilderTest, NewPointFilledInTheSheetsIsStoredAndReadsBack) {
    ASSERT_TRUE(window->newPoint(u"classic"_s, u"Fan.Speed"_s));
    EXPECT_TRUE(statusSays(*window, "new classic point on plant"));
    // A first try reverted: the class defaults come back under the same tag
    editInSheet(*window->alphabeticSheet(), u"Span"_s, u"7"_s);
    window->revert();
    EXPECT_EQ(values(*window->entries(), "Tag Span"), "Tag=Fan.Speed Span=100");

    editInSheet(*window->categorizedSheet(), u"Descriptor"_s, u"Fan speed"_s);
    editInSheet(*window->alphabeticSheet(), u"Span"_s, u"50"_s);
    QTest::mouseClick(child<QPushButton>(*window, "cmdSave"), Qt::LeftButton);
    EXPECT_TRUE(
        statusSays(*window, "Fan.Speed on plant | Edited: none | Invalid: none | Saved Fan.Speed at"));
    EXPECT_EQ(storedValues(reconnect(), u"fan.speed"_s, "Tag Descriptor Span PtClassName"),
              "Tag=Fan.Speed Descriptor=Fan speed Span=50 PtClassName=classic");
}

// Keys leave a value pending; Enter commits it to both sheets, the panel and the status bar; the
// archive refuses the zero span, the edits stay, and Revert brings the stored point back.
TEST_F(PointBuilderTest, ATypedSpanReachesEveryViewAndARefusedSaveKeepsTheStoredPoint) {
    QTest::keyClicks(child<QLineEdit>(*window, "txtTag"), u"boiler.temp"_s);
    QTest::mouseClick(child<QPushButton>(*window, "cmdOpen"), Qt::LeftButton);
    editInSheet(*window->alphabeticSheet(), u"Descriptor"_s, u"Renamed"_s);
    QLabel* deviation = child<QLabel>(window->compressionPanel(), "lblDeviationValue");
    EXPECT_EQ(deviation->text(), u"1.00"_s);

    QWidget* editor = clickValueCell(*window->alphabeticSheet(), u"Span"_s);
    ASSERT_TRUE(window->alphabeticSheet()->isAncestorOf(editor));
    typeOver(editor, u"0"_s);
    EXPECT_TRUE(statusSays(*window, "typing in span"));
    QTest::keyClick(editor, Qt::Key_Return);
    // the other sheet follows
    EXPECT_EQ(window->categorizedSheet()->cellIndex(u"Span"_s, columnValue).data().toString(), u"0"_s);
    EXPECT_EQ(deviation->text(), u"Infinity"_s);
    EXPECT_TRUE(statusSays(
        *window, "Edited (2): descriptor, span | Invalid (4): compdev, excdev, span, typicalvalue"));

    EXPECT_FALSE(window->save());
    EXPECT_TRUE(messages().join(u'|').startsWith(u"PropSheetEntries:SaveEdits"_s));
    EXPECT_TRUE(statusSays(*window, "Not saved: Boiler.Temp"));
    QTest::mouseClick(child<QPushButton>(*window, "cmdRevert"), Qt::LeftButton);
    EXPECT_EQ(values(*window->entries(), "Descriptor Span"), "Descriptor=Boiler temperature Span=200");
    EXPECT_TRUE(statusSays(*window, "Edited: none | Invalid: none | Reverted"));
    EXPECT_EQ(storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor Span"),
              "Descriptor=Boiler temperature Span=200");
}

// Told who changed it meanwhile, the user first keeps the edits unsaved, then writes them over.
TEST_F(PointBuilderTest, ASaveOverAPointChangedMeanwhileAsksBeforeWritingOverIt) {
    ASSERT_TRUE(window->openPoint(u"Boiler.Temp"_s));
    editInSheet(*window->alphabeticSheet(), u"Descriptor"_s, u"Mine"_s);
    SdkNamedValues theirs, failed;
    theirs.Add(u"EngUnits"_s, u"degC"_s);
    reconnect()->Points()->Item(u"Boiler.Temp"_s)->PointAttributes()->SetAttributes(theirs, failed);

    m_messages->scriptAnswer(MessageResult::Ok);
    m_messages->scriptAnswer(MessageResult::Cancel);
    EXPECT_FALSE(window->save());
    EXPECT_TRUE(messages().join(u'|').contains(
        QRegularExpression(u"^[^|]*was changed by vqadmin at[^|]*\\|[^|]*changed by someone else[^|]*$"_s)));
    EXPECT_EQ(storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor EngUnits"),
              "Descriptor=Boiler temperature EngUnits=degC");
    m_messages->scriptAnswer(MessageResult::Ok);
    m_messages->scriptAnswer(MessageResult::Ok);
    EXPECT_TRUE(window->save());
    EXPECT_EQ(storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor EngUnits"),
              "Descriptor=Mine EngUnits=degC");
}

// As `make demo` runs it: sample servers made on first start; a failure exits non-zero.
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
    EXPECT_TRUE(code == 1 && told.contains(u"PointBuilderWindow:OpenPoint"_s)) << told.toStdString();
}

}  // namespace
}  // namespace vq::test
