// The Point Builder's search dialogs, driven with keys and clicks on their widgets while they run
// modal: finding, Properties, the digital set "..." button and the connection manager.
#include "PointBuilderTestSupport.h"
#include "dialogs/DialogServices.h"
#include "sdk/SdkConnectDialog.h"
#include "servers/MultiServerPickList.h"
#include "servers/WidgetConnectDialog.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace vq::test {
namespace {

// Runs `steps` on the modal dialog named `form` once it shows, as a user at it would. A dialog
// that does not come is a failure; one of another name is cancelled so the test cannot hang.
void whenModal(const QString& form, std::function<void(QDialog&)> steps, int tries = 100) {
    QTimer::singleShot(20, [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog && tries > 0) return whenModal(form, steps, tries - 1);
        if (!dialog || dialog->objectName() != form) {
            ADD_FAILURE() << "no modal " << form.toStdString();
            if (dialog) dialog->reject();
            return;
        }
        steps(*dialog);
    });
}

// Searches by descriptor and takes the top row, recording what the criteria said on arrival.
void findByDescriptor(const QString& mask, QString* shownBefore = nullptr) {
    whenModal(u"VQTagSearchForm"_s, [=](QDialog& form) {
        auto* descriptor = child<QLineEdit>(form, "txtDescriptor");
        if (shownBefore) *shownBefore = descriptor->text();
        descriptor->setFocus();
        typeOver(descriptor, mask);
        QTest::mouseClick(child<QPushButton>(form, "cmdSearch"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(form, "cmdOK"), Qt::LeftButton);
    });
}

class PointBuilderFindTest : public PointBuilderTest {
protected:
    // The platform gives the window back its activation once the modal dialog has closed.
    void backToWindow() {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    const ScopedServices dialogs{useLibraryDialogs};
    void SetUp() override {
        PointBuilderTest::SetUp();
        auto server = reconnect();
        SdkNamedValues pump;
        pump.Add(u"Descriptor"_s, u"Feed pump flow"_s);
        storePoint(*server, u"Pump.Flow"_s, u"classic"_s, pointtype::Float32, pump);
        server->addDigitalSet(u"VALVE"_s, {u"Closed"_s, u"Open"_s});
    }
};

TEST_F(PointBuilderFindTest, ANewUserFindsAPointEditsItAndFindsItAgainByTheNewDescriptor) {
    // Given the empty window of a first start
    EXPECT_EQ(window->entries(), nullptr);
    EXPECT_FALSE(child<QPushButton>(*window, "cmdSave")->isEnabled());

    // When Ctrl+F finds the points whose descriptor says "boiler" and OK takes the one found
    findByDescriptor(u"*boiler*"_s);
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(window->entries(), nullptr);
    EXPECT_TRUE(statusSays(*window, "Boiler.Temp on plant"));
    backToWindow();

    // When its descriptor is edited in the sheet and saved
    editInSheet(*window->categorizedSheet(), u"Descriptor"_s, u"Steam drum temperature"_s);
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor"), "Descriptor=Steam drum temperature");

    // Then the Find button shows the last criteria, and the new descriptor finds the same point
    QString shown;
    ASSERT_TRUE(window->openPoint(u"Pump.Flow"_s));
    findByDescriptor(u"*DRUM*"_s, &shown);
    QTest::mouseClick(window->findChild<QPushButton*>(u"cmdFind"_s), Qt::LeftButton);
    EXPECT_EQ(shown, u"*boiler*"_s);
    EXPECT_EQ(values(*window->entries(), "Tag Descriptor"),
              "Tag=Boiler.Temp Descriptor=Steam drum temperature");
    EXPECT_TRUE(messages().isEmpty()) << messages().join(u'|').toStdString();
}

// Every road away from unsaved edits asks first: Find, New point, Open and Quit.
TEST_F(PointBuilderFindTest, UnsavedEditsAreDroppedOnlyWhenTheUserAgrees) {
    ASSERT_TRUE(window->openPoint(u"Boiler.Temp"_s));
    editInSheet(*window->alphabeticSheet(), u"Descriptor"_s, u"Unsaved"_s);
    const PropSheetEntries* edited = window->entries().get();

    // When the search is cancelled nothing is asked; when a point is chosen, Cancel keeps the edits
    whenModal(u"VQTagSearchForm"_s, [](QDialog& form) { child<QPushButton>(form, "cmdCancel")->click(); });
    EXPECT_FALSE(window->findPoint());
    m_messages->scriptAnswer(MessageResult::Cancel);
    findByDescriptor(u"*pump*"_s);
    EXPECT_FALSE(window->findPoint());
    m_messages->scriptAnswer(MessageResult::Cancel);
    EXPECT_FALSE(window->newPoint(u"classic"_s, u"Other"_s));
    EXPECT_EQ(window->entries().get(), edited);

    // When the user agrees but the tag is unknown, the failure is told and the point stays open
    m_messages->scriptAnswer(MessageResult::Ok);
    EXPECT_FALSE(window->openPoint(u"No.Such.Tag"_s));
    EXPECT_EQ(window->entries().get(), edited);
    EXPECT_EQ(values(*window->entries(), "Descriptor"), "Descriptor=Unsaved");

    // Quit: Cancel keeps the window, OK closes it
    backToWindow();
    m_messages->scriptAnswer(MessageResult::Cancel);
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(window->isVisible());
    m_messages->scriptAnswer(MessageResult::Ok);
    window->action(u"actQuit"_s)->trigger();
    EXPECT_FALSE(window->isVisible());
    QStringList told = messages();
    ASSERT_EQ(told.size(), 6);
    EXPECT_TRUE(told.takeAt(3).startsWith(u"PointBuilderWindow:OpenPoint\r\n"_s));
    EXPECT_EQ(told, QStringList(5, u"The edits of Boiler.Temp on plant are not saved.\r\nDrop them?"_s));
}

TEST_F(PointBuilderFindTest, PropertiesShowsEveryPointChosenAndNothingWhenNoneIs) {
    int shownPoints = -1;
    whenModal(u"VQTagSearchForm"_s, [&](QDialog& form) {
        QTest::mouseClick(child<QPushButton>(form, "cmdSearch"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(form, "cmdSelectAll"), Qt::LeftButton);
        whenModal(u"VQPointPropertySheetForm"_s, [&](QDialog& sheet) {
            shownPoints = sheet.findChild<QComboBox*>()->count();
            QTest::keyClick(&sheet, Qt::Key_Escape);
        });
        QTest::mouseClick(child<QPushButton>(form, "cmdOK"), Qt::LeftButton);
    });
    window->action(u"actProperties"_s)->trigger();
    EXPECT_EQ(shownPoints, 2);

    // Cancelled: no property sheet comes (a stray one would be cancelled as a failure)
    whenModal(u"VQTagSearchForm"_s, [](QDialog& form) { child<QPushButton>(form, "cmdCancel")->click(); });
    window->action(u"actProperties"_s)->trigger();
    EXPECT_TRUE(messages().isEmpty()) << messages().join(u'|').toStdString();
}

TEST_F(PointBuilderFindTest, TheDigitalSetButtonInTheSheetFindsASet) {
    // Given a new point turned digital: its digital set is asked for with a "..." button
    ASSERT_TRUE(window->newPoint(u"classic"_s, u"Valve.1"_s));
    window->entries()->SetValue(u"PointType"_s, Variant(int32_t(pointtype::Digital)));
    VQPointPropSheet& sheet = *window->alphabeticSheet();
    ASSERT_NE(clickValueCell(sheet, u"DigitalSet"_s), nullptr);
    QPushButton* more = nullptr;
    for (QPushButton* button : sheet.findChildren<QPushButton*>(u"Command1"_s))
        if (button->isVisible()) more = button;
    ASSERT_NE(more, nullptr);

    // When it is clicked, the set VALVE searched for and chosen
    whenModal(u"VQDigSetSearchForm"_s, [](QDialog& form) {
        typeOver(child<QLineEdit>(form, "txtDigState1"), u"Open"_s);
        QTest::mouseClick(child<QPushButton>(form, "cmdSearch"), Qt::LeftButton);
        auto* sets = child<QAbstractItemView>(form, "lvDigSets");
        const QModelIndexList found =
            sets->model()->match(sets->model()->index(0, 0), Qt::DisplayRole, u"VALVE"_s);
        if (!found.isEmpty()) sets->setCurrentIndex(found.first());
        QTest::mouseClick(child<QPushButton>(form, "cmdOK"), Qt::LeftButton);
    });
    QTest::mouseClick(more, Qt::LeftButton);
    if (QWidget* focused = QApplication::focusWidget(); focused && sheet.isAncestorOf(focused))
        QTest::keyClick(focused, Qt::Key_Return);

    // Then the sheet holds it
    EXPECT_EQ(values(*window->entries(), "DigitalSet"), "DigitalSet=VALVE");
    EXPECT_TRUE(messages().isEmpty()) << messages().join(u'|').toStdString();
}

// Tools > Connections... opens the connection manager the search dialogs open, and the server
// list follows it; a point found on a server added meanwhile switches the window there.
TEST_F(PointBuilderFindTest, TheServerListFollowsTheConnectionsAndAPointFoundOnAnotherServer) {
    {
        const ScopedServices logon(&ServicesContext::connectDialog,
                                   [] { return std::make_shared<WidgetConnectDialog>(); });
        makeServer(u"VQ3"_s, u"VQ 3.4.1"_s, u"east"_s);
        whenModal(u"frmConnectionManager"_s, [this](QDialog& manager) {
            SdkApplication::instance()->Servers()->Add(u"east"_s, path(u"east"_s), false);
            manager.accept();
        });
        window->action(u"actConnections"_s)->trigger();
    }
    auto* servers = child<QComboBox>(*window, "cboServer");
    EXPECT_GE(servers->findText(u"east"_s), 0);
    EXPECT_EQ(servers->currentText(), u"plant"_s);

    auto north = makeServer(u"VQ3"_s, u"VQ 3.4.1"_s, u"north"_s);
    storePoint(*north, u"North.Level"_s, u"classic"_s, pointtype::Float32);
    SdkApplication::instance()->Servers()->Add(u"north"_s, path(u"north"_s), false);
    // The window's server is where the dialog searches; the pick list there chooses another
    whenModal(u"VQTagSearchForm"_s, [](QDialog& form) {
        auto* pickList = child<MultiServerPickList>(form, "MultiServerPickList1");
        EXPECT_EQ(pickList->SelectedServerNames(), QStringList{u"plant"_s});
        pickList->SetSelectedServerNames({u"north"_s});
        QTest::mouseClick(child<QPushButton>(form, "cmdSearch"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(form, "cmdOK"), Qt::LeftButton);
    });
    ASSERT_TRUE(window->findPoint());
    EXPECT_EQ(servers->currentText(), u"north"_s);
    EXPECT_TRUE(statusSays(*window, "North.Level on north"));
}

}  // namespace
}  // namespace vq::test
