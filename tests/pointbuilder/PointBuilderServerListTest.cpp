// The window follows the server list while it runs: a server removed in a connection manager, or
// added and removed by another program.
#include "PointBuilderTestSupport.h"
#include "archive/server/ServerRegistry.h"
#include "dialogs/DialogServices.h"
#include "servers/ConnectionManagerWindow.h"

#include <QComboBox>
#include <QMenu>
#include <QProcess>
#include <QPushButton>

namespace vq::test {
namespace {

// "plant" beside a second server "north", and the window's searches in the library's dialogs.
class PointBuilderServerListTest : public PointBuilderTest {
protected:
    void SetUp() override {
        PointBuilderTest::SetUp();
        makeServer(u"VQ3"_s, u"VQ 3.4.1"_s, u"north"_s);
        SdkApplication::instance()->Servers()->Add(u"north"_s, path(u"north"_s), false);
    }
    QString serverBox() const {
        auto* box = child<QComboBox>(*window, "cboServer");
        QStringList names;
        for (int i = 0; i < box->count(); ++i) names << box->itemText(i);
        return names.join(u' ') + u" shows "_s + box->currentText();
    }
    // Whether the server box comes to read `expected` (a file change takes a moment to be seen).
    ::testing::AssertionResult boxComesToShow(const QString& expected) const {
        if (QTest::qWaitFor([&] { return serverBox() == expected; })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the server box reads " << serverBox().toStdString();
    }
    // The first recent point as its menu entry reads, "(disabled)" after it when it is.
    QString firstRecent() const {
        const QAction* entry = child<QMenu>(*window, "mnuRecent")->actions().first();
        return entry->text() + (entry->isEnabled() ? QString() : u" (disabled)"_s);
    }
    // Runs vqarchive on the window's server list, as another program.
    static QString vqarchive(const QStringList& args) {
        QProcess tool;
        tool.start(QStringLiteral(VQARCHIVE_BINARY),
                   QStringList{u"--registry"_s, ServerRegistry::defaultPath()} + args);
        tool.waitForFinished();
        return QString::fromUtf8(tool.readAllStandardError());
    }
    // Find and Properties each open their search, on the servers left, and are cancelled there.
    void findAndProperties() {
        for (int i = 0; i < 2; ++i)
            modals.then(u"VQTagSearchForm"_s, [](QWidget* form) {
                QTest::mouseClick(child<QPushButton>(form, "cmdCancel"), Qt::LeftButton);
            });
        EXPECT_FALSE(window->findPoint());
        window->action(u"actProperties"_s)->trigger();
    }

    const ScopedServices dialogs{useLibraryDialogs};
};

// Untouched, the open point closes; edited, it stays, says its server is gone and still saves to
// its archive. The server box, Find and Properties go on with "north"; the recent point waits,
// disabled, until its server is back.
TEST_F(PointBuilderServerListTest, RemovingTheOpenPointsServerInAConnectionManagerUpdatesTheWindow) {
    const std::tuple<bool, const char*, int> cases[] = {
        {false, "No point open | Closed: plant was removed from the server list", 1},
        {true, "Boiler.Temp on plant (not in the server list) | Edited (1)", 2}};
    for (const auto& [edited, status, shownMessages] : cases) {
        SCOPED_TRACE(status);
        ASSERT_TRUE(showActive(*window));
        ASSERT_TRUE(window->selectServer(u"plant"_s) && window->openPoint(u"Boiler.Temp"_s));
        if (edited) editInSheet(*window->categorizedSheet(), u"Descriptor"_s, u"Kept"_s);
        m_messages->clear();
        ConnectionManagerWindow manager(SdkApplication::instance()->Servers());
        ASSERT_TRUE(manager.selectServer(u"plant"_s));
        m_messages->scriptAnswer(MessageResult::Ok);
        manager.removeSelected();
        EXPECT_EQ(serverBox(), u"north shows north"_s);
        EXPECT_TRUE(statusSays(*window, status));
        EXPECT_EQ(firstRecent(), u"&1 Boiler.Temp on plant (not in the server list) (disabled)"_s);
        findAndProperties();
        EXPECT_EQ(messages().size(), shownMessages) << messages().join(u'\n').toStdString();
        if (edited) {
            EXPECT_TRUE(window->save());
            EXPECT_EQ(storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor"), "Descriptor=Kept");
        }
        SdkApplication::instance()->Servers()->Add(u"plant"_s, path(u"plant"_s), true);
        EXPECT_EQ(firstRecent(), u"&1 Boiler.Temp on plant"_s);
    }
}

// What another program adds shows in the server box; what it removes goes as if removed here.
TEST_F(PointBuilderServerListTest, AnotherProgramsChangesToTheServerListShowInTheRunningWindow) {
    ASSERT_TRUE(window->openPoint(u"Boiler.Temp"_s));
    makeServer(u"VQ3"_s, u"VQ 3.4.1"_s, u"east"_s);
    EXPECT_EQ(vqarchive({u"servers"_s, u"add"_s, u"east"_s, path(u"east"_s)}), QString());
    EXPECT_TRUE(boxComesToShow(u"plant north east shows plant"_s));
    EXPECT_EQ(vqarchive({u"servers"_s, u"remove"_s, u"plant"_s}), QString());
    EXPECT_TRUE(boxComesToShow(u"north east shows north"_s));
    EXPECT_TRUE(statusSays(*window, "No point open"));
}

}  // namespace
}  // namespace vq::test
