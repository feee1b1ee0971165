// The Point Builder used from the keyboard alone: Find, open, edit, save and find again.
#include "PointBuilderTestSupport.h"
#include "dialogs/DialogServices.h"
#include "propsheet/PropSheetGridModel.h"

#include <QTableView>

namespace vq::test {
namespace {

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

class PointBuilderKeysTest : public PointBuilderTest {
protected:
    const ScopedServices dialogs{useLibraryDialogs};
};

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
