#include "ServerWindowTestSupport.h"

#include "archive/ArchiveServers.h"
#include "servers/AddServerWindow.h"
#include "servers/ConnectionManagerWindow.h"
#include "servers/LogonWindow.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

using namespace vq;
using namespace vq::test;

namespace {

using Window = ConnectionManagerWindow;

// Two known archives, "north" (the default) and "south", in a shown connection manager.
class ConnectionManagerWindowTest : public ServerWindowTest {
protected:
    void SetUp() override {
        ServerWindowTest::SetUp();
        addArchive(u"north"_s, u"VQ3"_s, u"VQ 3.2.357"_s, true);
        addArchive(u"south"_s, u"VQ2"_s, u"VQ 2.08"_s);
        m_window = std::make_unique<Window>(servers());
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
        m_list = child<QTableWidget>(m_window.get(), "lvServers");
    }
    void TearDown() override {
        m_window.reset();
        ServerWindowTest::TearDown();
    }

    // The rows as "name kind version connected user default"; "-" for an empty cell.
    std::string rows() const {
        QStringList out;
        for (int row = 0; row < m_list->rowCount(); ++row) {
            QStringList cells;
            for (int column : {Window::NameColumn, Window::KindColumn, Window::VersionColumn,
                               Window::ConnectedColumn, Window::UserColumn, Window::DefaultColumn}) {
                const QString text = m_list->item(row, column)->text();
                cells << (text.isEmpty() ? u"-"_s : QString(text).replace(u' ', u'_'));
            }
            out << cells.join(u' ');
        }
        return out.join(u"; "_s).toStdString();
    }
    // The enabled action buttons and the chosen server: "north: Connect Add Remove".
    std::string state() const {
        QStringList enabled;
        for (const char* name : {"cmdConnect", "cmdDisconnect", "cmdSetDefault", "cmdAdd", "cmdRemove"})
            if (child<QPushButton>(m_window.get(), name)->isEnabled())
                enabled << QString::fromLatin1(name + 3);
        return (m_window->selectedName() + u": "_s + enabled.join(u' ')).toStdString();
    }
    void choose(const QString& name) {
        for (int row = 0; row < m_list->rowCount(); ++row) {
            if (m_list->item(row, Window::NameColumn)->text() == name) {
                const QRect cell = m_list->visualItemRect(m_list->item(row, Window::NameColumn));
                QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, cell.center());
                return;
            }
        }
        ADD_FAILURE() << "no row " << name.toStdString();
    }
    void press(const char* button) { click(child<QPushButton>(m_window.get(), button)); }
    // The server list as the next program to read the registry sees it, default starred.
    std::string registry() const {
        ArchiveServers fresh{ServerRegistry(registryPath())};
        QStringList names;
        for (const SdkServerPtr& server : fresh.All())
            names << server->Name() + (server == fresh.DefaultServer() ? u"*"_s : QString());
        return names.join(u' ').toStdString();
    }
    static void fill(QWidget* window, const char* field, const QString& text) {
        QLineEdit* edit = child<QLineEdit>(window, field);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    static void pressOk(QWidget* window) {
        click(child<QDialogButtonBox>(window, "buttons")->button(QDialogButtonBox::Ok));
    }
    static void pressCancel(QWidget* window) {
        click(child<QDialogButtonBox>(window, "buttons")->button(QDialogButtonBox::Cancel));
    }

    std::unique_ptr<Window> m_window;
    QTableWidget* m_list = nullptr;
};

// Connect asks in the log-on window (vqadmin offered, a refusal shown in it), Disconnect logs off;
// a log-on made elsewhere shows at once; the buttons follow the chosen server.
TEST_F(ConnectionManagerWindowTest, ConnectAndDisconnect) {
    EXPECT_EQ(rows(), "north VQ3 VQ_3.2.357 No - Yes; south VQ2 VQ_2.08 No - -");
    EXPECT_EQ(m_list->item(0, Window::LocationColumn)->text(), path(u"north"_s));
    EXPECT_EQ(state(), "north: Connect Add Remove");
    choose(u"south"_s);
    EXPECT_EQ(state(), "south: Connect SetDefault Add Remove");

    QSignalSpy opened(servers().get(), &SdkServers::OnOpen);
    m_modals.then([&](QWidget* logon) {
        EXPECT_TRUE(qobject_cast<LogonWindow*>(logon));
        EXPECT_EQ(child<QLabel>(logon, "lblServer")->text(), u"south"_s);
        EXPECT_EQ(child<QLineEdit>(logon, "txtUser")->text(), u"vqadmin"_s);
        fill(logon, "txtUser", u"engineer"_s);
        fill(logon, "txtPassword", u"guess"_s);
        pressOk(logon);
        EXPECT_TRUE(logon->isVisible());
        EXPECT_TRUE(child<QLabel>(logon, "lblMessage")->text().contains(u"\"south\""_s));
        fill(logon, "txtPassword", u"secret"_s);
        pressOk(logon);
    });
    press("cmdConnect");
    EXPECT_EQ(m_modals.faults(), "");
    EXPECT_EQ(rows(), "north VQ3 VQ_3.2.357 No - Yes; south VQ2 VQ_2.08 Yes engineer -");
    EXPECT_EQ(state(), "south: Disconnect SetDefault Add Remove");
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.at(0).at(0).toString(), u"south"_s);

    press("cmdDisconnect");
    EXPECT_FALSE(servers()->Item(u"south"_s)->IsConnected());
    EXPECT_EQ(rows(), "north VQ3 VQ_3.2.357 No - Yes; south VQ2 VQ_2.08 No - -");
    EXPECT_EQ(state(), "south: Connect SetDefault Add Remove");

