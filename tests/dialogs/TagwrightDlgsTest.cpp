#include "AccessibleWalk.h"
#include "ErrorNumber.h"
#include "ModalDialogs.h"
#include "SampleServers.h"
#include "WidgetDriving.h"
#include "dialogs/DialogServices.h"
#include "dialogs/TagwrightDlgs.h"
#include "dialogs/TagwrightEnumerations.h"
#include "dialogs/VQPointPropertySheetForm.h"
#include "dialogs/VQTagSearchForm.h"
#include "dialogs/WidgetServices.h"
#include "editors/VQPointAttributeEdit.h"
#include "model/PropSheetEntries.h"
#include "platform/AttributeSearchDialogs.h"
#include "platform/FormRegistry.h"
#include "platform/MessageBoxService.h"
#include "platform/PointPropertyDialogs.h"
#include "platform/ServicesContext.h"
#include "platform/Twips.h"
#include "propsheet/VQPointPropSheet.h"
#include "sdk/SdkConnectDialog.h"
#include "sdk/SdkDigitalStateSet.h"
#include "sdk/SdkDigitalStateSets.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointList.h"
#include "search/VQDigSetSearch.h"
#include "search/VQTagSearch.h"
#include "servers/MultiServerPickList.h"
#include "servers/WidgetConnectDialog.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeView>

namespace vq::test {
namespace {

static_assert(TagwrightEnumerations::tsoptAllowOnlyOneTagToBeSelected == 2);
static_assert(TagwrightEnumerations::modeDigset == 2 && TagwrightEnumerations::viewCategorized == 2);

bool loaded(const char* form) {
    return FormRegistry::current().find(QString::fromLatin1(form)) != nullptr;
}

class TagwrightDlgsTest : public SampleServersTest {
protected:
    void SetUp() override {
        SampleServersTest::SetUp();
        dialogs = std::make_unique<TagwrightDlgs>();
    }
    void TearDown() override {
        dialogs.reset();
        SampleServersTest::TearDown();
    }

    // Shows the point search dialog and runs `act` on its control while it is up.
    SdkPointListPtr search(const std::function<void(VQTagSearch&)>& act, const SdkServerPtr& server = nullptr,
                           const SdkNamedValuesPtr& passed = nullptr) {
        SdkPointListPtr chosen;
        whileShown([&] { chosen = dialogs->ShowTagSearchDialog(server, 0, passed); },
                   [&](QWidget* form) {
                       EXPECT_EQ(form->windowTitle(), u"Tag Search"_s);
                       act(*child<VQTagSearch>(form, "VQTagSearch1"));
                   });
        return chosen;
    }
    // The servers the dialog starts with.
    std::string startingServers(const SdkServerPtr& server = nullptr,
                                const SdkNamedValuesPtr& passed = nullptr) {
        std::string shown;
        search(
            [&](VQTagSearch& control) {
                shown = text(control.SelectedServers());
                clickButton(&control, "cmdCancel");
            },
            server, passed);
        return shown;
    }

