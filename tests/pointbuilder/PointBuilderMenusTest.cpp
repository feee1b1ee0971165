// The Point Builder as a program people live in: tags completed as typed, the first window, and
// the recent points, server and geometry remembered between runs.
#include "PointBuilderSettings.h"
#include "PointBuilderTestSupport.h"
#include "TagCompleter.h"
#include "editors/VQCompressionSpecs.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCompleter>
#include <QLineEdit>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>

namespace vq::test {
namespace {

QStringList menuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        if (action->isVisible()) texts << (action->isSeparator() ? u"-"_s : action->text());
    return texts;
}

TEST_F(PointBuilderTest, TheTagFieldSuggestsAScreenfulOfTheServersTagsAsTheyAreTyped) {
    auto server = reconnect();
    for (int i = 1; i <= 15; ++i)
        storePoint(*server, u"Pump.%1"_s.arg(i, 2, 10, QChar(u'0')), u"classic"_s, pointtype::Float32);
    auto* tag = window->findChild<QLineEdit*>(u"txtTag"_s);
    const auto typed = [&](const QString& text) {
        tag->clear();
        QTest::keyClicks(tag, text);
        return window->tagCompleter()->suggestions();
    };
    QAbstractItemView* popup = tag->completer()->popup();

    EXPECT_EQ(typed(u"pu"_s).size(), TagCompleter::MaxSuggestions);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(typed(u"PUMP.1"_s).join(u' '), u"Pump.10 Pump.11 Pump.12 Pump.13 Pump.14 Pump.15"_s);
    // A mask is not a prefix: it gets no suggestions, nor does a tag nobody has
    EXPECT_TRUE(typed(u"*oiler"_s).isEmpty());
    EXPECT_TRUE(typed(u"zz"_s).isEmpty());
    EXPECT_FALSE(popup->isVisible());

    // A suggestion clicked fills the field as the server spells it, and Enter opens it
    typed(u"pump.14"_s);
    ASSERT_TRUE(popup->isVisible());
    const QModelIndex first = popup->model()->index(0, 0);
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, popup->visualRect(first).center());
    EXPECT_EQ(tag->text(), u"Pump.14"_s);
    EXPECT_FALSE(popup->isVisible());
    QTest::keyClick(tag, Qt::Key_Return);
    EXPECT_TRUE(statusSays(*window, "Pump.14 on plant"));
}

// The first window shows both sheets and both panels without scrolling sideways, and its File
// menu every command on a point.
TEST_F(PointBuilderTest, TheFirstWindowShowsBothSheetsAndPanelsWholeAndTheFileMenu) {
    window.reset();
    PointBuilderWindow first;
    first.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
    EXPECT_EQ(first.size(), PointBuilderWindow::firstSize());
    EXPECT_EQ(menuTexts(first.menuBar()->actions().first()->menu()).join(u'|'),
              u"&New point|&Open|&Find...|Propert&ies...|-|&Save|&Revert|-|Recent &points|-|&Quit"_s);
    first.action(u"actAbout"_s)->trigger();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].contains(QRegularExpression(u"^Point Builder \\d+\\.\\d+"_s)))
        << messages()[0].toStdString();
    ASSERT_TRUE(first.openPoint(u"Boiler.Temp"_s));
    QApplication::processEvents();
    for (VQPointPropSheet* sheet : {first.categorizedSheet(), first.alphabeticSheet()}) {
        auto* grid = sheet->findChild<QTreeView*>(u"MSHFlexGrid1"_s);
        EXPECT_FALSE(grid->horizontalScrollBar()->isVisible()) << sheet->objectName().toStdString();
    }
    for (QWidget* panel :
         {static_cast<QWidget*>(first.compressionPanel()), static_cast<QWidget*>(first.exceptionPanel())})
        EXPECT_TRUE(first.rect().contains(QRect(panel->mapTo(&first, QPoint()), panel->size())));
    if (const QByteArray out = qgetenv("VQ_GRAB_DIR"); !out.isEmpty())
        first.grab().save(QString::fromLocal8Bit(out) + u"/pointbuilder-first.png"_s);
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

// A program with a name remembers; the settings go to a temporary folder, never the user's.
class RememberingTest : public PointBuilderTest {
protected:
    void SetUp() override {
        for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, m_settingsDir.path());
        QCoreApplication::setOrganizationName(u"VQTagwrightTest"_s);
        QCoreApplication::setApplicationName(u"PointBuilderTest"_s);
        PointBuilderTest::SetUp();
    }
    void TearDown() override {
        PointBuilderTest::TearDown();
        QCoreApplication::setOrganizationName(QString());
    }
    // Closes the window as a user quits, and starts the program again.
    void reopen() {
        window->close();
        window = std::make_unique<PointBuilderWindow>();
        window->show();
    }
    QStringList recentMenu() { return menuTexts(window->findChild<QMenu*>(u"mnuRecent"_s)); }

    QTemporaryDir m_settingsDir;
};

TEST_F(RememberingTest, RecentPointsServerAndGeometryComeBackAndGonePointsAreDropped) {
    // Given a second server, a point opened and a new one saved on plant, then north chosen
    makeServer(u"VQ3"_s, u"VQ 3.4.1"_s, u"north"_s);
    SdkApplication::instance()->Servers()->Add(u"north"_s, path(u"north"_s), false);
    reopen();
    ASSERT_TRUE(window->openPoint(u"boiler.temp"_s));
    ASSERT_TRUE(window->newPoint(u"classic"_s, u"Pump.Flow"_s));
    ASSERT_TRUE(window->save());
    ASSERT_TRUE(window->selectServer(u"north"_s));
    window->resize(1010, 640);

    // When the program starts again, it shows north at that size with the same recent points
    reopen();
    EXPECT_EQ(window->server()->Name(), u"north"_s);
    EXPECT_EQ(window->size(), QSize(1010, 640));
    EXPECT_EQ(recentMenu(), (QStringList{u"&1 Pump.Flow on plant"_s, u"&2 Boiler.Temp on plant"_s}));

    // When a recent point is chosen, the window switches to its server and opens it
    window->findChild<QMenu*>(u"mnuRecent"_s)->actions().at(1)->trigger();
    EXPECT_EQ(window->server()->Name(), u"plant"_s);
    EXPECT_TRUE(statusSays(*window, "Boiler.Temp on plant"));
    EXPECT_EQ(recentMenu().first(), u"&1 Boiler.Temp on plant"_s);

    // When a remembered point has gone, choosing it says so and drops it for good
    PointBuilderSettings().addRecentPoint({u"plant"_s, u"Gone.Tag"_s});
    reopen();
    ASSERT_EQ(recentMenu().size(), 3);
    EXPECT_FALSE(window->openRecent(1));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0], u"Gone.Tag on plant no longer exists; it is taken off the recent points."_s);
    EXPECT_EQ(recentMenu().size(), 2);
    reopen();
    EXPECT_EQ(window->settings().recentPoints().size(), 2);
}

}  // namespace
}  // namespace vq::test
