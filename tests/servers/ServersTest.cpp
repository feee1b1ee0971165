// The servers room: the pick list of servers, the log-on window, the connection manager and help.
#include "BindableChecks.h"
#include "ModalDialogs.h"
#include "SampleServers.h"
#include "TestFiles.h"
#include "WidgetDriving.h"
#include "archive/server/ArchiveServers.h"
#include "model/ModelTestSupport.h"
#include "platform/FormRegistry.h"
#include "platform/HelpViewer.h"
#include "platform/ServicesContext.h"
#include "platform/SystemColors.h"
#include "platform/TextMetrics.h"
#include "sdk/SdkConnectDialog.h"
#include "sdk/SdkErrors.h"
#include "servers/ConnectionManagerWindow.h"
#include "servers/Environment.h"
#include "servers/LogonWindow.h"
#include "servers/MultiServerPickList.h"
#include "servers/MultiServerPickListMenuForm.h"
#include "servers/MultiServerPickListSelectForm.h"
#include "servers/WidgetConnectDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableWidget>

namespace vq::test {
namespace {

QStringList lines(const QListWidget& list, bool selectedOnly = false) {
    QStringList out;
    for (int row = 0; row < list.count(); ++row)
        if (!selectedOnly || list.item(row)->isSelected()) out << list.item(row)->text();
    return out;
}

class PickListTest : public SampleServersTest {
protected:
    void SetUp() override {
        SampleServersTest::SetUp();
        connect(u"vqsouth"_s);
        connect(u"vqlegacy"_s);
        form.resize(420, 80);
        pickList = new MultiServerPickList(&form);
        pickList->setGeometry(10, 10, 300, 24);
        pickList->SetEnabled(true);
        ASSERT_TRUE(showActive(form));
        pickList->setFocus();
    }
    std::string selected() { return text(pickList->SelectedServers()); }
    static QObject* loaded(const QString& name) { return FormRegistry::current().find(name); }
    static MultiServerPickListSelectForm* selectForm() {
        return static_cast<MultiServerPickListSelectForm*>(loaded(u"MultiServerPickListSelectForm"_s));
    }

