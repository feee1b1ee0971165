// The Point Builder as an engineer uses it: points built, edited, refused, contested; the program run.
#include "PointBuilderTestSupport.h"
#include "editors/VQCompressionSpecs.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

namespace vq::test {
namespace {

TEST_F(PointBuilderTest, NewPointFilledInTheSheetsIsStoredAndReadsBack) {
    ASSERT_TRUE(window->newPoint(u"classic"_s, u"Fan.Speed"_s));
    EXPECT_TRUE(statusSays(*window, "new classic point on plant"));
    // A first try reverted: the class defaults come back under the same tag
    editInSheet(*window->alphabeticSheet(), u"Span"_s, u"7"_s);
    modals.then(u"msgChoice"_s, answering(u"Revert"_s));
    window->revert();
    ASSERT_TRUE(showActive(*window));  // back from the question
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
    // The status bar says why itself: the message is closed by now
    EXPECT_TRUE(statusSays(*window, "Not saved: Boiler.Temp (The point \"Boiler.Temp\" was not changed: "));
    modals.then(u"msgChoice"_s, answering(u"Revert"_s));
    QTest::mouseClick(child<QPushButton>(*window, "cmdRevert"), Qt::LeftButton);
    EXPECT_EQ(values(*window->entries(), "Descriptor Span"), "Descriptor=Boiler temperature Span=200");
    EXPECT_TRUE(statusSays(*window, "Edited: none | Invalid: none | Reverted"));
    EXPECT_EQ(storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor Span"),
              "Descriptor=Boiler temperature Span=200");
}

// Someone saved the point meanwhile: one question, three ways out, and no box besides.
TEST_F(PointBuilderTest, AStaleEditAsksOnceWithTheThreeWaysOut) {
    // answer, then what was saved, stored, shown and the status
    const std::pair<const char*, const char*> cases[] = {
        {"Save over their change",
         "1 Descriptor=Mine EngUnits=u1 | Descriptor=Mine EngUnits=u1 | Saved Boiler.Temp"},
        {"Keep my edits unsaved",
         "0 Descriptor=Theirs EngUnits=u2 | Descriptor=Mine EngUnits=u1 | your edits are kept"},
        {"Reload their version",
         "0 Descriptor=Theirs EngUnits=u3 | Descriptor=Theirs EngUnits=u3 | Reloaded their version"},
    };
    int run = 0;
    for (const auto& [answer, result] : cases) {
        SCOPED_TRACE(answer);
        ASSERT_TRUE(showActive(*window) && window->openPoint(u"Boiler.Temp"_s));
        editInSheet(*window->alphabeticSheet(), u"Descriptor"_s, u"Mine"_s);
        SdkNamedValues theirs, failed;
        theirs.Add(u"Descriptor"_s, u"Theirs"_s);
        theirs.Add(u"EngUnits"_s, u"u%1"_s.arg(++run));
        reconnect()->Points()->Item(u"Boiler.Temp"_s)->PointAttributes()->SetAttributes(theirs, failed);
        m_messages->clear();
        QString offered;
        modals.then(u"msgChoice"_s, [&, answer = answer](QWidget* box) {
            for (auto* button : box->findChildren<QPushButton*>()) offered += button->text() + u'|';
            clickAnswer(box, QString::fromUtf8(answer));
        });
        const bool saved = window->save();
        EXPECT_EQ(offered,
                  u"Save over their change|Keep my edits unsaved|Reload their version|Show Details...|"_s);
        EXPECT_EQ(messages(), QStringList());
        const std::string outcome = std::to_string(saved) + ' ' +
                                    storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor EngUnits") +
                                    " | " + values(*window->entries(), "Descriptor EngUnits");
        EXPECT_EQ(outcome, std::string(result).substr(0, outcome.size()));
        EXPECT_TRUE(statusSays(*window, std::string(result).substr(outcome.size() + 3).c_str()));
    }
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