    std::unique_ptr<TagwrightDlgs> dialogs;
};

TEST_F(TagwrightDlgsTest, OnlyTheFirstObjectMadeWhileNoPointSearchIsLoadedOwnsTheForms) {
    EXPECT_TRUE(dialogs->OwnsForms());
    whileShown([&] { dialogs->ShowDigsetSearchDialog(connect(u"vqsouth"_s), true, false); },
               [](QWidget* form) { form->close(); });
    EXPECT_TRUE(loaded("VQDigSetSearchForm")) << "kept after its dialog";
    {
        TagwrightDlgs another;  // the tag search form is not loaded: it owns them too
        EXPECT_TRUE(another.OwnsForms());
    }
    EXPECT_FALSE(loaded("VQDigSetSearchForm")) << "the second owner unloaded the shared form";
    dialogs->InitTagSearch();
    ASSERT_TRUE(loaded("VQTagSearchForm"));
    {
        TagwrightDlgs inner;
        EXPECT_FALSE(inner.OwnsForms());
        inner.InitTagSearch(names({u"Tag"_s}));
    }
    ASSERT_TRUE(loaded("VQTagSearchForm")) << "a borrower leaves the forms alone";
    auto* form = FormRegistry::current().find(u"vqtagsearchform"_s);
    EXPECT_EQ(child<VQTagSearch>(form, "VQTagSearch1")->TagMask(), u"*"_s);
    dialogs.reset();
    EXPECT_FALSE(loaded("VQTagSearchForm") || loaded("VQDigSetSearchForm"));
}

TEST_F(TagwrightDlgsTest, ServersComeFromTheArgumentThePassedNamesTheConnectedOrTheDefault) {
    EXPECT_EQ(startingServers(), "vqsouth") << "nothing connected: the default server";
    connect(u"vqnorth"_s);
    connect(u"vqlegacy"_s);
    dialogs = std::make_unique<TagwrightDlgs>();
    EXPECT_EQ(startingServers(), "vqnorth,vqlegacy");
    EXPECT_EQ(startingServers(nullptr, names({u"vqsouth"_s, u"VQNORTH"_s})), "vqsouth,vqnorth");
    EXPECT_EQ(startingServers(servers()->Item(u"vqlegacy"_s), names({u"vqsouth"_s})), "vqlegacy");
    // Then the previous dialog's, less a server removed from the list since: failing on it
    // would end every later search of this object.
    EXPECT_EQ(startingServers(nullptr, names({u"vqsouth"_s, u"vqlegacy"_s})), "vqsouth,vqlegacy");
    servers()->Remove(u"vqsouth"_s);
    EXPECT_EQ(startingServers(), "vqlegacy");

    const Error unknown = raised([&] { dialogs->ShowTagSearchDialog(nullptr, 0, names({u"nowhere"_s})); });
    EXPECT_TRUE(unknown.source().startsWith(u"TagwrightDlgs:ShowTagSearchDialog\r\n"_s))
        << unknown.source().toStdString();
}

TEST_F(TagwrightDlgsTest, ASecondDialogShowsThePreviousCriteriaAndResultsButNoSelection) {
    connect(u"vqsouth"_s);
    const QString first =
        connect(u"vqnorth"_s)->GetPointsSQL(u"VQPoint.Tag = '*'"_s, SdkNamedValues(), nullptr)->Tag(1);
    auto masks = SdkNamedValues::create();
    masks->Add(u"tag"_s, Variant(first));
    masks->Add(u"PointType"_s, Variant(u"float32"_s));
    dialogs->InitTagSearch(masks);
    const auto onlyFirst = [&](const SdkPointListPtr& list) {
        return list->Count() == 1 && list->Tag(1) == first;
    };
    const SdkPointListPtr chosen = search(
        [&](VQTagSearch& control) {
            EXPECT_EQ(control.TagMask(), first);
            EXPECT_EQ(control.PointTypeMask(), 1);
            control.SetPointTypeMask(0);
            clickButton(&control, "cmdSearch");
            clickButton(&control, "cmdOK");
        },
        servers()->Item(u"vqnorth"_s));
    EXPECT_TRUE(onlyFirst(chosen));
    EXPECT_FALSE(loaded("VQTagSearchForm")) << "unloaded after every dialog";

    masks->Set(u"Tag"_s, Variant(u"other*"_s));
    dialogs->InitTagSearch(masks);  // replaced by the saved criteria
    search([&](VQTagSearch& control) {
        EXPECT_EQ(control.TagMask(), first);
        EXPECT_TRUE(onlyFirst(control.PointList()));
        EXPECT_TRUE(
            child<QTableView>(&control, "stSearchResults")->selectionModel()->selectedRows().isEmpty());
        clickButton(&control, "cmdCancel");
    });
}

// Pt. Attr... inside the dialog opens the properties through a borrowing object, which must
// leave the open search form alone.
TEST_F(TagwrightDlgsTest, PtAttrShowsTheChosenPointsAndLeavesTheSearchOpen) {
    const ScopedServices dialogs(useLibraryDialogs);
    connect(u"vqsouth"_s);
    int listed = 0;
    const SdkPointListPtr chosen = search([&](VQTagSearch& control) {
        control.SetTagMask(u"B01-T*"_s);
        clickButton(&control, "cmdSearch");
        clickButton(&control, "cmdSelectAll");
        whileShown([&] { clickButton(&control, "cmdPtAttr"); },
                   [&](QWidget* form) {
                       listed = child<QComboBox>(form, "cboPointList")->count();
                       QTest::keyClick(form, Qt::Key_Escape);
                   });
        EXPECT_TRUE(loaded("VQTagSearchForm"));
        clickButton(&control, "cmdOK");
    });
    EXPECT_GT(chosen->Count(), 1);
    EXPECT_EQ(listed, chosen->Count());
}

// Cancel and Esc give nothing; the title bar's close only hides, so the selection stands. (Options
// 3, the servers fixed and one point, are the source tag's search's below.)
TEST_F(TagwrightDlgsTest, HowTheDialogEndsDecidesWhatIsChosen) {
    connect(u"vqsouth"_s);
    const std::pair<std::function<void(VQTagSearch&)>, int> cases[] = {
        {[](VQTagSearch& c) { clickButton(&c, "cmdCancel"); }, 0},
        {[](VQTagSearch& c) { QTest::keyClick(&c, Qt::Key_Escape); }, 0},
        {[](VQTagSearch& c) { c.window()->close(); }, 1},
    };
    for (const auto& [end, count] : cases) {
        const SdkPointListPtr chosen = search([&](VQTagSearch& control) {
            EXPECT_TRUE(child<MultiServerPickList>(&control, "MultiServerPickList1")->Enabled() &&
                        control.SearchResultsMultiselect());
            clickButton(&control, "cmdSearch");
            end(control);
        });
        EXPECT_EQ(chosen->Count(), count);
    }
}

TEST_F(TagwrightDlgsTest, ThePropertyFormShowsEachPointReadOnlyInBothSheetsAndKeepsItsDesignSize) {
    const ScopedServices pinnedDpi(&ServicesContext::logicalDpi, 96.0);
    VQPointPropertySheetForm form;
    auto* sheet1 = child<VQPointPropSheet>(&form, "VQPointPropSheet1");
    auto* sheet2 = child<VQPointPropSheet>(&form, "VQPointPropSheet2");
    form.SetPointList(SdkPointList::create());
    EXPECT_TRUE(sheet1->Readonly() && sheet2->Readonly()) << "even for an empty list";

    const SdkPointListPtr found =
        connect(u"vqnorth"_s)->GetPointsSQL(u"VQPoint.Tag = '*'"_s, SdkNamedValues(), nullptr);
    form.SetPointList(found);
    auto* names = child<QComboBox>(&form, "cboPointList");
    ASSERT_EQ(names->count(), found->Count());
    EXPECT_EQ(names->itemText(1), found->Item(2)->ListText()) << "shown by the key the list finds it by";
    names->setCurrentIndex(1);
    EXPECT_EQ(sheet1->propSheetEntries(), sheet2->propSheetEntries());
    EXPECT_EQ(sheet2->propSheetEntries()->GetValue(u"Tag"_s).toString(), found->Tag(2));
    EXPECT_TRUE(sheet1->View() == viewCategorized && sheet2->View() == viewAlphabetic);
    EXPECT_EQ(child<QTabWidget>(&form, "SSTab1")->tabText(0), u"Categorized"_s);
    EXPECT_EQ(m_messages->texts(), QStringList());
    // A screen reader names the drop-down by its caption, and every sheet cell it reaches.
    form.show();
    EXPECT_EQ(unnamedFocusables(&form).join(u'\n'), QString());
    EXPECT_EQ(names->accessibleName(), u"Point Name"_s);

    const VQPointPropertySheetForm::Layout design = VQPointPropertySheetForm::layoutFor(QSize(5900, 7230));
    form.resize(100, 100);
    EXPECT_EQ(form.size(), twipsToPixels(QSize(5900, 7230)));
    form.resize(twipsToPixels(QSize(7400, 8730)));
    EXPECT_EQ(child<QTabWidget>(&form, "SSTab1")->size(),
              twipsToPixels(design.tabs.size() + QSize(1500, 1500)));
    // Close lies below the sheets (inside the form at any size is the high-DPI test's) and closes.
    auto* close = child<QPushButton>(&form, "cmdClose");
    EXPECT_GT(close->y(), child<QTabWidget>(&form, "SSTab1")->geometry().bottom());
    close->click();
    EXPECT_FALSE(form.isVisible());
}

// The "..." of the sheet's in-place editor must open the set search, not only end the edit, with
// the point's set in view and its states listed; the set search stays loaded.
TEST_F(TagwrightDlgsTest, TheSheetsDigitalSetButtonOpensTheSetSearchOnItsServerAndFillsTheSet) {
    const ScopedServices library(useLibraryDialogs);
    const SdkServerPtr server = connect(u"vqsouth"_s);
    const QString set = server->DigitalStateSets()->All().at(1)->Name();
    const SdkDigitalStateSetPtr current = server->DigitalStateSets()->All().at(2);
    auto entries = std::make_shared<PropSheetEntries>();
    entries->AddDefaultAttributes(server, u"base"_s);
    entries->SetValue(u"PointType"_s, Variant(int32_t(101)));
    entries->SetValue(u"DigitalSet"_s, Variant(current->Name()));
    VQPointPropSheet sheet;
    sheet.resize(900, 600);
    sheet.show();
    sheet.SetPropSheetEntries(entries);
    clickIndex(child<QTreeView>(&sheet, "MSHFlexGrid1"), sheet.cellIndex(u"DigitalSet"_s, columnValue));
    auto* editor = sheet.findChild<VQPointAttributeEdit*>(u"VQPointAttributeEdit1"_s);
    ASSERT_TRUE(editor->isVisible());
    whileShown([&] { QTest::mouseClick(editor->findChild<QPushButton*>(), Qt::LeftButton); },
               [&](QWidget* dialog) {
                   EXPECT_EQ(dialog->windowTitle(), u"Digital Set Search"_s);
                   auto* control = child<VQDigSetSearch>(dialog, "VQDigSetSearch1");
                   EXPECT_TRUE(control->FixOnCurrentServer() && control->MultiSelect());
                   auto* sets = child<QTreeView>(dialog, "lvDigSets");
                   const QModelIndexList shown = sets->selectionModel()->selectedRows();
                   EXPECT_EQ(shown.size() == 1 ? shown[0].data().toString() : QString(), current->Name());
                   EXPECT_EQ(child<QTreeView>(dialog, "lvDigStates")->model()->rowCount(),
                             int(current->States().size()));
                   sets->setCurrentIndex(sets->model()->index(1, 0));
                   QTest::keyClick(child<QPushButton>(dialog, "cmdOK"), Qt::Key_Space);
               });
    EXPECT_EQ(entries->GetValue(u"DigitalSet"_s).toString(), set);
}

// A source tag's search button asks the point search for one point of the entry's server, the
// servers fixed (options 3); Cancel leaves the tag, OK fills in the point chosen. Without the
// library's dialogs the click finds nothing; each click is reported.
TEST_F(TagwrightDlgsTest, TheSourceTagsSearchButtonFillsInThePointChosenOnTheEntrysServer) {
    auto entries = std::make_shared<PropSheetEntries>();
    entries->AddDefaultAttributes(connect(u"vqsouth"_s), u"totalizer"_s);
    VQPointAttributeEdit edit;
    edit.SetAttributeName(u"SourceTag"_s);
    edit.SetPropSheetEntries(entries);
    edit.show();
    QSignalSpy reported(&edit, &VQPointAttributeEdit::OnSearchResults);
    const auto clickSearch = [&] {
        QTest::mouseClick(edit.currentChild()->findChild<QPushButton*>(), Qt::LeftButton);
    };
    clickSearch();
    const ScopedServices library(useLibraryDialogs);
    QString chosen;
    for (const char* end : {"cmdCancel", "cmdOK"}) {
        whileShown(clickSearch, [&](QWidget* form) {
            auto* control = child<VQTagSearch>(form, "VQTagSearch1");
            EXPECT_EQ(text(control->SelectedServers()), "vqsouth");
            EXPECT_FALSE(child<MultiServerPickList>(control, "MultiServerPickList1")->Enabled() ||
                         control->SearchResultsMultiselect());
            clickButton(control, "cmdSearch");
            chosen = control->PointList()->Tag(1);
            clickButton(control, end);
        });
        EXPECT_EQ(entries->GetValue(u"SourceTag"_s).toString() + u'|' + edit.Text(),
                  qstrcmp(end, "cmdOK") == 0 ? chosen + u'|' + chosen : u"|"_s);
    }
    EXPECT_EQ(reported.count(), 3);
}

// installWidgetServices() brings every window of the library at once and keeps the rest of the
// context, which the scope around it gives back.
TEST_F(TagwrightDlgsTest, InstallingTheWidgetServicesBringsEveryWindowAtOnce) {
    const auto installed = [] {
        const ServicesContext& context = services();
        const auto* both = dynamic_cast<PointPropertyDialogs*>(context.searchDialogs.get());
        return std::array{dynamic_cast<MessageBoxService*>(&messageService()) != nullptr,
                          dynamic_cast<WidgetConnectDialog*>(SdkConnectDialog::create().get()) != nullptr,
                          both && both == context.pointPropertyDialogs.get()};  // one object, both seams
    };
    EXPECT_EQ(installed(), (std::array{false, false, false})) << "making widgets installs nothing";
    {
        const ScopedServices pinned(&ServicesContext::logicalDpi, 123.0);
        installWidgetServices();
        EXPECT_EQ(installed(), (std::array{true, true, true}));
        EXPECT_EQ(services().logicalDpi, 123.0) << "the rest of the context stays";
    }
    EXPECT_EQ(installed(), (std::array{false, false, false}));
}

// The point search dialog at the size it asks for, after a search of vqsouth for "B01-T*" that
// chose the top row.
class TagSearchFormTest : public SampleServersTest {
protected:
    void SetUp() override {
        SampleServersTest::SetUp();
        search(*control, u"B01-T*"_s);
        ASSERT_TRUE(showActive(*form));
    }
    static void search(VQTagSearch& target, const QString& mask) {
        target.SetSelectedServers(names({u"vqsouth"_s}));
        target.SetTagMask(mask);
        child<QPushButton>(&target, "cmdSearch")->click();
    }
    // The named child that holds the focus, one Tab after another from `start` until back there.
    QStringList walk(const char* start, const char* tab) {
        child<QWidget>(control, start)->setFocus();
        QStringList seen;
        do {
            QWidget* w = QApplication::focusWidget();
            while (w->objectName().isEmpty() || w->objectName().startsWith(u"qt_")) w = w->parentWidget();
            seen << w->objectName();
            pressKeys(QString::fromLatin1(tab));
        } while (QApplication::focusWidget() != child<QWidget>(control, start)->focusProxy() &&
                 QApplication::focusWidget() != child<QWidget>(control, start) && seen.size() < 60);
        return seen;
    }

