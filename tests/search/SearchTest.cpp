// The searches: the clauses the point search builds and finds on an archive, the point search
// control with its worker thread, and the digital set search control.
#include "AccessibleWalk.h"
#include "BindableChecks.h"
#include "ErrorNumber.h"
#include "SampleServers.h"
#include "WidgetDriving.h"
#include "archive/server/ArchiveServer.h"
#include "core/Error.h"
#include "platform/PropertyBag.h"
#include "sdk/SdkDigitalStateSet.h"
#include "sdk/SdkDigitalStateSets.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttribute.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPointClass.h"
#include "sdk/SdkPointClasses.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkPoints.h"
#include "search/TagSearchQuery.h"
#include "search/VQDigSetSearch.h"
#include "search/VQTagSearch.h"
#include "servers/Environment.h"
#include "servers/MultiServerPickList.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <functional>

namespace vq::test {
namespace {

// The point search's worker thread against what the window does while the servers answer. Run
// under ThreadSanitizer too (make test-tsan): a race between the worker and the window shows there.
// Pairs every point with every archived value: the longest search of the sample servers, which
// lasts more than ten rounds of the window's work unless the window waits for it.
const QString kSlowClause = u"VQcomp.Value > 0"_s;
constexpr int kRows = 40;  // rows whose descriptors are read again while the servers answer

class SearchWorkerTest : public SampleServersTest {
protected:
    void TearDown() override {
        delete form;
        SampleServersTest::TearDown();
    }

    // A host's form holding the control, deleted when closed.
    void makeForm() {
        form = new QWidget;
        form->setAttribute(Qt::WA_DeleteOnClose);
        control = new VQTagSearch(form);
        (new QVBoxLayout(form))->addWidget(control);
        form->resize(900, 640);
        form->show();
        control->SetSelectedServers(names({u"vqsouth"_s, u"vqnorth"_s}));
    }

    // Searches with the slow clause; `step` runs every few ms while the search runs, until it
    // says it is done.
    void searchSlowly(const std::function<bool()>& step) {
        control->SetTagSearchView(1);
        control->SetAdvancedWhereClause(kSlowClause);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (control && control->isSearching() && step()) poll.stop();
        });
        poll.start(2);
        VQTagSearch* searching = control;
        searching->search();  // may be deleted meanwhile: then nothing of it is touched again
    }

    QStringList descriptors(const SdkPointList& list) {
        QStringList texts;
        for (int i = 1; i <= std::min(kRows, list.Count()); ++i)
            texts << list.Item(i)->PointAttributes()->Item(u"Descriptor"_s)->Value().toString();
        return texts;
    }
    QStringList pointClasses() {
        auto* box = child<QComboBox>(control.data(), "cboPointClass");
        QStringList names;
        for (int i = 0; i < box->count(); ++i) names << box->itemText(i);
        for (const SdkPointClassPtr& pointClass : servers()->Item(u"vqsouth"_s)->PointClasses()->All())
            names << pointClass->Name();
        return names;
    }

    QPointer<QWidget> form;
    QPointer<VQTagSearch> control;
};

// The previous results stay on screen and are painted, their descriptors read from the same
// servers, and the point classes refreshed, all while the worker searches those servers.
TEST_F(SearchWorkerTest, TheWindowPaintsAndReadsTheServersWhileTheyAnswer) {
    makeForm();
    control->search();  // every point of both: the previous results
    const SdkPointListPtr previous = control->PointList();
    ASSERT_TRUE(previous && previous->Count() >= kRows);
    const QStringList shownDescriptors = descriptors(*previous);
    const QStringList shownClasses = pointClasses();
    auto* view = child<QTableView>(control.data(), "stSearchResults");
    int rounds = 0;
    QStringList readDescriptors, readClasses;
    searchSlowly([&] {
        view->viewport()->repaint();
        readDescriptors = descriptors(*previous);
        control->SetSelectedServers(names({u"vqsouth"_s, u"vqnorth"_s}));
        readClasses = pointClasses();
        if (++rounds < 10) return false;
        control->Stop();
        return true;
    });
    EXPECT_EQ(rounds, 10);
    EXPECT_TRUE(child<QLabel>(control.data(), "statServerResults")->text().contains(u"stopped"_s));
    EXPECT_EQ(readDescriptors, shownDescriptors);
    EXPECT_EQ(readClasses, shownClasses);
    EXPECT_TRUE(m_messages->messages().isEmpty()) << m_messages->texts().join(u'|').toStdString();
}