    QWidget form;
    MultiServerPickList* pickList = nullptr;
};

// The choice is the pick list's value (the editors' table checks that it is the user property): it
// changes, and is announced, only when its names do; the getter keeps its object. A server leaving
// the list leaves the choice, matched exactly by name.
TEST_F(PickListTest, SelectionChangesOnlyWhenTheNamesDoAndFollowsTheServerList) {
    EXPECT_EQ(writeTwice(*pickList, "SelectedServerNames", QStringList{u"vqnorth"_s, u"vqlegacy"_s}),
              u"notify 1 1, marked 1 1"_s);
    QSignalSpy selections(pickList, &MultiServerPickList::OnSelection);
    pickList->SetSelectedServers(names({u"vqsouth"_s, u"vqnorth"_s}));
    const SdkNamedValuesPtr first = pickList->SelectedServers();
    pickList->SetSelectedServers(names({u"VQNORTH"_s, u"vqsouth"_s}));
    EXPECT_EQ(pickList->SelectedServers(), first);
    EXPECT_EQ(pickList->displayText() + u'|' + pickList->toolTip(), u"vqsouth, vqnorth|vqsouth, vqnorth"_s);
    pickList->RemoveServerFromList(u"vqlegacy"_s);  // not selected
    pickList->RemoveServerFromList(u"VQNORTH"_s);   // selected, but not spelt so
    EXPECT_EQ(selections.count(), 1);
    servers()->Remove(u"vqnorth"_s);
    EXPECT_EQ(selections.count(), 2);
    EXPECT_NE(pickList->SelectedServers(), first);
    EXPECT_EQ(selected(), "vqsouth");
    EXPECT_TRUE(pickList->IsServerSelected(u"VQSouth"_s) && !pickList->IsServerSelected(u"vqnorth"_s));
}

TEST_F(PickListTest, ArrowKeysCycleThroughServersAndTheRememberedChoice) {
    pickList->SetSelectedServers(names({u"vqnorth"_s, u"vqlegacy"_s}));
    pickList->SetSelectedServers(names({u"vqsouth"_s}));
    QStringList visited;
    for (Qt::Key key :
         {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Up}) {
        QTest::keyClick(pickList, key);
        visited << QString::fromStdString(selected());
    }
    EXPECT_EQ(visited.join(u' '), u"vqnorth vqnorth,vqlegacy vqlegacy vqsouth vqnorth vqsouth vqlegacy"_s);
    pickList->SetEnabled(false);
    QTest::keyClick(pickList, Qt::Key_Up);
    EXPECT_EQ(selected(), "vqlegacy");
}

TEST_F(PickListTest, DialogListsConnectedServersFirstAndKeepsTheChoiceWhenNothingIsPicked) {
    pickList->SetSelectedServers(names({u"vqlegacy"_s}));
    const ScopedServices mouse(&ServicesContext::mousePosition, [] { return QPoint(400, 20); });
    MultiServerPickListSelectForm* dialog = selectForm();
    ASSERT_NE(dialog, nullptr);
    auto* list = child<QListWidget>(dialog, "lstServerList");

    whileShown([&] { QTest::mouseClick(pickList, Qt::LeftButton, {}, QPoint(5, 5)); },
               [&](QWidget* shown) {
                   EXPECT_TRUE(shown == dialog && dialog->windowTitle() == u"Multi-Server Pick List"_s);
                   EXPECT_EQ(dialog->pos(), QPoint(400 - dialog->width() / 4, 0));
                   EXPECT_EQ(lines(*list),
                             QStringList({u"vqsouth"_s, u"vqlegacy"_s, QString(87, u'-'), u"vqnorth"_s}));
                   EXPECT_EQ(lines(*list, true), QStringList{u"vqlegacy"_s});
                   list->clearSelection();
                   QTest::mouseClick(child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
               });
    EXPECT_EQ(selected(), "vqlegacy");

    // Closing the window counts as OK; the separator is never a server.
    whileShown([&] { QTest::keyClick(pickList, Qt::Key_Space); },
               [&](QWidget*) {
                   list->selectAll();
                   dialog->close();
               });
    EXPECT_EQ(selected(), "vqsouth,vqlegacy,vqnorth");
}

// Deleting a pick list unloads the forms it used; one that remains loads them again. From the
// keyboard the dialog comes up over its control and whole on the screen, not at a pointer resting
// in the screen's corner (a click places it at the pointer, above), a far selection scrolled into view.
TEST_F(PickListTest, TheDialogComesBackBesideItsControlFromTheKeyboardWithAFarSelectionInView) {
    auto* other = new MultiServerPickList(&form);
    ASSERT_NE(selectForm(), nullptr);
    delete other;
    EXPECT_EQ(selectForm(), nullptr);
    EXPECT_EQ(loaded(u"MultiServerPickListMenuForm"_s), nullptr);
    for (int i = 1; i <= 24; ++i)
        servers()->Add(u"alias%1"_s.arg(i, 2, 10, QChar(u'0')), archivePath(u"vqnorth"_s), false);
    pickList->SetSelectedServers(names({u"alias12"_s}));  // line 15: 2 connected, separator, vqnorth, ...
    const QPoint corner = pickList->screen()->availableGeometry().bottomRight();
    const ScopedServices pointer(&ServicesContext::mousePosition, [corner] { return corner; });
    form.move(200, 150);
    QRect placed;
    whileShown([&] { QTest::keyClick(pickList, Qt::Key_Space); },
               [&](QWidget* dialog) {
                   placed = dialog->geometry();
                   EXPECT_EQ(selectForm()->topLine(), 15 - 5);
                   static_cast<QDialog*>(dialog)->reject();
               });
    EXPECT_TRUE(placed.contains(pickList->mapToGlobal(pickList->rect().center())) &&
                pickList->screen()->availableGeometry().contains(placed))
        << placed.x() << "," << placed.y();
}

TEST_F(PickListTest, PopupMenuOffersEveryServerAndRebuildsItsItems) {
    QMenu* menu = static_cast<MultiServerPickListMenuForm*>(loaded(u"MultiServerPickListMenuForm"_s))->menu();
    whileShown([&] { QTest::mouseClick(pickList, Qt::RightButton, {}, QPoint(5, 5)); },
               [&](QWidget* shown) {
                   EXPECT_EQ(shown, menu);
                   EXPECT_EQ(menuTexts(menu), QStringList({u"Select All Connected"_s, u"vqsouth"_s,
                                                           u"vqlegacy"_s, u"-"_s, u"vqnorth"_s}));
                   clickMenuItem(menu, u"Select All Connected"_s);
               });
    EXPECT_EQ(selected(), "vqsouth,vqlegacy");

    connect(u"vqnorth"_s);
    servers()->Remove(u"vqlegacy"_s);
    whileShown(
        [&] { QTest::keyClick(pickList, Qt::Key_F10, Qt::ShiftModifier); },
        [&](QWidget*) {
            EXPECT_EQ(menuTexts(menu), QStringList({u"Select All Connected"_s, u"vqsouth"_s, u"vqnorth"_s}));
            clickMenuItem(menu, u"vqnorth"_s);
        });
    EXPECT_EQ(selected(), "vqnorth");

    pickList->SetEnabled(false);
    QTest::mouseClick(pickList, Qt::RightButton, {}, QPoint(5, 5));  // no menu: nothing to answer it
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// A name gets the longest prefix that fits with "..." behind it, two names half the width each;
// the tooltip has them whole. A choice made before the control is sized fits once it is.
TEST_F(PickListTest, NamesAreAbbreviatedToTheirShareOfTheWidth) {
    const QString longName = u"vqsouth-production-historian-primary"_s;
    servers()->Add(longName, archivePath(u"vqsouth"_s), false);
    pickList->setFixedWidth(120);
    const auto width = [&](const QString& text) { return textWidthTwips(text, pickList->Font()); };
    pickList->SetSelectedServers(names({longName}));
    const QString prefix = pickList->displayText().chopped(3);
    EXPECT_TRUE(pickList->displayText().endsWith(u"..."_s) && prefix.size() > 3 &&
                longName.startsWith(prefix))
        << prefix.toStdString();
    EXPECT_LT(width(pickList->displayText()), pickList->textWidthTwips());
    EXPECT_GE(width(longName.left(prefix.size() + 1) + u"..."_s), pickList->textWidthTwips());
    pickList->SetSelectedServers(names({longName, u"vqlegacy"_s}));
    EXPECT_TRUE(pickList->displayText().contains(u"..."_s));
    EXPECT_LT(width(pickList->displayText()), pickList->textWidthTwips() + width(u"..."_s));
    EXPECT_EQ(pickList->toolTip(), longName + u", vqlegacy"_s);
    EXPECT_EQ(MultiServerPickList::GetAbbreviatedServerName(u"vqsouth"_s, 1, pickList->Font()), u"..."_s);
    auto* late = new MultiServerPickList(&form);
    late->SetSelectedServers(names({u"vqsouth"_s}));
    late->setGeometry(10, 40, 300, 24);
    EXPECT_EQ(late->displayText(), u"vqsouth"_s);
}

TEST_F(PickListTest, PaintsFocusDisabledAndPressedInTheSystemColours) {
    pickList->SetSelectedServers(names({u"vqsouth"_s}));
    QTRY_VERIFY(pickList->hasFocus());
    auto textRowHas = [&](SystemColor which) {
        const QImage image = pickList->grab().toImage();
        for (int x = 3; x < pickList->buttonRect().left(); ++x)
            if (image.pixel(x, pickList->height() / 2) == systemColor(which).rgb()) return true;
        return false;
    };
    auto buttonEdge = [&] {
        return pickList->grab().toImage().pixel(pickList->buttonRect().topLeft() + QPoint(3, 0));
    };
    EXPECT_TRUE(textRowHas(SystemColor::Highlight) &&
                buttonEdge() == systemColor(SystemColor::ButtonHighlight).rgb());
    whileShown([&] { QTest::mousePress(pickList, Qt::LeftButton, {}, QPoint(5, 5)); },
               [&](QWidget* shown) {
                   EXPECT_EQ(buttonEdge(), systemColor(SystemColor::DarkShadow3D).rgb());
                   shown->hide();
               });
    EXPECT_EQ(buttonEdge(), systemColor(SystemColor::ButtonHighlight).rgb());

    pickList->SetEnabled(false);
    EXPECT_TRUE(!textRowHas(SystemColor::Highlight) && textRowHas(SystemColor::ButtonFace));
    EXPECT_EQ(pickList->focusPolicy(), Qt::NoFocus);
}

using Window = ConnectionManagerWindow;

void type(QWidget* window, const char* field, const QString& text) {
    child<QLineEdit>(window, field)->selectAll();
    QTest::keyClicks(child<QLineEdit>(window, field), text);
}
void press(QWidget* window, QDialogButtonBox::StandardButton button) {
    QTest::mouseClick(child<QDialogButtonBox>(window, "buttons")->button(button), Qt::LeftButton);
}
QString redLine(QWidget* window) {
    QLabel* line = child<QLabel>(window, "lblMessage");
    return line->isVisibleTo(window) ? line->text() : QString();
}

// Records what it was asked to show and answers with a window number.
struct RecordingHelpViewer : HelpViewer {
    long long showTopic(const QString& filePath, int topic) override {
        shown.append(u"%1#%2"_s.arg(filePath).arg(topic));
        return 4242;
    }
    QStringList shown;
};

// Archives "north" (VQ3, the default) and "south" (VQ2), each with the users vqadmin (no password)
// and engineer ("secret"), known through the archive library.
class ServerWindowsTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        createArchive(u"north"_s, u"VQ3"_s, u"VQ 3.2.357"_s);
        createArchive(u"south"_s, u"VQ2"_s, u"VQ 2.08"_s);
        servers()->Add(u"north"_s, path(u"north"_s), true);
        servers()->Add(u"south"_s, path(u"south"_s), false);
    }
    void TearDown() override {
        m_window.reset();
        SdkConnectDialog::setFactory(nullptr);
        ModelTest::TearDown();
    }

    void createArchive(const QString& name, const QString& kind, const QString& version) {
        makeServer(kind, version, name)->addUser(u"engineer"_s, u"secret"_s, {});
    }
    SdkServersPtr servers() const { return SdkApplication::instance()->Servers(); }
    QString registryPath() const { return m_dir.filePath(u"servers.json"_s); }
    // The server list as the next program to read the registry sees it, the default starred.
    std::string registry() const {
        ArchiveServers fresh{ServerRegistry(registryPath())};
        QStringList names;
        for (const SdkServerPtr& server : fresh.All())
            names << server->Name() + (server == fresh.DefaultServer() ? u"*"_s : QString());
        return names.join(u' ').toStdString();
    }

    void openManager() {
        m_window = std::make_unique<Window>(servers());
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
        m_list = child<QTableWidget>(m_window.get(), "lvServers");
    }
    // The manager's rows but the archive, "-" for an empty cell, then the chosen server and the
    // enabled buttons: "north VQ3 VQ_3.2.357 No - Yes; south VQ2 VQ_2.08 No - - | north: Connect Add".
    std::string shown() const {
        QStringList rows, enabled;
        for (int row = 0; row < m_list->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < Window::ColumnCount; ++column) {
                const QString text = m_list->item(row, column)->text();
                if (column != Window::LocationColumn)
                    cells << (text.isEmpty() ? u"-"_s : QString(text).replace(u' ', u'_'));
            }
            rows << cells.join(u' ');
        }
        for (const char* name : {"cmdConnect", "cmdDisconnect", "cmdSetDefault", "cmdAdd", "cmdRemove"})
            if (child<QPushButton>(m_window.get(), name)->isEnabled())
                enabled << QString::fromLatin1(name + 3);
        return (rows.join(u"; "_s) + u" | "_s + m_window->selectedName() + u": "_s + enabled.join(u' '))
            .toStdString();
    }
    void choose(int row) { clickIndex(m_list, m_list->model()->index(row, Window::NameColumn)); }
    void click(const char* button) { clickButton(m_window.get(), button); }
    // Whether the messages hold `parts` in this order; a failure shows them.
    ::testing::AssertionResult told(std::initializer_list<QString> parts) {
        const QString all = m_messages->texts().join(u'\n');
        qsizetype at = 0;
        for (const QString& part : parts)
            if ((at = all.indexOf(part, at)) < 0) return ::testing::AssertionFailure() << all.toStdString();
        return ::testing::AssertionSuccess();
    }

