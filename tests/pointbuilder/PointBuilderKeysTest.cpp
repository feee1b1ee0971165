// The Point Builder used from the keyboard alone: Find, open, edit, save and find again.
#include "PointBuilderTestSupport.h"
#include "dialogs/DialogServices.h"
#include "propsheet/PropSheetGridModel.h"

#include <QKeySequence>
#include <QTableView>

namespace vq::test {
namespace {

// Keys to whichever widget has the focus: key names ("Tab", "Ctrl+F") and quoted text ('Boiler*').
void press(const QString& keys) {
    for (const QString& token : keys.split(u' ', Qt::SkipEmptyParts)) {
        if (token.startsWith(u'\'')) {
            const QString text = token.mid(1).chopped(1).replace(u'_', u' ');
            for (const QChar c : text)
                QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(c.toUpper().unicode()),
                                    QString(c), Qt::NoModifier);
            continue;
        }
        const QKeyCombination key = QKeySequence::fromString(token)[0];
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
    }
}

// Tab until the focus is on the widget called `name` (inside `within` when given); false when a
// round of 60 never gets there.
bool tabTo(const char* name, const QWidget* within = nullptr) {
    for (int step = 0; step < 60; ++step) {
        const QWidget* focus = QApplication::focusWidget();
        if (focus && focus->objectName() == QLatin1String(name) && (!within || within->isAncestorOf(focus)))
            return true;
        press(u"Tab"_s);
    }
    return false;
}

// Down the grid that has the focus until `attribute` is the current row, unfolding categories.
bool downTo(const QString& attribute) {
    auto* grid = qobject_cast<QTreeView*>(QApplication::focusWidget());
    press(u"Home"_s);
    for (int step = 0; grid && step < 200; ++step) {
        const QModelIndex current = grid->currentIndex();
        if (current.data(PropSheetGridModel::KeyRole).toString() == attribute) return true;
        press(PropSheetGridModel::isCategory(current) && !grid->isExpanded(current.siblingAtColumn(0))
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
        press(u"Ctrl+A '"_s + mask + u"' Return"_s);
        auto* results = child<QTableView>(form, "stSearchResults");
        for (int row = 0; listed && row < results->model()->rowCount(); ++row)
            *listed << results->model()->index(row, 2).data().toString();
        ASSERT_TRUE(tabTo("stSearchResults"));
        press(u"Return"_s);
    });
}

class PointBuilderKeysTest : public PointBuilderTest {
protected:
    const ScopedServices dialogs{useLibraryDialogs};
};

TEST_F(PointBuilderKeysTest, FindOpenEditSaveAndFindAgainWithKeysAlone) {
    findByKeys(modals, u"Boiler*"_s);
    press(u"Ctrl+F"_s);
    ASSERT_TRUE(statusSays(*window, "Boiler.Temp on plant"));
    ASSERT_TRUE(showActive(*window));  // the platform hands activation back after the dialog

    ASSERT_TRUE(tabTo("MSHFlexGrid1", window->alphabeticSheet()));
    ASSERT_TRUE(downTo(u"Descriptor"_s));
    press(u"'Steam_drum' Return"_s);
    ASSERT_TRUE(downTo(u"EngUnits"_s));
    press(u"F2 'degC' Tab"_s);  // on to the next attribute's editor
    press(u"'2.5' Return"_s);
    press(u"Ctrl+S"_s);
    const std::string saved = "Descriptor=Steam drum EngUnits=degC ExcDev=2.5";
    EXPECT_EQ(storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor EngUnits ExcDev"), saved);

    QStringList listed;
    findByKeys(modals, u"Boiler*"_s, &listed);
    press(u"Ctrl+F"_s);
    EXPECT_EQ(listed, QStringList{u"Steam drum"_s});
    EXPECT_EQ(values(*window->entries(), "Tag Descriptor EngUnits ExcDev"), "Tag=Boiler.Temp " + saved);
}

}  // namespace
}  // namespace vq::test