// A slot that deletes the control, or its form, while the servers answer: the search stops, the
// call returns, and nothing is reported.
TEST_F(SearchWorkerTest, ClosingTheControlWhileItSearchesEndsTheSearch) {
    const std::pair<const char*, std::function<void(QWidget*, VQTagSearch*)>> closings[] = {
        {"control deleted", [](QWidget*, VQTagSearch* searching) { delete searching; }},
        {"form deleted", [](QWidget* host, VQTagSearch*) { delete host; }},
        {"form closed", [](QWidget* host, VQTagSearch*) { host->close(); }},
        {"control deleted later", [](QWidget*, VQTagSearch* searching) { searching->deleteLater(); }},
    };
    const auto south = std::dynamic_pointer_cast<ArchiveServer>(servers()->Item(u"vqsouth"_s));
    for (const auto& [name, close] : closings) {
        makeForm();
        searchSlowly([&, close = close] {
            if (!south->isSearching()) return false;
            close(form, control);
            return true;
        });
        EXPECT_TRUE(control.isNull()) << name;
        EXPECT_FALSE(south->isSearching()) << name;
        delete form;
    }
    EXPECT_TRUE(m_messages->messages().isEmpty()) << m_messages->texts().join(u'|').toStdString();
}

// One search control, shown, its children found by name.
template <typename Control>
class SearchControlTest : public SampleServersTest {
protected:
    void SetUp() override {
        SampleServersTest::SetUp();
        search = std::make_unique<Control>();
        search->resize(900, 640);
        search->show();
    }
    void TearDown() override {
        search.reset();
        SampleServersTest::TearDown();
    }
    template <typename Child>
    Child* child(const char* name) {
        return vq::test::child<Child>(search.get(), name);
    }
    QString label(const char* name) { return child<QLabel>(name)->text(); }

    std::unique_ptr<Control> search;
};

class TagSearchTest : public SearchControlTest<VQTagSearch> {
protected:
    QString caption(const char* name) {
        if (auto* button = search->findChild<QPushButton*>(QString::fromLatin1(name))) return button->text();
        if (auto* frame = search->findChild<QGroupBox*>(QString::fromLatin1(name))) return frame->title();
        return child<QLabel>(name)->text();
    }
    QString status() { return label("statSearchResults"); }
    QString serverStatus() { return label("statServerResults"); }
    bool enabled(const char* button) { return child<QPushButton>(button)->isEnabled(); }
    QStringList items(const char* combo) { return comboItems(child<QComboBox>(combo)); }
    // "server\tag" of every listed row, as the view's model gives them.
    QStringList rows() {
        const QAbstractItemModel* model = child<QTableView>("stSearchResults")->model();
        QStringList out;
        for (int row = 0; row < model->rowCount(); ++row)
            out << model->index(row, 0).data().toString() + u'\\' + model->index(row, 1).data().toString();
        return out;
    }
    // What the servers themselves answer for `clause`, in the given order.
    static QStringList expected(const QStringList& serverNames, const QString& clause) {
        QStringList out;
        SdkNamedValues tables;
        tagsearch::GetExtraServerTables(clause, tables);
        for (const QString& name : serverNames) {
            try {
                const SdkPointListPtr found = connect(name)->GetPointsSQL(clause, tables, nullptr);
                for (int i = 1; i <= found->Count(); ++i) out << name + u'\\' + found->Tag(i);
            } catch (const Error& error) {
                EXPECT_EQ(error.number(), errc::NoPointsFound) << error.what();
            }
        }
        return out;
    }
    void choose(const QStringList& serverNames) { search->SetSelectedServers(names(serverNames)); }
};

TEST_F(TagSearchTest, ShowsItsChildrenWithTheirCaptionsAndStartsReset) {
    auto* tabs = child<QTabWidget>("SSTab1");
    EXPECT_EQ(tabs->tabText(0) + u'|' + tabs->tabText(1), u"Si&mple Search| Ad&vanced Search"_s);
    QStringList captions;
    for (const QByteArray& name :
         QByteArray(
             "lblVQServer1 lblTagMask lblDescriptor lblPointSource lblEngineeringUnits lblPointType "
             "lblPointClass lblValue lblWhere cmdAddWhereClause frameSelectStatement frameSearchResults "
             "frameSimpleSearchCriteria cmdSearch cmdReset cmdSelectAll cmdPtAttr cmdConnections cmdOK "
             "cmdCancel cmdHelp")
             .split(' '))
        captions << caption(name.constData());
    EXPECT_EQ(captions.join(u'|'),
              u"V&Q Server:|&Tag Mask:|&Descriptor|P&oint Source:|Engineering Units:|Point Type:|"
              u"Point Class:|Value:|&WHERE|Add|SELECT Tag FROM VQPoint|Search Results|"
              u"Search Criteria|&Search|&Reset|Se&lect All|&Pt. Attr...|&Connections...|OK|"
              u"Cancel|&Help"_s);
    EXPECT_EQ(child<QPlainTextEdit>("txtWhereClause")->toolTip(),
              u"Use Ctrl+Enter to add a carriage return to where clause"_s);
    EXPECT_EQ(items("cboPointType"),
              (QStringList{u"*"_s, u"Float"_s, u"Integer"_s, u"Digital"_s, u"String"_s}));
    EXPECT_EQ(u"%1 %2"_s.arg(items("cboSQLColumn").size()).arg(items("cboSQLCondition").value(0)), u"39 ="_s);
    EXPECT_EQ(search->TagMask() + u' ' + status(), u"* List Count: 0"_s);
    EXPECT_FALSE(enabled("cmdSelectAll") || enabled("cmdPtAttr") || enabled("cmdAddWhereClause"));
}

