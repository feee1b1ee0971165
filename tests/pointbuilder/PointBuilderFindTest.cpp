// The Point Builder's dialogs driven while they run modal: Find, Properties and Connections, and
// the whole round of Find, open, edit, save and find again with the keyboard alone.
#include "PointBuilderTestSupport.h"
#include "dialogs/DialogServices.h"
#include "propsheet/PropSheetGridModel.h"
#include "servers/MultiServerPickList.h"
#include "servers/WidgetConnectDialog.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace vq::test {
namespace {

void click(QWidget* form, const char* button) {
    QTest::mouseClick(child<QPushButton>(form, button), Qt::LeftButton);
}

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
            click(form, "cmdSearch");
            if (more) more(form);
            click(form, "cmdOK");
        });
    }
    void cancelNextSearch() {
        modals.then(u"VQTagSearchForm"_s, [](QWidget* f) { click(f, "cmdCancel"); });
    }
    QString shown;
};

// Found (Ctrl+F), saved (Ctrl+S), found again by the new descriptor in the dialog the window keeps,
// then found on a server the pick list chose, which the window follows.
TEST_F(PointBuilderFindTest, APointFoundEditedAndFoundAgainAlsoOnAnotherServer) {
    nextSearch(u"*boiler*"_s);
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(statusSays(*window, "Boiler.Temp on plant"));
    ASSERT_TRUE(showActive(*window));  // the platform hands activation back after the dialog
    editInSheet(*window->categorizedSheet(), u"Descriptor"_s, u"Steam drum temperature"_s);
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(window->openPoint(u"Pump.Flow"_s));
    nextSearch(u"*DRUM*"_s);
    click(window.get(), "cmdFind");
    EXPECT_EQ(shown, u"*boiler*"_s);
    EXPECT_EQ(values(*window->entries(), "Tag Descriptor"),
              "Tag=Boiler.Temp Descriptor=Steam drum temperature");

    storePoint(*makeServer(u"VQ3"_s, u"VQ 3.4.1"_s, u"north"_s), u"North.Level"_s, u"classic"_s,
               pointtype::Float32);
    SdkApplication::instance()->Servers()->Add(u"north"_s, path(u"north"_s), false);
    nextSearch(QString(), [](QWidget* form) {
        auto* pickList = child<MultiServerPickList>(form, "MultiServerPickList1");
        EXPECT_EQ(pickList->SelectedServerNames(), QStringList{u"plant"_s});
        pickList->SetSelectedServerNames({u"north"_s});
        click(form, "cmdSearch");
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

// Properties shows every point chosen; the server list follows the connection manager.
TEST_F(PointBuilderFindTest, PropertiesAndConnectionsAreModalOverTheWindow) {
    int shownPoints = -1;
    nextSearch(QString(), [](QWidget* form) { click(form, "cmdSelectAll"); });
    modals.then(u"VQPointPropertySheetForm"_s, [&](QWidget* sheet) {
        shownPoints = sheet->findChild<QComboBox*>()->count();
        QTest::keyClick(sheet, Qt::Key_Escape);
    });
    window->action(u"actProperties"_s)->trigger();
    EXPECT_EQ(shownPoints, 2);
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
        auto* results = child<QTableView>(form, "stSearchResults");
        for (int row = 0; listed && row < results->model()->rowCount(); ++row)
            *listed << results->model()->index(row, 2).data().toString();
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

}  // namespace
}  // namespace vq::test
