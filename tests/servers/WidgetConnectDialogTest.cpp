#include "ServerWindowTestSupport.h"

#include "core/MessageService.h"
#include "platform/MessageBoxService.h"
#include "sdk/SdkConnectDialog.h"
#include "servers/ConnectionManagerWindow.h"
#include "servers/LogonWindow.h"
#include "servers/WidgetConnectDialog.h"
#include "servers/WidgetServices.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

using namespace vq;
using namespace vq::test;

namespace {

class WidgetConnectDialogTest : public ServerWindowTest {
protected:
    void SetUp() override {
        ServerWindowTest::SetUp();
        SdkConnectDialog::setFactory([] { return std::make_shared<WidgetConnectDialog>(); });
        m_server = addArchive(u"plant"_s);
    }
    void TearDown() override {
        SdkConnectDialog::setFactory(nullptr);
        ServerWindowTest::TearDown();
    }

    // Types `password` into the log-on window and presses Enter, as a user would.
    static void typePassword(QWidget* window, const QString& password) {
        QLineEdit* field = child<QLineEdit>(window, "txtPassword");
        if (!field) return;
        field->selectAll();
        QTest::keyClicks(field, password);
        QTest::keyClick(field, Qt::Key_Return);
    }
    static QString message(QWidget* window) {
        QLabel* line = child<QLabel>(window, "lblMessage");
        return line && line->isVisibleTo(window) ? line->text() : QString();
    }

    void logon(const QString& user, const QString& password) {
        SdkConnectDialog::create()->Logon(m_server, user, password, true, false);
    }

    SdkServerPtr m_server;
};

// Right credentials need no window; a refusal opens one that names the server and what it said,
// keeps refusing wrong passwords, and logs on once the password is right.
TEST_F(WidgetConnectDialogTest, RefusedLogonAsksUntilThePasswordIsRight) {
    QSignalSpy opened(servers().get(), &SdkServers::OnOpen);
    logon(u"vqadmin"_s, QString());
    EXPECT_EQ(m_server->UserName(), u"vqadmin"_s);
    EXPECT_EQ(opened.count(), 1);
    m_server->Close();

    m_modals.then([&](QWidget* window) {
        EXPECT_TRUE(qobject_cast<LogonWindow*>(window));
        EXPECT_EQ(child<QLabel>(window, "lblServer")->text(), u"plant"_s);
        EXPECT_EQ(child<QLineEdit>(window, "txtUser")->text(), u"engineer"_s);
        EXPECT_EQ(child<QLineEdit>(window, "txtPassword")->echoMode(), QLineEdit::Password);
        const QString first = message(window);
        EXPECT_TRUE(first.startsWith(u"Server \"plant\": "_s)) << first.toStdString();
        EXPECT_TRUE(first.endsWith(u"(error 0x80040403)"_s)) << first.toStdString();

        typePassword(window, u"still wrong"_s);
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(m_server->IsConnected());
        EXPECT_EQ(child<QLineEdit>(window, "txtPassword")->selectedText(), u"still wrong"_s);

        typePassword(window, u"secret"_s);
        EXPECT_FALSE(window->isVisible());
    });
    logon(u"engineer"_s, u"wrong"_s);
    EXPECT_EQ(m_modals.faults(), "");
    EXPECT_TRUE(m_server->IsConnected());
    EXPECT_EQ(m_server->UserName(), u"engineer"_s);
    ASSERT_EQ(opened.count(), 2);
    EXPECT_EQ(opened.at(1).at(0).toString(), u"plant"_s);
}

// Cancel hands the caller the server's refusal, number and all, and nobody is logged on; errors
// that no password mends come at once, without a window.
TEST_F(WidgetConnectDialogTest, CancelRaisesTheRefusal) {
    QSignalSpy opened(servers().get(), &SdkServers::OnOpen);
    m_modals.then([&](QWidget* window) {
        typePassword(window, u"guess"_s);
        click(child<QDialogButtonBox>(window, "buttons")->button(QDialogButtonBox::Cancel));
    });
    const Error refusal = raised([&] { logon(u"engineer"_s, u"wrong"_s); });
    EXPECT_EQ(m_modals.faults(), "");
    EXPECT_EQ(refusal.number(), sdkerr::LogonFailed);
    EXPECT_TRUE(refusal.description().contains(u"plant"_s));
    EXPECT_FALSE(m_server->IsConnected());
    EXPECT_EQ(opened.count(), 0);

    // A known server whose archive went away: the window could not help.
    QFile registry(registryPath());
    ASSERT_TRUE(registry.open(QIODevice::WriteOnly | QIODevice::Truncate));
    registry.write(R"({"servers": [{"name": "ghost", "location": "ghost.vqa"}]})");
    registry.close();
    SdkApplication::reset();
    m_server = servers()->Item(u"ghost"_s);
    EXPECT_EQ(errorNumberOf([&] { logon(u"vqadmin"_s, QString()); }), sdkerr::ServerUnavailable);
    SdkServerPtr none;
    EXPECT_EQ(errorNumberOf([&] { SdkConnectDialog::create()->Logon(none, u"vqadmin"_s, {}, true, false); }),
              sdkerr::ServerUnknown);
    EXPECT_EQ(m_modals.faults(), "");
}

// A program with a display gets message boxes and this dialog; the connection manager it opens is
// modal over the library's own server list.
TEST_F(WidgetConnectDialogTest, InstalledServicesOpenTheConnectionManager) {
    const std::shared_ptr<MessageService> recorder = setMessageService(nullptr);
    SdkConnectDialog::setFactory(nullptr);
    installWidgetServices();
    EXPECT_TRUE(dynamic_cast<MessageBoxService*>(&messageService()));
    const SdkConnectDialogPtr dialog = SdkConnectDialog::create();
    EXPECT_TRUE(std::dynamic_pointer_cast<WidgetConnectDialog>(dialog));
    setMessageService(recorder);

    addArchive(u"second"_s);
    m_modals.then([&](QWidget* window) {
        EXPECT_TRUE(qobject_cast<ConnectionManagerWindow*>(window));
        EXPECT_TRUE(window->isModal());
        EXPECT_EQ(child<QTableWidget>(window, "lvServers")->rowCount(), 2);
        click(child<QDialogButtonBox>(window, "buttons")->button(QDialogButtonBox::Close));
    });
    dialog->ConnectionManager(false, true);
    EXPECT_EQ(m_modals.faults(), "");
}

}  // namespace