// Loading sets only what is saved again: the boxes keep what Reset put there.
TEST_F(TagSearchTest, PersistedPropertiesRoundTripWithoutTouchingTheScreen) {
    search->SetTagMask(u"B01*"_s);
    search->SetPointClassMask(u"NoSuchClass"_s);
    search->SetAdvancedWhereClause(u"VQpoint.Zero > 1"_s);
    search->SetPointTypeMask(2);
    search->SetSearchResultsMultiselect(false);
    EXPECT_EQ(search->PointClassMask(), u"*"_s);  // not in the list: the list shows "*"
    PropertyBag bag;
    search->WriteProperties(bag);
    EXPECT_EQ(bag.ReadProperty(u"SearchResultsMulitselect"_s, true), Variant(false));
    EXPECT_EQ(bag.ReadProperty(u"PointClassMask"_s, u"*"_s), Variant(u"NoSuchClass"_s));

    VQTagSearch loaded;
    loaded.ReadProperties(bag);
    EXPECT_EQ(
        u"%1|%2|%3"_s.arg(loaded.TagMask()).arg(loaded.PointTypeMask()).arg(loaded.AdvancedWhereClause()),
        u"*|0|"_s);
    PropertyBag again;
    loaded.WriteProperties(again);
    EXPECT_TRUE(again == bag);
}

// The mask is what the user types, announced per key as a setter announces it.
TEST_F(TagSearchTest, SimpleSearchMergesServersInOrderAndSaysWhatEachGave) {
    choose({u"vqsouth"_s, u"vqnorth"_s});
    auto* mask = child<QLineEdit>("txtTagMask");
    mask->clear();
    QSignalSpy typed(search.get(), &VQTagSearch::TagMaskChanged);
    QTest::keyClicks(mask, u"B01-F*"_s);
    EXPECT_EQ(typed.count(), 6);
    QTest::mouseClick(child<QPushButton>("cmdSearch"), Qt::LeftButton);
    const QStringList want = expected({u"vqsouth"_s, u"vqnorth"_s}, u"VQPOINT.TAG LIKE 'B01-F*'"_s);
    ASSERT_FALSE(want.isEmpty());
    EXPECT_EQ(rows(), want);
    EXPECT_EQ(status(), u"List Count: %1"_s.arg(want.size()));
    const qsizetype south = want.filter(u"vqsouth\\"_s).size();
    EXPECT_EQ(serverStatus(), u"vqsouth %1 \u00b7 vqnorth %2"_s.arg(south).arg(want.size() - south));
    EXPECT_TRUE(enabled("cmdSelectAll") && enabled("cmdPtAttr"));  // Search chooses the top row
    EXPECT_TRUE(m_messages->messages().isEmpty());

    // Both pages, results listed, are announced item by item: every field, list, button, tab, pick
    // list and result cell the keyboard reaches has a name and a description.
    EXPECT_EQ(unnamedFocusables(search.get()).join(u'\n'), QString());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(mask)->text(QAccessible::Name), u"Tag Mask"_s);
    search->SetTagSearchView(1);
    EXPECT_EQ(unnamedFocusables(search.get()).join(u'\n'), QString());
    search->SetTagSearchView(0);

    // Every server answering "no point" is an empty list, not an error.
    search->SetTagMask(u"NOSUCHTAG*"_s);
    search->search();
    EXPECT_EQ(status() + u'|' + serverStatus(), u"List Count: 0|vqsouth 0 \u00b7 vqnorth 0"_s);
    EXPECT_FALSE(enabled("cmdSelectAll"));
}

// A server whose log-on is refused is dropped from the choice; when none is left the choice comes
// back and no rows of the search before stay under the new outcome. Counts read as the list count.
TEST_F(TagSearchTest, UnreachableServersAreDroppedAndLeaveNoRowsOfAnEarlierSearch) {
    // A server that refuses the search's log-on: vqadmin has a password there.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"ghost.vqa"_s);
    ArchiveServer::create(path, u"vqghost"_s, u"VQ3"_s, u"VQ 3.4.1"_s)
        ->setPassword(u"vqadmin"_s, u"secret"_s);
    servers()->Add(u"vqghost"_s, path, false);
    choose({u"vqghost"_s, u"vqsouth"_s});
    search->SetTagMask(u"*"_s);
    search->search();
    EXPECT_EQ(text(search->SelectedServers()), "vqsouth");
    ASSERT_GE(rows().size(), 1000);
    EXPECT_EQ(serverStatus() + u'|' + status(),
              u"vqghost: not connected \u00b7 vqsouth %1|List Count: %1"_s.arg(rows().size()));
    ASSERT_EQ(m_messages->messages().size(), 1);  // the refused log-on, reported
    EXPECT_TRUE(m_messages->messages()[0].text.startsWith(u"VQTagSearch:ConnectOnSelect"_s));

    choose({u"vqghost"_s});
    search->search();
    EXPECT_EQ(text(search->SelectedServers()), "vqghost");
    EXPECT_EQ(text(child<MultiServerPickList>("MultiServerPickList2")->SelectedServers()), "vqghost");
    EXPECT_EQ(rows(), QStringList());
    EXPECT_EQ(serverStatus() + u'|' + status(), u"vqghost: not connected|List Count: 0"_s);
}