    // Cancel connects nothing.
    m_modals.then([&](QWidget* logon) { pressCancel(logon); });
    press("cmdConnect");
    EXPECT_EQ(m_modals.faults(), "");
    EXPECT_FALSE(servers()->Item(u"south"_s)->IsConnected());

    servers()->Item(u"north"_s)->Open(u"vqadmin"_s, QString());
    EXPECT_EQ(rows(), "north VQ3 VQ_3.2.357 Yes vqadmin Yes; south VQ2 VQ_2.08 No - -");
    EXPECT_EQ(state(), "south: Connect SetDefault Add Remove");
    EXPECT_TRUE(m_messages->texts().isEmpty()) << m_messages->texts().join(u'\n').toStdString();
}

// The default moves in the registry; Add refuses a missing file with a message and keeps what was
// typed, and adds a real archive; Remove asks, forgets the server and announces it.
TEST_F(ConnectionManagerWindowTest, DefaultAddAndRemoveRewriteTheRegistry) {
    choose(u"south"_s);
    press("cmdSetDefault");
    EXPECT_EQ(registry(), "north south*");
    EXPECT_EQ(rows(), "north VQ3 VQ_3.2.357 No - -; south VQ2 VQ_2.08 No - Yes");
    EXPECT_EQ(state(), "south: Connect Add Remove");

    const QString missing = m_dir.filePath(u"gone.vqa"_s);
    m_modals.then([&](QWidget* add) {
        EXPECT_TRUE(qobject_cast<AddServerWindow*>(add));
        fill(add, "txtName", u"east"_s);
        fill(add, "txtFile", missing);
        pressOk(add);
        EXPECT_TRUE(add->isVisible());
        EXPECT_EQ(child<QLineEdit>(add, "txtName")->text(), u"east"_s);
        EXPECT_EQ(child<QLineEdit>(add, "txtFile")->text(), missing);
        pressCancel(add);
    });
    press("cmdAdd");
    EXPECT_EQ(m_modals.faults(), "");
    ASSERT_EQ(m_messages->texts().size(), 1);
    EXPECT_TRUE(m_messages->texts().front().startsWith(u"The server \"east\" was not added.\r\n"_s));
    EXPECT_TRUE(m_messages->texts().front().contains(missing));
    EXPECT_EQ(registry(), "north south*");
    EXPECT_EQ(m_list->rowCount(), 2);

    createArchive(u"east"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
    m_modals.then([&](QWidget* add) {
        fill(add, "txtName", u"east"_s);
        fill(add, "txtFile", path(u"east"_s));
        QTest::keyClick(child<QCheckBox>(add, "chkDefault"), Qt::Key_Space);
        pressOk(add);
    });
    press("cmdAdd");
    EXPECT_EQ(m_modals.faults(), "");
    EXPECT_EQ(registry(), "north south east*");
    EXPECT_EQ(state(), "east: Connect Add Remove");

    QSignalSpy removed(servers().get(), &SdkServers::OnRemove);
    choose(u"north"_s);
    m_messages->clear();
    m_messages->scriptAnswer(MessageResult::Cancel);
    press("cmdRemove");
    EXPECT_EQ(removed.count(), 0);
    press("cmdRemove");
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.at(0).at(0).toString(), u"north"_s);
    ASSERT_EQ(m_messages->texts().size(), 2);
    EXPECT_TRUE(m_messages->texts().front().startsWith(u"Remove the server \"north\" from the list?"_s));
    EXPECT_EQ(registry(), "south east*");
    EXPECT_EQ(rows(), "south VQ2 VQ_2.08 No - -; east VQ3 VQ_3.4.1 No - Yes");
    EXPECT_EQ(state(), "east: Connect Add Remove");
    EXPECT_TRUE(QFile::exists(path(u"north"_s)));
}

// A registry that cannot be written refuses the new default with a message and the window keeps
// working; a server whose archive is gone lists as unavailable and says why when connecting.
TEST_F(ConnectionManagerWindowTest, FailuresAreShownAndTheWindowStaysUsable) {
    ASSERT_TRUE(QFile::remove(registryPath()));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(u"servers.json"_s));
    choose(u"south"_s);
    press("cmdSetDefault");
    ASSERT_EQ(m_messages->texts().size(), 1);
    EXPECT_TRUE(
        m_messages->texts().front().startsWith(u"Could not make \"south\" the default server.\r\n"_s));
    EXPECT_TRUE(m_messages->texts().front().contains(u"(error 0x8004040A)"_s));
    EXPECT_EQ(rows(), "north VQ3 VQ_3.2.357 No - Yes; south VQ2 VQ_2.08 No - -");
    EXPECT_EQ(state(), "south: Connect SetDefault Add Remove");
    ASSERT_TRUE(QDir(m_dir.path()).rmdir(u"servers.json"_s));

    QFile registry(registryPath());
    ASSERT_TRUE(registry.open(QIODevice::WriteOnly));
    registry.write(R"({"servers": [{"name": "ghost", "location": "ghost.vqa"}]})");
    registry.close();
    SdkApplication::reset();
    m_window = std::make_unique<Window>(servers());
    m_window->show();
    m_list = child<QTableWidget>(m_window.get(), "lvServers");
    EXPECT_EQ(rows(), "ghost unavailable unavailable No - Yes");
    EXPECT_TRUE(m_list->item(0, Window::KindColumn)->toolTip().contains(u"ghost.vqa"_s));
    m_modals.then([&](QWidget* logon) {
        pressOk(logon);
        EXPECT_TRUE(child<QLabel>(logon, "lblMessage")->text().contains(u"ghost.vqa"_s));
        pressCancel(logon);
    });
    press("cmdConnect");
    EXPECT_EQ(m_modals.faults(), "");
    EXPECT_EQ(state(), "ghost: Connect Add Remove");
}

}  // namespace
