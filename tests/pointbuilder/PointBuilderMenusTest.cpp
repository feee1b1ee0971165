// The Point Builder as a program people live in: tags completed as typed, the first window, and
// the recent points, server and geometry remembered between runs.
#include "AccessibleWalk.h"
#include "PointBuilderSettings.h"
#include "PointBuilderTestSupport.h"
#include "TagCompleter.h"
#include "editors/VQCompressionSpecs.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>

namespace vq::test {
namespace {

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
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {},
                      popup->visualRect(popup->model()->index(4, 0)).center());
    EXPECT_EQ(tag->text(), u"Pump.14"_s);
    QTest::keyClick(tag, Qt::Key_Return);
    EXPECT_TRUE(statusSays(*window, "Pump.14 on plant"));
}

// The first window shows both sheets and panels whole, its File menu every command on a point,
// and a screen reader a name for all the keyboard reaches, a grid's cells and editors included.
TEST_F(PointBuilderTest, TheFirstWindowShowsEverythingWholeAndNamed) {
    window.reset();
    PointBuilderWindow first;
    ASSERT_TRUE(showActive(first));
    EXPECT_EQ(first.size(), PointBuilderWindow::firstSize());
    EXPECT_EQ(menuTexts(first.menuBar()->actions().first()->menu()).join(u'|'),
              u"&New point|&Open|&Find...|Propert&ies...|-|&Save|&Revert|-|Recent &points|-|&Quit"_s);
    first.action(u"actAbout"_s)->trigger();
    EXPECT_TRUE(messages().join(u'|').contains(QRegularExpression(u"^Point Builder \\d+\\.\\d+"_s)));
    ASSERT_TRUE(first.openPoint(u"Boiler.Temp"_s));
    QApplication::processEvents();
    for (VQPointPropSheet* sheet : {first.categorizedSheet(), first.alphabeticSheet()})
        EXPECT_FALSE(child<QTreeView>(sheet, "MSHFlexGrid1")->horizontalScrollBar()->isVisible());
    for (QWidget* panel : std::initializer_list<QWidget*>{first.compressionPanel(), first.exceptionPanel()})
        EXPECT_TRUE(first.rect().contains(QRect(panel->mapTo(&first, QPoint()), panel->size())));
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
