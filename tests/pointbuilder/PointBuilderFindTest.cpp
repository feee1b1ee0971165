// The Point Builder's dialogs driven while they run modal: Find, Properties and Connections.
#include "PointBuilderTestSupport.h"
#include "dialogs/DialogServices.h"
#include "servers/MultiServerPickList.h"
#include "servers/WidgetConnectDialog.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

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

}  // namespace
}  // namespace vq::test
