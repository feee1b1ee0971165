#include "AccessibleWalk.h"
#include "SampleServers.h"
#include "WidgetDriving.h"
#include "sdk/SdkDigitalStateSet.h"
#include "sdk/SdkDigitalStateSets.h"
#include "search/VQDigSetSearch.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

namespace vq::test {
namespace {

class DigSetSearchTest : public SampleServersTest {
protected:
    void SetUp() override {
        SampleServersTest::SetUp();
        search = std::make_unique<VQDigSetSearch>();
        search->resize(640, 480);
        search->SetCurrentServer(servers()->Item(u"vqsouth"_s));
        search->show();
        search->Reset();
        QObject::connect(
            search.get(), &VQDigSetSearch::OnDigsetListSelection,
            [this](const SdkNamedValuesPtr& chosen) { events << QString::fromStdString(text(chosen)); });
    }

    template <typename Child>
    Child* child(const char* name) {
        return vq::test::child<Child>(search.get(), name);
    }
    QString label(const char* name) { return child<QLabel>(name)->text(); }
    // The texts of one column of a list, top to bottom.
    QStringList column(const char* list, int column = 0) {
        const QAbstractItemModel* model = child<QTreeView>(list)->model();
        QStringList out;
        for (int row = 0; row < model->rowCount(); ++row) out << model->index(row, column).data().toString();
        return out;
    }
    void selectSets(const QStringList& names) {
        auto* view = child<QTreeView>("lvDigSets");
        view->clearSelection();
        const QStringList sets = column("lvDigSets");
        for (const QString& name : names)
            view->selectionModel()->select(view->model()->index(int(sets.indexOf(name)), 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void typeMask(const char* box, const QString& mask) { QTest::keyClicks(child<QLineEdit>(box), mask); }
    static QStringList setsOfSouth() {
        QStringList out;
        for (const SdkDigitalStateSetPtr& set : servers()->Item(u"vqsouth"_s)->DigitalStateSets()->All())
            out << set->Name();
        return out;
    }

    std::unique_ptr<VQDigSetSearch> search;
    QStringList events;
};

TEST_F(DigSetSearchTest, ResetListsTheServersSetsWithCaptionsAndNothingChosen) {
    auto* serverList = child<QComboBox>("cboVQServer");
    EXPECT_EQ(u"%1 %2"_s.arg(serverList->currentText()).arg(serverList->count()), u"vqsouth 3"_s);
    const QStringList all = setsOfSouth();
    EXPECT_EQ(column("lvDigSets"), all);
    EXPECT_EQ(label("lblNumDigsets"), u"Number of DigSets: %1"_s.arg(all.size()));
    EXPECT_EQ(label("lblNumDigstates") + u'|' + label("lblCondition2"), u"Number of Digital States:|And"_s);
    EXPECT_FALSE(child<QPushButton>("cmdSearch")->isEnabled());
    EXPECT_EQ(child<QTreeView>("lvDigStates")->model()->headerData(0, Qt::Horizontal).toString(), u"#"_s);
    EXPECT_EQ(unnamedFocusables(search.get()).join(u'\n'), QString());  // all named and described
}

// A control made before any server library was installed finds the servers once one is: it
// used to keep the missing list and fail on it.
TEST_F(DigSetSearchTest, AControlMadeBeforeTheServerLibraryListsTheServersOnReset) {
    SdkApplication::setFactory({});
    VQDigSetSearch early;
    EXPECT_TRUE(m_messages->texts().join(u' ').contains(u"Initialization Error"_s));
    SampleServersTest::SetUp();
    early.Reset();
    EXPECT_TRUE(early.findChild<QComboBox*>(u"cboVQServer"_s)->count() == 3 &&
                early.CurrentServer()->Name() == u"vqsouth"_s);
}

// The same mask twice searches as once; Or is shown between the lower boxes too.
TEST_F(DigSetSearchTest, MasksSearchUnderAndOrOr) {
    const std::tuple<bool, QStringList, QStringList> cases[] = {
        {false, {u"open"_s, u"OPEN"_s, u"CLOS*"_s}, {u"OpenClosed"_s}},
        {true, {u"OPEN"_s, u"auto"_s}, {u"OpenClosed"_s, u"Modes"_s}},
    };
    for (const auto& [orJoin, masks, found] : cases) {
        child<QComboBox>("cboCondition1")->setFocus();
        QTest::keyClick(child<QComboBox>("cboCondition1"), orJoin ? Qt::Key_Down : Qt::Key_Up);
        EXPECT_EQ(label("lblCondition2"), orJoin ? u"Or"_s : u"And"_s);
        for (int box = 0; box < masks.size(); ++box)
            typeMask(("txtDigState" + std::to_string(box + 1)).c_str(), masks[box]);
        EXPECT_TRUE(child<QPushButton>("cmdSearch")->isEnabled());
        if (orJoin)
            QTest::mouseClick(child<QPushButton>("cmdSearch"), Qt::LeftButton);
        else
            QTest::keyClick(child<QLineEdit>("txtDigState3"), Qt::Key_Return);
        EXPECT_EQ(column("lvDigSets"), found);
        EXPECT_EQ(label("lblNumDigsets"), u"Number of DigSets: %1"_s.arg(found.size()));
        QTest::mouseClick(child<QPushButton>("cmdReset"), Qt::LeftButton);
    }
    // Reset of the masks keeps the lists; blank masks still search when Enter asks, and find nothing.
    EXPECT_EQ(column("lvDigSets").size(), 2);
    EXPECT_FALSE(child<QPushButton>("cmdSearch")->isEnabled());
    QTest::keyClick(child<QLineEdit>("txtDigState2"), Qt::Key_Enter);
    EXPECT_EQ(label("lblNumDigsets"), u"Number of DigSets: 0"_s);
}

TEST_F(DigSetSearchTest, OneSelectedSetShowsItsStatesWhichSortByNameAndBack) {
    selectSets({u"PumpState"_s});
    EXPECT_EQ(column("lvDigStates", 0), QStringList({u"0"_s, u"1"_s, u"2"_s}));
    EXPECT_EQ(column("lvDigStates", 1), QStringList({u"STOPPED"_s, u"RUNNING"_s, u"TRIPPED"_s}));
    EXPECT_EQ(label("lblNumDigstates"), u"Number of Digital States: 3"_s);

    QHeaderView* header = child<QTreeView>("lvDigStates")->header();
    auto clickHeader = [&](int section) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
    };
    QStringList orders;
    for (int section : {1, 1, 0}) {
        clickHeader(section);
        orders << column("lvDigStates", 1).join(u',');
    }
    EXPECT_EQ(orders.join(u' '),
              u"TRIPPED,STOPPED,RUNNING RUNNING,STOPPED,TRIPPED STOPPED,RUNNING,TRIPPED"_s);

    search->SetMultiSelect(true);
    selectSets({u"PumpState"_s, u"Modes"_s});
    EXPECT_TRUE(column("lvDigStates").isEmpty());
    EXPECT_EQ(label("lblNumDigstates"), u"Number of Digital States:"_s);
}

TEST_F(DigSetSearchTest, OkAddsTheChosenSetsOnceAndOnlyResetEmptiesTheChoice) {
    QTest::mouseClick(child<QPushButton>("cmdOK"), Qt::LeftButton);
    search->SetMultiSelect(true);
    selectSets({u"Modes"_s, u"OnOff"_s});
    QTest::mouseClick(child<QPushButton>("cmdOK"), Qt::LeftButton);
    selectSets({u"OnOff"_s, u"YesNo"_s});
    QTest::mouseClick(child<QPushButton>("cmdOK"), Qt::LeftButton);
    EXPECT_EQ(events, QStringList({u""_s, u"OnOff,Modes"_s, u"OnOff,Modes,YesNo"_s}));
    EXPECT_TRUE(m_messages->texts().isEmpty());

    auto* sets = child<QTreeView>("lvDigSets");
    const QModelIndex pump = sets->model()->index(int(column("lvDigSets").indexOf(u"PumpState"_s)), 0);
    const QPoint at = sets->visualRect(pump).center();
    QTest::mouseClick(sets->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(sets->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(events.last(), u"OnOff,Modes,YesNo,PumpState"_s);

    search->Reset();
    EXPECT_EQ(search->DigsetSelection()->Count(), 0);
}

// Another server lists its sets; one that cannot be reached is reported with its context and the
// control stays on the server it had, usable; fixed on its server, the connections stay shut.
TEST_F(DigSetSearchTest, ServerChoiceListsThatServerAndErrorsKeepTheControlUsable) {
    servers()->Remove(u"vqlegacy"_s);  // the server list is not refreshed, so it still offers it
    auto* serverList = child<QComboBox>("cboVQServer");
    serverList->setFocus();
    QTest::keyClick(serverList, Qt::Key_End);
    ASSERT_EQ(m_messages->texts().size(), 1);
    EXPECT_TRUE(m_messages->texts().front().startsWith(u"VQDigSetSearch:cboVQServerClick\r\n"_s));
    EXPECT_EQ(search->CurrentServer()->Name(), u"vqsouth"_s);
    typeMask("txtDigState1", u"ON"_s);
    QTest::keyClick(child<QLineEdit>("txtDigState1"), Qt::Key_Return);
    EXPECT_EQ(column("lvDigSets"), QStringList{u"OnOff"_s});
    selectSets({u"OnOff"_s});
    QTest::keyClick(serverList, Qt::Key_Home);
    QTest::keyClick(serverList, Qt::Key_Down);  // vqnorth
    EXPECT_EQ(search->CurrentServer()->Name() + u' ' + serverList->currentText(), u"vqnorth vqnorth"_s);
    EXPECT_TRUE(!column("lvDigSets").isEmpty() && column("lvDigStates").isEmpty());
    search->SetFixOnCurrentServer(true);
    EXPECT_FALSE(child<QPushButton>("cmdConnections")->isEnabled());

    // Help asks for its own file below the installation root (none here, so the user is told).
    QTemporaryDir noIni;
    qputenv("VQ_INI_DIR", noIni.path().toUtf8());
    QTest::mouseClick(child<QPushButton>("cmdHelp"), Qt::LeftButton);
    qunsetenv("VQ_INI_DIR");
    EXPECT_EQ(m_messages->texts().last(), u"The file C:\\VQPC\\Tagwright\\Tagwright.chm does not exist"_s);
}

}  // namespace
}  // namespace vq::test