    const std::unique_ptr<VQTagSearchForm> form = std::make_unique<VQTagSearchForm>();
    VQTagSearch* const control = form->control();
};

TEST_F(TagSearchFormTest, TabWalksThroughTheResultsListAndShiftTabWalksTheSameWayBack) {
    const QStringList forward = walk("txtTagMask", "Tab");
    EXPECT_TRUE(forward.join(u' ').contains(u"txtValue stSearchResults cmdConnections"_s));
    QStringList backward = walk("txtTagMask", "Shift+Tab");
    std::reverse(backward.begin() + 1, backward.end());
    EXPECT_EQ(backward, forward);
}

// Enter on a chosen result hands it over in the dialog only; elsewhere it searches, as the list
// tells a screen reader. OK and Cancel have access keys no other caption uses.
TEST_F(TagSearchFormTest, EnterAndTheAccessKeysInTheDialog) {
    // behaviour, on a bare control, a result chosen, the focus, handed over
    const std::tuple<const char*, bool, bool, const char*, bool> cases[] = {
        {"dialog, chosen result", false, true, "stSearchResults", true},
        {"dialog, nothing chosen", false, false, "stSearchResults", false},
        {"dialog, criteria field", false, true, "txtTagMask", false},
        {"bare control, chosen result", true, true, "stSearchResults", false},
    };
    for (const auto& [behaviour, bareControl, chosen, focus, handedOver] : cases) {
        SCOPED_TRACE(behaviour);
        VQTagSearch bare;
        VQTagSearch& target = bareControl ? bare : *control;
        if (bareControl) search(bare, u"*"_s);
        ASSERT_TRUE(showActive(*target.window()));
        if (!chosen) target.ClearSelectedTags();
        QSignalSpy handed(&target, &VQTagSearch::OnPointListSelection);
        child<QWidget>(&target, focus)->setFocus();
        pressKeys(u"Return"_s);
        EXPECT_EQ(handed.count(), handedOver ? 1 : 0);
        const QString description = child<QTableView>(&target, "stSearchResults")->accessibleDescription();
        EXPECT_EQ(description.contains(u"Enter searches"_s), bareControl) << description.toStdString();
    }
    QStringList keys;  // of the page shown
    for (const QWidget* w : control->findChildren<QWidget*>())
        if (w->isVisibleTo(form.get()))
            keys << QRegularExpression(u"&(.)"_s).match(w->property("text").toString()).captured(1).toUpper();
    keys.removeAll(QString());
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), keys.size()) << keys.join(u' ').toStdString();
    ASSERT_TRUE(showActive(*form));
    QSignalSpy handed(control, &VQTagSearch::OnPointListSelection);
    pressKeys(u"Alt+K"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return handed.count() == 1; }));  // access keys click animated
    ASSERT_TRUE(showActive(*form));
    pressKeys(u"Alt+A"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }));
}

