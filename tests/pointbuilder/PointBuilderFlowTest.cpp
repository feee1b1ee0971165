// The Point Builder as an engineer uses it: points built, edited, refused, contested; the window
// true to what it shows; one clear message per problem; the program run; tags completed as typed,
// the first window, and what is remembered between runs.
#include "AccessibleWalk.h"
#include "PointBuilderMessages.h"
#include "PointBuilderSettings.h"
#include "PointBuilderTestSupport.h"
#include "TagCompleter.h"
#include "editors/VQCompressionSpecs.h"
#include "sdk/SdkErrors.h"
#include "servers/WidgetConnectDialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>

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
    // The same window with its History dialog drawn over it
    const QImage window(picture);
    EXPECT_EQ(run({u"--set"_s, u"Span=0"_s, u"--history"_s}).first, 0);
    EXPECT_NE(QImage(picture), window);
    const auto [code, told] = run({u"--server"_s, u"vqlegacy"_s, u"--open"_s, u"No.Such.Tag"_s});
    EXPECT_TRUE(code == 1 && told.contains(u"PointBuilderWindow:OpenPoint"_s)) << told.toStdString();
}

// The window stays true to what it shows: the chooser names the open point, the title the program
// once, and no edit is dropped or kept without asking.
TEST_F(PointBuilderTest, TheChooserAndTitleNameTheOpenPointAndTheKeysOpenAndStartPoints) {
    makeServer(u"VQ3"_s, u"VQ 3.4.1"_s, u"north"_s);
    SdkApplication::instance()->Servers()->Add(u"north"_s, path(u"north"_s), false);
    window->showConnections();  // the server box learns of north
    EXPECT_EQ(window->windowTitle(), u"Point Builder"_s);
    auto* tag = child<QLineEdit>(*window, "txtTag");
    auto* server = child<QComboBox>(*window, "cboServer");
    QTest::keyClicks(tag, u"boiler.temp"_s);
    QTest::keyClick(tag, Qt::Key_O, Qt::ControlModifier);
    // The server spells the tag; the platform adds the program's name after the title
    EXPECT_EQ(tag->text() + u' ' + window->windowTitle(), u"Boiler.Temp Boiler.Temp on plant[*]"_s);
    ASSERT_TRUE(window->selectServer(u"north"_s));
    tag->setText(u"Other"_s);
    window->revert();
    EXPECT_EQ(tag->text() + u' ' + server->currentText(), u"Boiler.Temp plant"_s);

    tag->setText(u"Fan.Speed"_s);
    QTest::keyClick(tag, Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(statusSays(*window, "new classic point on plant"));
}

// Revert and Quit ask before dropping edits, and the answer decides: what the point then holds, or
// whether the window closed and what is stored. An untouched new point has nothing to lose; a value
// typed but not committed is an edit to lose.
TEST_F(PointBuilderTest, RevertAndQuitAskBeforeDroppingEditsAndAnUntouchedNewPointAsksNothing) {
    const std::tuple<bool, const char*, const char*> cases[] = {
        {false, "Keep editing", "Descriptor=Mine"},
        {false, "Revert", "Descriptor=Boiler temperature"},
        {true, "Cancel", "0 Descriptor=Boiler temperature"},
        {true, "Discard", "1 Descriptor=Boiler temperature"},
        {true, "Save", "1 Descriptor=Mine"},
    };
    for (const auto& [quit, answer, outcome] : cases) {
        SCOPED_TRACE(answer);
        ASSERT_TRUE(showActive(*window) && window->openPoint(u"Boiler.Temp"_s));
        editInSheet(*window->alphabeticSheet(), u"Descriptor"_s, u"Mine"_s);
        modals.then(u"msgChoice"_s, answering(QString::fromUtf8(answer)));
        const std::string closed = quit ? std::to_string(window->close()) + ' ' : std::string();
        EXPECT_EQ(closed + (quit ? storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor")
                                 : (window->revert(), values(*window->entries(), "Descriptor"))),
                  outcome);
    }
    m_messages->clear();
    ASSERT_TRUE(showActive(*window) && window->newPoint(u"classic"_s, u"Fan.Speed"_s));
    window->revert();
    ASSERT_TRUE(window->newPoint(u"classic"_s, u"Fan.Two"_s));
    EXPECT_EQ(messages(), QStringList());
    typeOver(clickValueCell(*window->alphabeticSheet(), u"Descriptor"_s), u"Typed"_s);
    modals.then(u"msgChoice"_s, answering(u"Discard"_s));
    EXPECT_TRUE(window->close());
}

// One clear message per problem: the Point Builder leads with what went wrong, says what the user
// was doing, keeps the library's text under the details, and shows nothing after a cancelled log-on.
TEST(PointBuilderMessages, AProblemLeadsWithItsDescriptionAndKeepsTheLibrarysTextUnderTheDetails) {
    // what went wrong, what the user was doing, what is shown: text | informative text | details
    const std::tuple<ErrorMessage, const char*, const char*> cases[] = {
        {{u"PropSheetEntries:SaveEdits\r\nThe point \"X\" was not changed\r\n-2147220472\r\n"_s,
          u"PropSheetEntries:SaveEdits"_s, u"The point \"X\" was not changed\r\nSpan: must not be 0"_s,
          sdkerr::AttributesRefused},
         "saving X on plant",
         "The point \"X\" was not changed | This happened while saving X on plant. | "
         "PropSheetEntries:SaveEdits\nThe point \"X\" was not changed\n-2147220472\n\n"
         "Number: -2147220472 (0x80040408)"},
        {{u"VQTagSearch:Search\r\n\r\n5"_s, u"VQTagSearch:Search"_s, QString(), errc::InvalidArgument},
         "",
         "Something went wrong (error 5). |  | VQTagSearch:Search\n\n5\n\nNumber: 5 (0x5)"},
    };
    for (const auto& [error, doingText, shown] : cases) {
        SCOPED_TRACE(doingText);
        std::optional<PointBuilderMessages::Doing> doing;
        if (*doingText) doing.emplace(QString::fromUtf8(doingText));
        const std::unique_ptr<QMessageBox> box = PointBuilderMessages::createErrorBox(error);
        EXPECT_EQ(box->text() + u" | "_s + box->informativeText() + u" | "_s + box->detailedText(),
                  QString::fromUtf8(shown));
    }
    ModalDriver modals;  // none planned: a box would be closed and told
    PointBuilderMessages().showError(
        {u"VQTagSearch:ConnectOnSelect"_s, QString(), u"refused"_s, sdkerr::LogonFailed});
    EXPECT_EQ(modals.faults(), "");
}

// Cancel in the log-on window is the user's choice: the save ends there, told in the status bar.
TEST_F(PointBuilderTest, CancelInTheLogOnWindowDuringASaveShowsNothingMore) {
    const ScopedServices windows(&ServicesContext::connectDialog,
                                 [] { return std::make_shared<WidgetConnectDialog>(); });
    ASSERT_TRUE(window->openPoint(u"Boiler.Temp"_s));
    editInSheet(*window->alphabeticSheet(), u"Descriptor"_s, u"Mine"_s);
    reconnect()->setPassword(u"vqadmin"_s, u"secret"_s);
    window->entries()->Server()->Close();
    modals.then(u"frmLogon"_s, [](QWidget* logon) { static_cast<QDialog*>(logon)->reject(); });
    EXPECT_FALSE(window->save());
    EXPECT_EQ(messages(), QStringList());
    EXPECT_TRUE(statusSays(*window, "Not saved: Boiler.Temp (not logged on to plant)"));
    EXPECT_EQ(values(*window->entries(), "Descriptor"), "Descriptor=Mine");
}

// The Point Builder as a program people live in: tags completed as typed, the first window, and
// the recent points, server and geometry remembered between runs.
// Suggestions come by prefix, a screenful at most, spelt as the server spells them; Enter opens.
TEST_F(PointBuilderTest, TheTagFieldSuggestsAScreenfulOfTheServersTagsAsTheyAreTyped) {
    auto server = reconnect();
    for (int i = 1; i <= 15; ++i)
        storePoint(*server, u"Pump.%1"_s.arg(i, 2, 10, QChar(u'0')), u"classic"_s, pointtype::Float32);
    auto* tag = child<QLineEdit>(*window, "txtTag");
    const auto typed = [&](const QString& text) {
        tag->clear();
        QTest::keyClicks(tag, text);
        return window->tagCompleter()->suggestions();
    };
    EXPECT_EQ(typed(u"pu"_s).size(), TagCompleter::MaxSuggestions);
    EXPECT_EQ(typed(u"*oiler"_s) + typed(u"zz"_s), QStringList());  // a mask is no prefix
    EXPECT_EQ(typed(u"PUMP.1"_s).join(u' '), u"Pump.10 Pump.11 Pump.12 Pump.13 Pump.14 Pump.15"_s);
    QAbstractItemView* popup = tag->completer()->popup();
    clickIndex(popup, popup->model()->index(4, 0));
    EXPECT_EQ(tag->text(), u"Pump.14"_s);
    QTest::keyClick(tag, Qt::Key_Return);
    EXPECT_TRUE(statusSays(*window, "Pump.14 on plant"));
}

// The first window shows both sheets whole (every child inside its parent at this size is the
// high-DPI test's), its File menu every command on a point, and a screen reader a name for all the
// keyboard reaches, a grid's cells and editors included.
TEST_F(PointBuilderTest, TheFirstWindowShowsEverythingWholeAndNamed) {
    window.reset();
    PointBuilderWindow first;
    ASSERT_TRUE(showActive(first));
    EXPECT_EQ(first.size(), PointBuilderWindow::firstSize());
    EXPECT_EQ(
        menuTexts(first.menuBar()->actions().first()->menu()).join(u'|'),
        u"&New point|&Open|&Find...|Propert&ies...|Poin&ts...|Edit Properties Se&lection in Points|-|&Save|&Revert|&History...|-|Recent &points|-|&Quit"_s);
    first.action(u"actAbout"_s)->trigger();
    EXPECT_TRUE(messages().join(u'|').contains(QRegularExpression(u"^Point Builder \\d+\\.\\d+"_s)));
    ASSERT_TRUE(first.openPoint(u"Boiler.Temp"_s));
    QApplication::processEvents();
    for (VQPointPropSheet* sheet : {first.categorizedSheet(), first.alphabeticSheet()})
        EXPECT_FALSE(child<QTreeView>(sheet, "MSHFlexGrid1")->horizontalScrollBar()->isVisible());
    ASSERT_NE(clickValueCell(*first.alphabeticSheet(), u"Descriptor"_s), nullptr);
    EXPECT_EQ(unnamedFocusables(&first).join(u'\n'), QString());
}

TEST(PointBuilderSettings, RecentPointsKeepTheEightNewestOnceEach) {
    PointBuilderSettings settings;  // the test program has no name: nothing is stored
    for (int i = 1; i <= 10; ++i) settings.addRecentPoint({u"plant"_s, u"T%1"_s.arg(i)});
    settings.addRecentPoint({u"PLANT"_s, u"t5"_s});
    QStringList tags;
    for (const RecentPoint& point : settings.recentPoints()) tags << point.tag;
    EXPECT_EQ(tags.join(u' '), u"t5 T10 T9 T8 T7 T6 T4 T3"_s);
    EXPECT_TRUE(PointBuilderSettings().recentPoints().isEmpty());
}

// A program with a name remembers, in a temporary folder, never the user's.
TEST_F(PointBuilderTest, RecentPointsServerAndGeometryComeBackAndGonePointsAreDropped) {
    QTemporaryDir settingsDir;
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, settingsDir.path());
    QCoreApplication::setOrganizationName(u"VQTagwrightTest"_s);
    QCoreApplication::setApplicationName(u"PointBuilderTest"_s);
    const auto restart = [&] {
        window->close();
        window = std::make_unique<PointBuilderWindow>();
        window->show();
    };
    const auto recentMenu = [&] { return menuTexts(child<QMenu>(*window, "mnuRecent")); };
    makeServer(u"VQ3"_s, u"VQ 3.4.1"_s, u"north"_s);
    SdkApplication::instance()->Servers()->Add(u"north"_s, path(u"north"_s), false);
    restart();
    ASSERT_TRUE(window->openPoint(u"boiler.temp"_s) && window->newPoint(u"classic"_s, u"Fan.Speed"_s));
    ASSERT_TRUE(window->save() && window->selectServer(u"north"_s));
    window->resize(1010, 640);
    restart();
    EXPECT_EQ(window->server()->Name() + u' ' + recentMenu().join(u'|'),
              u"north &1 Fan.Speed on plant|&2 Boiler.Temp on plant"_s);
    EXPECT_EQ(window->size(), QSize(1010, 640));
    child<QMenu>(*window, "mnuRecent")->actions().at(1)->trigger();  // switches to its server
    EXPECT_TRUE(statusSays(*window, "Boiler.Temp on plant"));
    EXPECT_EQ(recentMenu().first(), u"&1 Boiler.Temp on plant"_s);

    PointBuilderSettings().addRecentPoint({u"plant"_s, u"Gone.Tag"_s});
    restart();
    EXPECT_FALSE(window->openRecent(1));  // told, and dropped for good
    EXPECT_EQ(messages(),
              QStringList{u"Gone.Tag on plant no longer exists; it is taken off the recent points."_s});
    restart();
    EXPECT_EQ(recentMenu().size(), 2);
    QCoreApplication::setOrganizationName(QString());
}

}  // namespace
}  // namespace vq::test