// The classes of connected servers that know them, refilled when a server connects; the column
// list keeps the chosen column by name when the table changes.
TEST_F(TagSearchTest, ListsFollowTheServersAndTheTable) {
    const QStringList fallback = {u"*"_s, u"Alarm"_s, u"Base"_s, u"Classic"_s, u"Totalizer"_s};
    choose({u"vqnorth"_s, u"vqsouth"_s});
    EXPECT_EQ(items("cboPointClass"), fallback);  // nobody connected yet
    const SdkServerPtr south = connect(u"vqsouth"_s);
    QStringList classes{u"*"_s};
    for (const SdkPointClassPtr& pointClass : south->PointClasses()->All()) classes << pointClass->Name();
    EXPECT_EQ(items("cboPointClass"), classes);
    connect(u"vqnorth"_s);  // VQ 3.2 adds nothing
    EXPECT_EQ(items("cboPointClass"), classes);

    search->SetSQLColumnComboIndex(0);  // VQpoint.Tag
    search->SetSQLTableComboIndex(int(items("cboSQLTable").indexOf(u"VQcomp"_s)));
    EXPECT_EQ(child<QComboBox>("cboSQLColumn")->currentText(), u"Tag"_s);
    search->SetSQLTableComboIndex(int(items("cboSQLTable").indexOf(u"VQbatch"_s)));
    EXPECT_EQ(child<QComboBox>("cboSQLColumn")->currentText(), u"Batchid"_s);
    // Reset refills the tables quietly; the table of before chosen again still brings its columns.
    search->Reset();
    child<QComboBox>("cboSQLTable")->setCurrentIndex(int(items("cboSQLTable").indexOf(u"VQbatch"_s)));
    EXPECT_EQ(items("cboSQLColumn"), tagsearch::sqlColumns(u"VQbatch"_s));
}

TEST_F(TagSearchTest, PointClassNeedsANewerServer) {
    const QString title = u"VQ 3.3 or Greater Required"_s;
    connect(u"vqnorth"_s);
    choose({u"vqnorth"_s});
    search->SetPointClassMask(u"Classic"_s);  // the fallback list offers it
    search->search();
    EXPECT_EQ(m_messages->texts(),
              QStringList{u"VQ 3.3 or greater is required to restrict search by Point Class."_s});
    EXPECT_EQ(m_messages->messages().value(0).title, title + u'.');
    EXPECT_EQ(status(), u"List Count: 0"_s);

    // With a newer server too: Cancel searches nothing, OK drops the old server and searches.
    choose({u"vqnorth"_s, u"vqsouth"_s});
    connect(u"vqsouth"_s);
    search->SetPointClassMask(u"classic"_s);
    m_messages->clear();
    m_messages->scriptAnswer(MessageResult::Cancel);
    search->search();
    ASSERT_EQ(m_messages->texts(), QStringList{u"VQ 3.3 or greater is required to restrict search by Point "
                                               u"Class.  Server vqnorth will not be searched."_s});
    EXPECT_TRUE(m_messages->messages()[0].title == title &&
                m_messages->messages()[0].buttons == MessageButtons::OkCancel);
    EXPECT_EQ(status(), u"List Count: 0"_s);
    EXPECT_EQ(text(search->SelectedServers()), "vqnorth,vqsouth");

    m_messages->clear();
    search->search();
    EXPECT_EQ(text(search->SelectedServers()), "vqsouth");
    ASSERT_GT(rows().size(), 0);
    EXPECT_EQ(rows(), expected({u"vqsouth"_s}, u"VQPOINT.POINTCLASS = 'classic' "_s));
}