// Dark (text) pixels of `widget` between the columns `from` and `to`.
int inkBetween(QWidget* widget, int from, int to) {
    const QImage image = widget->grab().toImage();
    int ink = 0;
    for (int x = std::max(from, 0); x < std::min(to, image.width()); ++x)
        for (int y = 0; y < image.height(); ++y) ink += qGray(image.pixel(x, y)) < 96;
    return ink;
}

TEST_F(TagSearchFormTest, TheDialogsKeepTheirShapeAndShowWhatTheyHold) {
    const int width = form->width();  // a long status is cut, whole in its tooltip
    auto* status = child<QLabel>(control, "statServerResults");
    const QString longStatus = QStringList(30, u"vqsouth: not connected"_s).join(u" \u00b7 "_s);
    status->setText(longStatus);
    status->grab();
    EXPECT_TRUE(form->width() == width && status->toolTip() == longStatus);
    auto* header = child<QTableView>(control, "stSearchResults")
                       ->horizontalHeader();  // the third header in sight where its column starts
    const int third = header->sectionViewportPosition(2);
    EXPECT_GT(inkBetween(header, third, third + header->fontMetrics().horizontalAdvance(u"Description"_s)),
              20);
    child<QTabWidget>(control, "SSTab1")->setCurrentIndex(1);  // the condition row whole, even at
    form->resize(form->minimumSizeHint());                     // the dialog's smallest size
    QApplication::processEvents();
    for (const char* name : {"cboSQLTable", "cboSQLColumn", "txtSQLValue", "cmdAddWhereClause"}) {
        const QWidget* part = child<QWidget>(control, name);
        EXPECT_EQ(part->visibleRegion().boundingRect(), part->rect()) << name;
        EXPECT_GE(part->width(), part->minimumSizeHint().width()) << name;
    }
    const auto* value = child<QWidget>(control, "txtSQLValue");
    EXPECT_GE(value->width(), value->fontMetrics().horizontalAdvance(u"B01-FIC-6012"_s) + 8);
}

}  // namespace
}  // namespace vq::test