    ModalDriver m_modals;
    std::unique_ptr<Window> m_window;
    QTableWidget* m_list = nullptr;
};

// Installed, the dialog logs on with right credentials without a window. A refusal opens one
// naming the server and what it said, refusing wrong passwords until the right one; Cancel hands
// the caller the refusal. An error no password mends comes without a window.
TEST_F(ServerWindowsTest, LogonAsksWhenRefusedUntilRightOrCancelled) {
    const ScopedServices windows(&ServicesContext::connectDialog,
                                 [] { return std::make_shared<WidgetConnectDialog>(); });
    SdkServerPtr server = servers()->Item(u"north"_s);
    QSignalSpy opened(servers().get(), &SdkServers::OnOpen);
    const auto logon = [&](const QString& user, const QString& password) {
        SdkConnectDialog::create()->Logon(server, user, password, true, false);
    };
    logon(u"vqadmin"_s, QString());
    m_modals.then([&](QWidget* window) {
        EXPECT_EQ(child<QLabel>(window, "lblServer")->text() + child<QLineEdit>(window, "txtUser")->text(),
                  u"northengineer"_s);
        EXPECT_TRUE(redLine(window).startsWith(u"Server \"north\": "_s) &&
                    redLine(window).endsWith(u"(error 0x80040403)"_s))
            << redLine(window).toStdString();
        auto* password = child<QLineEdit>(window, "txtPassword");
        type(window, "txtPassword", u"still wrong"_s);
        QTest::keyClick(password, Qt::Key_Return);
        EXPECT_EQ(password->selectedText(), u"still wrong"_s);  // refused, selected for retyping
        type(window, "txtPassword", u"secret"_s);
        QTest::keyClick(password, Qt::Key_Return);
    });
    logon(u"engineer"_s, u"wrong"_s);
    EXPECT_TRUE(server->UserName() == u"engineer"_s && opened.count() == 2);

    m_modals.then([&](QWidget* window) { press(window, QDialogButtonBox::Cancel); });
    EXPECT_EQ(errorNumberOf([&] { logon(u"engineer"_s, u"wrong"_s); }), sdkerr::LogonFailed);
    EXPECT_TRUE(!server->IsConnected() && opened.count() == 2);

    writeFile(registryPath(), R"({"servers": [{"name": "ghost", "location": "ghost.vqa"}]})");
    SdkApplication::reset();
    server = servers()->Item(u"ghost"_s);
    EXPECT_EQ(errorNumberOf([&] { logon(u"vqadmin"_s, QString()); }), sdkerr::ServerUnavailable);
    openManager();  // listed, with the reason
    const QTableWidgetItem* kind = m_list->item(0, Window::KindColumn);
    EXPECT_TRUE(kind->text() == u"unavailable"_s &&
                kind->toolTip().contains(u"ghost.vqa\" does not exist"_s));
    EXPECT_EQ(m_modals.faults(), "");
}

// Connect asks in the log-on window (vqadmin offered), Disconnect logs off, a log-on made
// elsewhere shows at once, and the buttons follow the chosen server.
TEST_F(ServerWindowsTest, ManagerConnectsSetsTheDefaultAddsAndRemoves) {
    openManager();
    EXPECT_EQ(shown(), "north VQ3 VQ_3.2.357 No - Yes; south VQ2 VQ_2.08 No - - | north: Connect Add Remove");
    EXPECT_EQ(m_list->item(0, Window::LocationColumn)->text(), path(u"north"_s));
    choose(1);
    m_modals.then([&](QWidget* logon) {
        EXPECT_EQ(child<QLineEdit>(logon, "txtUser")->text(), u"vqadmin"_s);
        type(logon, "txtUser", u"engineer"_s);
        type(logon, "txtPassword", u"secret"_s);
        press(logon, QDialogButtonBox::Ok);
    });
    click("cmdConnect");
    EXPECT_EQ(
        shown(),
        "north VQ3 VQ_3.2.357 No - Yes; south VQ2 VQ_2.08 Yes engineer - | south: Disconnect SetDefault "
        "Add Remove");
    click("cmdDisconnect");
    EXPECT_EQ(shown(),
              "north VQ3 VQ_3.2.357 No - Yes; south VQ2 VQ_2.08 No - - | south: Connect SetDefault Add "
              "Remove");
    servers()->Item(u"north"_s)->Open(u"vqadmin"_s, QString());
    EXPECT_EQ(m_list->item(0, Window::UserColumn)->text(), u"vqadmin"_s);
    EXPECT_EQ(m_messages->texts(), QStringList());

    // The default moves in the registry once it can be written (before, a message says why); Add
    // refuses a missing file, one that is no archive and an unreachable database, keeping what was
    // typed, then adds a real archive; Remove asks, forgets the server and keeps its file.
    ASSERT_TRUE(QFile::rename(registryPath(), registryPath() + u".kept"_s) && QDir().mkdir(registryPath()));
    click("cmdSetDefault");
    EXPECT_TRUE(told({u"Could not make \"south\" the default server.\r\n"_s, u"(error 0x8004040A)"_s}));
    ASSERT_TRUE(QDir().rmdir(registryPath()) && QFile::rename(registryPath() + u".kept"_s, registryPath()));
    click("cmdSetDefault");
    EXPECT_EQ(registry(), "north south*");
    EXPECT_TRUE(shown().ends_with("vqadmin -; south VQ2 VQ_2.08 No - Yes | south: Connect Add Remove"))
        << shown();
    m_messages->clear();

    const QString missing = m_dir.filePath(u"gone.vqa"_s);
    m_modals.then([&](QWidget* add) {
        type(add, "txtName", u"east"_s);
        for (const QString& file :
             {missing, registryPath(),
              u"postgresql://engineer:s3cret@/plant?host=%1"_s.arg(m_dir.filePath(u"x"_s)),
              u"postgresql://engineer@/plant?host=%1"_s.arg(m_dir.filePath(u"x"_s))}) {
            type(add, "txtFile", file);
            press(add, QDialogButtonBox::Ok);
            EXPECT_EQ(child<QLineEdit>(add, "txtFile")->text(), file);  // taken as typed, kept
        }
        press(add, QDialogButtonBox::Cancel);
    });
    click("cmdAdd");
    EXPECT_TRUE(told({u"The server \"east\" was not added.\r\nThe archive file \""_s + missing +
                          u"\" does not exist (error 0x80040402)"_s,
                      u"servers.json\" is not a usable archive: "_s,
                      u"The server list keeps no passwords, and \"postgresql://engineer@/plant?host="_s,
                      u"The archive \"postgresql://engineer@/plant?host="_s, u"cannot be reached"_s}));
    EXPECT_FALSE(m_messages->texts().join(u' ').contains(u"s3cret"_s));

    createArchive(u"east"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
    m_modals.then([&](QWidget* add) {
        type(add, "txtName", u"east"_s);
        type(add, "txtFile", path(u"east"_s));
        QTest::keyClick(child<QCheckBox>(add, "chkDefault"), Qt::Key_Space);
        press(add, QDialogButtonBox::Ok);
    });
    click("cmdAdd");
    EXPECT_EQ(registry(), "north south east*");
    EXPECT_TRUE(shown().ends_with("| east: Connect Add Remove")) << shown();

    QSignalSpy removed(servers().get(), &SdkServers::OnRemove);
    choose(0);
    m_messages->scriptAnswer(MessageResult::Cancel);
    click("cmdRemove");
    EXPECT_EQ(removed.count(), 0);
    click("cmdRemove");
    EXPECT_TRUE(told({u"Remove the server \"north\" from the list?"_s}) && removed.count() == 1);
    EXPECT_EQ(registry(), "south east*");
    EXPECT_TRUE(shown().starts_with("south VQ2 VQ_2.08 No - -; east VQ3 VQ_3.4.1 No - Yes |")) << shown();
    EXPECT_TRUE(QFile::exists(path(u"north"_s)));
    EXPECT_EQ(m_modals.faults(), "");
}

// Refusals that take three lines make the window taller; the fields keep their height.
TEST_F(ServerWindowsTest, TheLogonWindowKeepsItsFieldsWhenItsMessageGrows) {
    LogonWindow window(servers()->Item(u"north"_s));
    ASSERT_TRUE(showActive(window));
    const QString why = QStringList(12, u"the archive refused the password given"_s).join(u"; "_s);
    for (int attempt = 0; attempt < 3; ++attempt)
        window.showRefusal(Error(sdkerr::LogonFailed, u"north"_s, why));
    QApplication::processEvents();
    auto* message = child<QLabel>(&window, "lblMessage");
    ASSERT_GE(message->height(), 3 * message->fontMetrics().lineSpacing());
    EXPECT_GE(message->height(), message->heightForWidth(message->width()));
    for (const char* field : {"txtUser", "txtPassword"})
        EXPECT_GE(child<QLineEdit>(&window, field)->height(),
                  child<QLineEdit>(&window, field)->sizeHint().height())
            << field;
}

// The help viewer gets the file below the root in VQPC.INI in the platform's form and the topic; a
// missing file is reported with the path as built, the root cut to 80 characters, backslashes and
// all; an empty root in an untitled box.
TEST_F(ServerWindowsTest, HelpTopicOpensAnExistingFileBelowTheRootOrSaysItIsMissing) {
    const auto viewer = std::make_shared<RecordingHelpViewer>();
    const ScopedServices help(&ServicesContext::helpViewer, viewer);
    qputenv("VQ_INI_DIR", m_dir.path().toUtf8());
    qputenv("VQ_GUIDE_DIR", "");  // no user guide to fall back on
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(u"help"_s));
    writeFile(m_dir.filePath(u"help/VQSDKToolsUsr.chm"_s), {});
    const auto show = [&](const QByteArray& home, const QString& file, int32_t topic) {
        writeFile(m_dir.filePath(u"VQPC.INI"_s), "[VQPC]\nVQHOME=" + home + "\n");
        return ShowHelpTopic(file, topic);
    };
    EXPECT_EQ(show(m_dir.path().toUtf8(), kPointSearchHelpFile, kPointSearchHelpTopic), 4242);
    EXPECT_EQ(viewer->shown, QStringList{m_dir.filePath(u"help/VQSDKToolsUsr.chm#23128"_s)});
    EXPECT_EQ(show(m_dir.path().toUtf8(), kDigSetSearchHelpFile, kDigSetSearchHelpTopic), 0);
    show(QByteArray(120, 'r'), kPointSearchHelpFile, kPointSearchHelpTopic);
    show("", kPointSearchHelpFile, kPointSearchHelpTopic);
    qunsetenv("VQ_INI_DIR");
    qunsetenv("VQ_GUIDE_DIR");
    QStringList told;
    for (const auto& message : m_messages->messages()) told << message.title + u": "_s + message.text;
    EXPECT_EQ(told,
              (QStringList{u"File Does Not Exist: The file %1\\Tagwright\\Tagwright.chm does not exist"_s.arg(
                               m_dir.path()),
                           u"File Does Not Exist: The file %1\\help\\VQSDKToolsUsr.chm does not exist"_s.arg(
                               QString(80, u'r')),
                           u": Invalid VQPC.INI"_s,
                           u"File Does Not Exist: The file \\help\\VQSDKToolsUsr.chm does not exist"_s}));
    EXPECT_EQ(viewer->shown.size(), 1);
}

}  // namespace
}  // namespace vq::test