TEST_F(TagSearchTest, KeysAddConditionsSearchAndMoveOn) {
    choose({u"vqsouth"_s});
    search->SetTagSearchView(1);
    EXPECT_EQ(child<QTabWidget>("SSTab1")->currentIndex(), 1);
    auto* value = child<QLineEdit>("txtSQLValue");
    auto* where = child<QPlainTextEdit>("txtWhereClause");
    search->SetSQLTableComboIndex(int(items("cboSQLTable").indexOf(u"VQcomp"_s)));
    search->SetSQLColumnComboIndex(int(items("cboSQLColumn").indexOf(u"Value"_s)));
    search->SetSQLConditionComboIndex(2);  // ">"
    value->setFocus();
    QTest::keyClicks(value, u"5"_s);
    QTest::keyClick(value, Qt::Key_Return);
    EXPECT_EQ(search->AdvancedWhereClause(),
              u"VQcomp.Value > 5 AND VQpoint.Tag = VQcomp.Tag AND VQcomp.Time = DATE(\"*\")"_s);
    EXPECT_EQ(caption("frameSelectStatement"), u"SELECT Tag FROM VQPoint, VQcomp"_s);
    EXPECT_TRUE(value->text().isEmpty());

    // Ctrl+Enter breaks the line; Enter in the clause searches; Tab goes to the results.
    where->setFocus();
    where->moveCursor(QTextCursor::End);
    QTest::keyClick(where, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(search->AdvancedWhereClause().endsWith(u"\r\n"_s));
    QTest::keyClick(where, Qt::Key_Return);
    EXPECT_TRUE(!rows().isEmpty() && rows() == expected({u"vqsouth"_s}, search->AdvancedWhereClause()));
    QTest::keyClick(where, Qt::Key_Tab);
    EXPECT_TRUE(child<QTableView>("stSearchResults")->hasFocus());
    EXPECT_FALSE(search->AdvancedWhereClause().contains(u'\t'));
}

TEST_F(TagSearchTest, SelectionFollowsTheModeAndTheLockedChoice) {
    choose({u"vqsouth"_s, u"vqnorth"_s});
    search->SetTagMask(u"B01-F*"_s);
    search->search();
    const int count = int(rows().size());
    ASSERT_GT(count, 2);
    QTest::mouseClick(child<QPushButton>("cmdSelectAll"), Qt::LeftButton);
    SdkPointListPtr chosen = search->PointListSelection();
    ASSERT_EQ(chosen->Count(), count);
    EXPECT_EQ(chosen->ServerName(count) + u'\\' + chosen->Tag(count), rows().last());
    search->ClearSelectedTags();
    EXPECT_EQ(search->PointListSelection()->Count(), 0);
    EXPECT_FALSE(enabled("cmdPtAttr"));

    search->SetSearchResultsMultiselect(false);
    search->search();
    EXPECT_FALSE(enabled("cmdSelectAll"));

    // A locked choice drops the points of servers outside it; an open one keeps them.
    search->RemoveDisallowedSearchResults();
    EXPECT_EQ(int(rows().size()), count);
    search->SetVQServerPickListEnabled(false);
    child<MultiServerPickList>("MultiServerPickList1")->RemoveServerFromList(u"vqnorth"_s);
    search->RemoveDisallowedSearchResults();
    EXPECT_EQ(rows(), expected({u"vqsouth"_s}, u"VQPOINT.TAG LIKE 'B01-F*'"_s));
    EXPECT_EQ(status(), u"List Count: %1"_s.arg(rows().size()));
    search->SetPointList(nullptr);  // nothing listed: nothing to drop, and no crash
    search->RemoveDisallowedSearchResults();
    EXPECT_EQ(search->PointList(), nullptr);
}

// A row that cannot be read is reported once, after painting, with where it was; a search that
// cannot be asked (a value for string points) is reported with the clause builder's error whole.
TEST_F(TagSearchTest, ErrorsAreReportedOnceWithTheirContext) {
    auto list = SdkPointList::create();
    list->AddHandle(connect(u"vqsouth"_s), 987654321, u"NO-SUCH-POINT"_s);
    search->SetPointList(list);
    QApplication::processEvents();  // lays the view out
    child<QTableView>("stSearchResults")->viewport()->repaint();
    child<QTableView>("stSearchResults")->viewport()->repaint();
    QApplication::processEvents();
    ASSERT_EQ(m_messages->messages().size(), 1);
    EXPECT_TRUE(m_messages->texts()[0].startsWith(
        u"VQTagSearch:stSearchResultsVirtualItem (RowIndex=0 m_PointList.Count=1 or 1)\r\n"_s))
        << m_messages->texts()[0].toStdString();
    EXPECT_EQ(rows(), QStringList{u"vqsouth\\NO-SUCH-POINT"_s});  // the cells that could be read stay

    choose({u"vqsouth"_s});
    search->SetPointTypeMask(4);  // String
    for (const QString& value : {u"1.5"_s, u"ON"_s}) {
        m_messages->clear();
        search->SetValueMask(value);
        search->search();
        EXPECT_EQ(
            m_messages->texts(),
            QStringList{u"VQTagSearch:Search\r\nVQTagSearch:SimpleSearch\r\nUnsupported search.  When "
                        u"searching for string tags, the value field must be * or blank.\r\nDummy error "
                        u"number:\r\n-1"_s});
    }
}

// Stop keeps what the finished servers found and says that the list is partial.
TEST_F(TagSearchTest, StopKeepsWhatWasFoundAndSaysSo) {
    const QString slow = u"VQcomp.Value > 0"_s;
    choose({u"vqnorth"_s, u"vqsouth"_s});
    search->SetTagSearchView(1);
    search->SetAdvancedWhereClause(slow);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (search->isSearching() && search->PointList()) search->Stop();  // vqnorth has answered
    });
    poll.start(2);
    search->search();
    EXPECT_FALSE(search->isSearching());
    EXPECT_EQ(rows(), expected({u"vqnorth"_s}, slow));
    EXPECT_TRUE(serverStatus().startsWith(u"vqnorth %1 \u00b7 vqsouth: stopped"_s.arg(rows().size())) &&
                serverStatus().endsWith(u"stopped: the list is partial"_s))
        << serverStatus().toStdString();
    EXPECT_EQ(status(), u"List Count: %1"_s.arg(rows().size()));
    EXPECT_TRUE(m_messages->messages().isEmpty());  // the user asked for it: no error box
}

