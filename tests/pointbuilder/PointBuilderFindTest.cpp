// The Point Builder's dialogs driven while they run modal: Find, Properties and Connections; the
// whole round of Find, open, edit, save and find again with the keyboard alone; and the window
// following the server list while it runs.
#include "PointBuilderMessages.h"
#include "PointBuilderTestSupport.h"
#include "PointTableWindow.h"
#include "archive/server/ServerRegistry.h"
#include "dialogs/DialogServices.h"
#include "propsheet/PropSheetGridModel.h"
#include "servers/ConnectionManagerWindow.h"
#include "servers/MultiServerPickList.h"
#include "servers/WidgetConnectDialog.h"
#include "table/PointTableModel.h"
#include "table/VQPointTable.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTableView>

namespace vq::test {
namespace {

class PointBuilderFindTest : public PointBuilderTest {
protected:
    const ScopedServices dialogs{useLibraryDialogs};
    // The next search: `descriptor` typed over the one it shows (kept in `shown`), Search, `more`
    // done on the form, then OK.
    void nextSearch(const QString& descriptor, std::function<void(QWidget*)> more = {}) {
        modals.then(u"VQTagSearchForm"_s, [=, this](QWidget* form) {
            auto* field = child<QLineEdit>(form, "txtDescriptor");
            shown = field->text();
            field->setText(descriptor);
            clickButton(form, "cmdSearch");
            if (more) more(form);
            clickButton(form, "cmdOK");
        });
    }
    void cancelNextSearch() {
        modals.then(u"VQTagSearchForm"_s, [](QWidget* f) { clickButton(f, "cmdCancel"); });
    }
    QString shown;
};

// Found (Ctrl+F), found again over another open point in the dialog the window keeps (editing
// and saving between two finds is the keyboard test's), then found on a server the pick list
// chose, which the window follows.
TEST_F(PointBuilderFindTest, APointFoundAndFoundAgainAlsoOnAnotherServer) {
    nextSearch(u"*boiler*"_s);
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(statusSays(*window, "Boiler.Temp on plant"));
    ASSERT_TRUE(window->openPoint(u"Pump.Flow"_s));
    nextSearch(u"*TEMPERATURE*"_s);
    clickButton(window.get(), "cmdFind");
    EXPECT_EQ(shown, u"*boiler*"_s);
    EXPECT_TRUE(statusSays(*window, "Boiler.Temp on plant"));

    storePoint(*makeServer(u"VQ3"_s, u"VQ 3.4.1"_s, u"north"_s), u"North.Level"_s, u"classic"_s,
               pointtype::Float32);
    SdkApplication::instance()->Servers()->Add(u"north"_s, path(u"north"_s), false);
    nextSearch(QString(), [](QWidget* form) {
        auto* pickList = child<MultiServerPickList>(form, "MultiServerPickList1");
        EXPECT_EQ(pickList->SelectedServerNames(), QStringList{u"plant"_s});
        pickList->SetSelectedServerNames({u"north"_s});
        clickButton(form, "cmdSearch");
    });
    ASSERT_TRUE(window->findPoint());
    EXPECT_EQ(child<QComboBox>(*window, "cboServer")->currentText(), u"north"_s);
    EXPECT_TRUE(statusSays(*window, "North.Level on north"));
}

// Every road away from unsaved edits asks first: Find, New point and Open (Quit has three answers).
TEST_F(PointBuilderFindTest, UnsavedEditsAreDroppedOnlyWhenTheUserAgrees) {
    ASSERT_TRUE(window->openPoint(u"Boiler.Temp"_s));
    editInSheet(*window->alphabeticSheet(), u"Descriptor"_s, u"Unsaved"_s);
    const PropSheetEntries* edited = window->entries().get();
    cancelNextSearch();  // nothing to ask
    EXPECT_FALSE(window->findPoint());
    m_messages->scriptAnswer(MessageResult::Cancel);
    nextSearch(u"*pump*"_s);
    EXPECT_FALSE(window->findPoint());
    m_messages->scriptAnswer(MessageResult::Cancel);
    EXPECT_FALSE(window->newPoint(u"classic"_s, u"Other"_s));
    // Agreed, but the tag is unknown: the failure is told and the point stays open
    m_messages->scriptAnswer(MessageResult::Ok);
    EXPECT_FALSE(window->openPoint(u"No.Such.Tag"_s));
    EXPECT_EQ(window->entries().get(), edited);
    QStringList told = messages();
    ASSERT_EQ(told.size(), 4);
    EXPECT_TRUE(told.takeAt(3).startsWith(u"PointBuilderWindow:OpenPoint\r\n"_s));
    EXPECT_EQ(told, QStringList(3, u"The edits of Boiler.Temp on plant are not saved.\r\nDrop them?"_s));
}

// Properties shows every point chosen, which the Points window then takes; the server list
// follows the connection manager.
TEST_F(PointBuilderFindTest, PropertiesAndConnectionsAreModalOverTheWindow) {
    int shownPoints = -1;
    nextSearch(QString(), [](QWidget* form) { clickButton(form, "cmdSelectAll"); });
    modals.then(u"VQPointPropertySheetForm"_s, [&](QWidget* sheet) {
        shownPoints = sheet->findChild<QComboBox*>()->count();
        QTest::keyClick(sheet, Qt::Key_Escape);
    });
    EXPECT_FALSE(window->action(u"actEditSelection"_s)->isEnabled());
    window->action(u"actProperties"_s)->trigger();
    EXPECT_EQ(shownPoints, 2);
    window->action(u"actEditSelection"_s)->trigger();  // the points shown go into the table
    EXPECT_EQ(window->showPointsWindow()->table()->model()->rowCount(), 2);
    cancelNextSearch();  // then no sheet: the driver would close one as unplanned
    window->action(u"actProperties"_s)->trigger();
    {
        const ScopedServices logon(&ServicesContext::connectDialog,
                                   [] { return std::make_shared<WidgetConnectDialog>(); });
        makeServer(u"VQ3"_s, u"VQ 3.4.1"_s, u"east"_s);
        modals.then(u"frmConnectionManager"_s, [this](QWidget* manager) {
            SdkApplication::instance()->Servers()->Add(u"east"_s, path(u"east"_s), false);
            qobject_cast<QDialog*>(manager)->accept();
        });
        window->action(u"actConnections"_s)->trigger();
    }
    EXPECT_GE(child<QComboBox>(*window, "cboServer")->findText(u"east"_s), 0);
    EXPECT_EQ(child<QComboBox>(*window, "cboServer")->currentText(), u"plant"_s);
}

// Cancel in the log-on window during a search is the user's choice too: the Point Builder's own
// message presentation shows no box after it (the driver would close one and say so), and no rows
// of the earlier search stay.
TEST_F(PointBuilderFindTest, CancelInTheLogOnWindowDuringASearchShowsNothingMore) {
    const ScopedServices logon(&ServicesContext::connectDialog,
                               [] { return std::make_shared<WidgetConnectDialog>(); });
    const ScopedServices presentation(
        &ServicesContext::messages,
        std::shared_ptr<MessageService>(std::make_shared<PointBuilderMessages>()));
    int rows = -1;
    nextSearch(u"*"_s, [&](QWidget* form) {
        reconnect()->setPassword(u"vqadmin"_s, u"secret"_s);
        SdkApplication::instance()->Servers()->Item(u"plant"_s)->Close();
        modals.then(u"frmLogon"_s, [](QWidget* window) { static_cast<QDialog*>(window)->reject(); });
        clickButton(form, "cmdSearch");
        rows = child<QTableView>(form, "stSearchResults")->model()->rowCount();
    });
    EXPECT_FALSE(window->findPoint());
    EXPECT_EQ(rows, 0);
}

// The Point Builder used from the keyboard alone: Find, open, edit, save and find again.

// Tab until the focus is on the widget called `name` (inside `within` when given); false when a
// round of 60 never gets there.
bool tabTo(const char* name, const QWidget* within = nullptr) {
    for (int step = 0; step < 60; ++step) {
        const QWidget* focus = QApplication::focusWidget();
        if (focus && focus->objectName() == QLatin1String(name) && (!within || within->isAncestorOf(focus)))
            return true;
        pressKeys(u"Tab"_s);
    }
    return false;
}

// Down the grid that has the focus until `attribute` is the current row, unfolding categories.
bool downTo(const QString& attribute) {
    auto* grid = qobject_cast<QTreeView*>(QApplication::focusWidget());
    pressKeys(u"Home"_s);
    for (int step = 0; grid && step < 200; ++step) {
        const QModelIndex current = grid->currentIndex();
        if (current.data(PropSheetGridModel::KeyRole).toString() == attribute) return true;
        pressKeys(PropSheetGridModel::isCategory(current) && !grid->isExpanded(current.siblingAtColumn(0))
                      ? u"Right Down"_s
                      : u"Down"_s);
    }
    return false;
}

// In the search dialog: the mask typed over the tag field, Enter searches, and Enter on the top
// result, chosen by the search, hands it over. `listed` gets the descriptions found.
void findByKeys(ModalDriver& modals, const QString& mask, QStringList* listed = nullptr) {
    modals.then(u"VQTagSearchForm"_s, [=](QWidget* form) {
        ASSERT_TRUE(showActive(*form));
        child<QWidget>(form, "txtTagMask")->setFocus();  // where the dialog puts it once painted
        pressKeys(u"Ctrl+A '"_s + mask + u"' Return"_s);
        if (listed) *listed = columnTexts(child<QTableView>(form, "stSearchResults")->model(), 2);
        ASSERT_TRUE(tabTo("stSearchResults"));
        pressKeys(u"Return"_s);
    });
}

using PointBuilderKeysTest = PointBuilderFindTest;

TEST_F(PointBuilderKeysTest, FindOpenEditSaveAndFindAgainWithKeysAlone) {
    findByKeys(modals, u"Boiler*"_s);
    pressKeys(u"Ctrl+F"_s);
    ASSERT_TRUE(statusSays(*window, "Boiler.Temp on plant"));
    ASSERT_TRUE(showActive(*window));  // the platform hands activation back after the dialog

    ASSERT_TRUE(tabTo("MSHFlexGrid1", window->alphabeticSheet()));
    ASSERT_TRUE(downTo(u"Descriptor"_s));
    pressKeys(u"'Steam_drum' Return"_s);
    ASSERT_TRUE(downTo(u"EngUnits"_s));
    pressKeys(u"F2 'degC' Tab"_s);  // on to the next attribute's editor
    pressKeys(u"'2.5' Return"_s);
    pressKeys(u"Ctrl+S"_s);
    const std::string saved = "Descriptor=Steam drum EngUnits=degC ExcDev=2.5";
    EXPECT_EQ(storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor EngUnits ExcDev"), saved);

    QStringList listed;
    findByKeys(modals, u"Boiler*"_s, &listed);
    pressKeys(u"Ctrl+F"_s);
    EXPECT_EQ(listed, QStringList{u"Steam drum"_s});
    EXPECT_EQ(values(*window->entries(), "Tag Descriptor EngUnits ExcDev"), "Tag=Boiler.Temp " + saved);
}

// The window follows the server list while it runs: a server removed in a connection manager, or
// added and removed by another program.
// "plant" beside a second server "north", and the window's searches in the library's dialogs.
class PointBuilderServerListTest : public PointBuilderFindTest {
protected:
    void SetUp() override {
        PointBuilderFindTest::SetUp();
        makeServer(u"VQ3"_s, u"VQ 3.4.1"_s, u"north"_s);
        SdkApplication::instance()->Servers()->Add(u"north"_s, path(u"north"_s), false);
    }
    QString serverBox() const {
        auto* box = child<QComboBox>(*window, "cboServer");
        return comboItems(box).join(u' ') + u" shows "_s + box->currentText();
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
        // Find and Properties each open their search, on the servers left, and are cancelled there.
        cancelNextSearch();
        EXPECT_FALSE(window->findPoint());
        cancelNextSearch();
        window->action(u"actProperties"_s)->trigger();
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
