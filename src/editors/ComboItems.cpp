#include "editors/ComboItems.h"

#include "editors/PropertyErrors.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace vq {

void appendComboItem(QComboBox& combo, const QString& text) {
    insertComboItem(combo, text, combo.count());
}

void insertComboItem(QComboBox& combo, const QString& text, int position) {
    if (position < 0 || position > combo.count()) raiseInvalidProcedureCall(QStringLiteral("AddItem"));
    const bool hadSelection = combo.currentIndex() >= 0;
    // QComboBox selects the first item of an empty list on its own; a list box does not.
    const QSignalBlocker blocker(combo);
    combo.insertItem(position, text);
    if (!hadSelection) combo.setCurrentIndex(-1);
}

void clearComboItems(QComboBox& combo) {
    const QSignalBlocker blocker(combo);
    combo.clear();
}

void setComboListIndex(QComboBox& combo, int index) {
    if (index < -1 || index >= combo.count()) raiseInvalidPropertyValue(QStringLiteral("ListIndex"));
    combo.setCurrentIndex(index);
}

int loadableListIndex(const QComboBox& combo, int index) {
    return index >= 0 && index < combo.count() ? index : -1;
}

}  // namespace vq