// Every property of both searches notifies once per real change and not when written again;
// the tag search's masks are what the user types, so its tag mask is the value a host binds.
TEST_F(TagSearchTest, SearchPropertiesNotifyOnceAndTheTagMaskIsTheUserProperty) {
    VQDigSetSearch digsets;
    // object, property, value (none: the opposite of the flag), whether the setter marks each write
    const std::tuple<QObject*, const char*, QVariant, bool> writes[] = {
        {search.get(), "SearchResultsMultiselect", {}, true},
        {search.get(), "VQServerPickListEnabled", {}, true},
        {search.get(), "TagMask", u"FIC*"_s, true},
        {search.get(), "DescriptorMask", u"*flow*"_s, true},
        {search.get(), "PointSourceMask", u"R"_s, true},
        {search.get(), "EngineeringUnitsMask", u"m3/h"_s, true},
        {search.get(), "ValueMask", u"1*"_s, true},
        {search.get(), "PointTypeMask", 2, true},
        {search.get(), "TagSearchView", 1, true},
        {search.get(), "AdvancedWhereClause", u"tag = 'FIC101'"_s, true},
        {search.get(), "SQLTableComboIndex", 1, false},
        {search.get(), "SQLConditionComboIndex", 2, false},
        {search.get(), "AdvancedSQLValue", u"42"_s, false},
        {&digsets, "MultiSelect", {}, true},
        {&digsets, "FixOnCurrentServer", {}, true},
    };
    for (const auto& [object, property, written, marks] : writes) {
        const QVariant value = written.isValid() ? written : !object->property(property).toBool();
        EXPECT_EQ(writeTwice(*object, property, value),
                  marks ? u"notify 1 1, marked 1 2"_s : u"notify 1 1, marked 0 0"_s)
            << property;
    }
    EXPECT_EQ(silentProperties(VQTagSearch::staticMetaObject).join(u' '), QString());
    EXPECT_EQ(silentProperties(VQDigSetSearch::staticMetaObject).join(u' '), QString());
    EXPECT_EQ(userPropertyOf(VQTagSearch::staticMetaObject), u"TagMask"_s);
    // It picks sets rather than holding a value of its own.
    EXPECT_EQ(userPropertyOf(VQDigSetSearch::staticMetaObject), QString());
}

using namespace tagsearch;

const QString kJoin = u" AND VQPOINT.TAG = VQCOMP.TAG AND VQCOMP.TIME = DATE(\"*\")"_s;
const QString kDigJoin = u" AND VQPOINT.TAG = VQCOMP.TAG AND VQCOMP.TIME = DATE(\" * \")"_s;

// "tag|descriptor|units|source|class|type|value" and "table|column|condition|value"
SimpleCriteria fields(const QString& text) {
    const QStringList f = text.split(u'|');
    return {f.value(0), f.value(1), f.value(2), f.value(3), f.value(4), f.value(5), f.value(6)};
}
WhereCondition condition(const QString& text) {
    const QStringList f = text.split(u'|');
    return {f.value(0), f.value(1), f.value(2), f.value(3)};
}

struct Case {
    QString input, first, second{};
};

TEST(TagSearchClauses, SimpleFieldsGiveTheExactClauses) {
    const Case cases[] = {
        {u"*||  ||*|*|  *  "_s, kEveryPoint},
        {u"  abc  ||||||   "_s, u"VQPOINT.TAG = 'abc' "_s},
        {u"ab?"_s, u"VQPOINT.TAG = 'ab?' "_s},
        {u"sin*||deg*|R||Float"_s,
         u"VQPOINT.TAG LIKE 'sin*'  AND VQPOINT.ENGUNITS LIKE 'deg*'  AND VQPOINT.POINTSOURCE = 'R'  AND "
         u"VQPOINT.POINTTYPE = 'R'"_s},
        {u"|||||*|5"_s, u"VQCOMP.VALUE = 5 AND VQCOMP.STATUS = 0 AND VQPOINT.POINTTYPE = 'R'"_s + kJoin,
         u"VQCOMP.STATUS = 5 AND VQPOINT.POINTTYPE IN (\"I\", \"D\")"_s + kJoin},
        {u"|||||Digital|ON"_s,
         u"VQPOINT.POINTTYPE = 'D' AND ABS(VQCOMP.STATUS) = ABS(DIGCODE(\"ON\"))"_s + kDigJoin},
        {u"|*PointType*||||*|5"_s, u"VQPOINT.DESCRIPTOR LIKE '*PointType*' "_s},
        {u"||||base|integer| -2.5e1 "_s,
         u"VQPOINT.POINTCLASS = 'base'  AND VQPOINT.POINTTYPE = 'I' AND VQCOMP.STATUS =  -2.5e1 "_s + kJoin},
        {u"O'Brien*"_s, u"VQPOINT.TAG LIKE 'O''Brien*' "_s},
        {u"||||||say \"hi\""_s, u"ABS(VQCOMP.STATUS) = ABS(DIGCODE(\"say \"\"hi\"\"\"))"_s + kDigJoin},
    };
    for (const Case& c : cases) {
        const SimpleClauses clauses = simpleSearchClauses(fields(c.input));
        EXPECT_EQ(clauses.first + u'|' + clauses.second, c.first + u'|' + c.second);
    }
}

TEST(TagSearchClauses, OnlyTheDialectsFiniteNumbersAreNumeric) {
    for (const QString& text : {u"5"_s, u" 5 "_s, u"-2.5e3"_s, u".5"_s, u"5."_s, u"1E+2"_s})
        EXPECT_TRUE(isNumericText(text)) << text.toStdString();
    for (const QString& text : {u""_s, u" "_s, u"1e999"_s, u"inf"_s, u"nan"_s, u"1,000"_s, u"0x10"_s, u"1e"_s,
                                u"."_s, u"5 5"_s, u"\u0661"_s})
        EXPECT_FALSE(isNumericText(text)) << text.toStdString();
}

TEST(TagSearchClauses, TheBuilderQuotesJoinsAndBreaksLines) {
    const QString comp = u"VQcomp.Value > 5 AND VQpoint.Tag = VQcomp.Tag AND VQcomp.Time = DATE(\"*\")"_s;
    const Case cases[] = {
        // condition, result, clause before
        {u"VQpoint|Tag|=|123"_s, u"VQpoint.Tag = '123'"_s},
        {u"VQpoint|Zero|>=|10"_s, u"x AND \r\nVQpoint.Zero >= 10"_s, u"x\r\n"_s},
        {u"VQcomp|Status|=|0"_s, comp + u" AND \r\nVQcomp.Status = 0"_s, comp + u"\r\n\r\n"_s},
        {u"VQinterp|TimeStep|=|1h"_s, u"VQinterp.TimeStep = '1h' AND VQpoint.Tag = VQinterp.Tag"_s},
        {u"VQbatch|Unit|=|O'Brien"_s,
         u"VQbatch.Unit = 'O''Brien' AND VQpoint.Tag = VQbatch.Tag AND VQbatch.Time >= DATE('*-1h') AND "
         u"VQbatch.Time <= DATE('*')"_s,
         u" \r\n \r\n"_s},
    };
    for (const Case& c : cases) EXPECT_EQ(addWhereCondition(c.second, condition(c.input)), c.first);
    EXPECT_EQ(selectStatementCaption(u"vqalias.Unit = 'x' AND VQCOMP.VALUE > 1"_s),
              u"SELECT Tag FROM VQPoint, VQcomp, VQalias"_s);
    EXPECT_EQ(errorNumberOf([] { addWhereCondition({}, condition(u"VQpoint||=|1"_s)); }),
              errc::InvalidArgument);
}

// A small archive whose point tags say which clauses must find them.
class TagSearchArchiveTest : public SampleServersTest {
protected:
    void SetUp() override {
        SampleServersTest::SetUp();
        archive = ArchiveServer::create(dir.filePath(u"q.vqa"_s), u"q"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
        archive->Open(u"vqadmin"_s, QString());
        archive->addDigitalSet(u"Talk"_s, {u"Off"_s, u"say \"hi\""_s});
        add(u"O'Brien-R5"_s, pointtype::Float32, 5.0, 0);
        add(u"o'brien-I5"_s, pointtype::Int32, 5, 5);
        add(u"OBrien-R5"_s, pointtype::Float32, 5.0, 0);
        add(u"OxBrien-R6"_s, pointtype::Float32, 6.0, 0);
        add(u"Talk-D1"_s, pointtype::Digital, 1, 1);
    }
    void add(const QString& tag, SdkPointType type, const Variant& value, int32_t status) {
        SdkNamedValues attributes;
        if (type == pointtype::Digital) attributes.Add(u"DigitalSet"_s, Variant(u"Talk"_s));
        const SdkPointPtr point = archive->Points()->Add(tag, u"classic"_s, type, attributes);
        archive->addArchivedValue(point->PointID(), {QDateTime::currentDateTimeUtc(), value, status});
    }
    // The tags one clause finds, sorted; "-" when nothing matches.
    QString found(const QString& where) {
        SdkNamedValues set;
        GetExtraServerTables(where, set);
        const SdkPointListPtr list = GetPointsSQLWrapper(*archive, where, set);
        QStringList tags;
        for (int i = 1; list && i <= list->Count(); ++i) tags << list->Tag(i);
        tags.sort();
        return list ? tags.join(u',') : u"-"_s;
    }

    QTemporaryDir dir;
    std::shared_ptr<ArchiveServer> archive;
};

TEST_F(TagSearchArchiveTest, TheClausesFindTheirPointsOnTheArchive) {
    const std::pair<QString, QString> cases[] = {
        {u"O'Brien*"_s, u"O'Brien-R5,o'brien-I5"_s},
        {u"o'brien-r5"_s, u"O'Brien-R5"_s},
        {u"O'Brien*|||||*|5"_s, u"O'Brien-R5|o'brien-I5"_s},
        {u"|||||*|5"_s, u"O'Brien-R5,OBrien-R5|o'brien-I5"_s},
        {u"|||||Digital|SAY \"HI\""_s, u"Talk-D1"_s},
        {u"nobody*"_s, u"-"_s},
    };
    for (const auto& [input, tags] : cases) {
        const SimpleClauses clauses = simpleSearchClauses(fields(input));
        const QString second = clauses.second.isEmpty() ? QString() : u'|' + found(clauses.second);
        EXPECT_EQ(found(clauses.first) + second, tags) << clauses.first.toStdString();
    }
    EXPECT_EQ(found(addWhereCondition({}, condition(u"VQpoint|Tag|=|O'BRIEN-R5"_s))), u"O'Brien-R5"_s);
    EXPECT_EQ(found(addWhereCondition(u"VQpoint.Tag LIKE 'O*'"_s, condition(u"VQcomp|Value|>|5"_s))),
              u"OxBrien-R6"_s);
    // The clause the doubling prevents: the server refuses it, and the wrapper passes that on.
    const Error error = raised([&] { found(u"VQPOINT.TAG LIKE 'O'Brien*' "_s); });
    EXPECT_EQ(error.number(), sdkerr::QueryInvalid);
    EXPECT_TRUE(error.source().startsWith(u"VQTagSearch:GetPointsSQLWrapper\r\n"_s));
}

// The point classes come from the qualifying servers once each: the same classes again from two
// more servers add nothing. The query helpers pass a failure on as it came: the procedures that
// call them put their own contexts in front, so each context appears once and none is made up.
TEST_F(TagSearchArchiveTest, TheQueryHelpersGatherClassesOnceAndAddNoContextsOfTheirOwn) {
    QStringList expected;
    for (const SdkPointClassPtr& c : archive->PointClasses()->All()) expected << c->Name();
    EXPECT_EQ(gatherPointClasses({archive, connect(u"vqsouth"_s), connect(u"vqnorth"_s)}), expected);
    const SdkServerPtr gone = ArchiveServer::open(u"gone"_s, dir.filePath(u"gone.vqa"_s));
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"point classes of a server that cannot be read", [&] { gatherPointClasses({gone}); }},
        {"the version test of such a server", [&] { qualifiesForPointClass(*gone); }},
        {"a condition without a table", [] { addWhereCondition({}, condition(u"|Tag|=|x"_s)); }},
    };
    for (const auto& [behaviour, fail] : cases) {
        const Error error = raised(fail);
        EXPECT_NE(error.number(), 0) << behaviour;
        EXPECT_FALSE(error.source().contains(u"VQTagSearch:"_s, Qt::CaseInsensitive)) << behaviour;
    }
}

class DigSetSearchTest : public SearchControlTest<VQDigSetSearch> {
protected:
    void SetUp() override {
        SearchControlTest::SetUp();
        search->SetCurrentServer(servers()->Item(u"vqsouth"_s));
        search->Reset();
        QObject::connect(
            search.get(), &VQDigSetSearch::OnDigsetListSelection,
            [this](const SdkNamedValuesPtr& chosen) { events << QString::fromStdString(text(chosen)); });
    }
    // The texts of one column of a list, top to bottom.
    QStringList column(const char* list, int column = 0) {
        return columnTexts(child<QTreeView>(list)->model(), column);
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

    QStringList events;
};

TEST_F(DigSetSearchTest, ResetListsTheServersSetsWithCaptionsAndNothingChosen) {
    auto* serverList = child<QComboBox>("cboVQServer");
    EXPECT_EQ(u"%1 %2"_s.arg(serverList->currentText()).arg(serverList->count()), u"vqsouth 3"_s);
    QStringList all;
    for (const SdkDigitalStateSetPtr& set : servers()->Item(u"vqsouth"_s)->DigitalStateSets()->All())
        all << set->Name();
    EXPECT_EQ(column("lvDigSets"), all);
    EXPECT_EQ(label("lblNumDigsets") + u'|' + label("lblNumDigstates") + u'|' + label("lblCondition2"),
              u"Number of DigSets: %1|Number of Digital States:|And"_s.arg(all.size()));
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
    EXPECT_EQ(column("lvDigStates", 0).join(u',') + u' ' + column("lvDigStates", 1).join(u',') + u' ' +
                  label("lblNumDigstates"),
              u"0,1,2 STOPPED,RUNNING,TRIPPED Number of Digital States: 3"_s);

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
    clickIndex(sets, pump);
    QTest::mouseDClick(sets->viewport(), Qt::LeftButton, {}, sets->visualRect(pump).center());
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
}

}  // namespace
}  // namespace vq::test
