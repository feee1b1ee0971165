#include "editors/ComboItems.h"

#include "editors/PropertyErrors.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>

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
    fitDroppedListToItems(combo);
}

void clearComboItems(QComboBox& combo) {
    const QSignalBlocker blocker(combo);
    combo.clear();
    fitDroppedListToItems(combo);
}

void fitDroppedListToItems(QComboBox& combo) {
    QAbstractItemView* view = combo.view();
    const QFontMetrics metrics(view->font());
    int widest = 0;
    for (int i = 0; i < combo.count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(combo.itemText(i)));
    // Room for the item's margins and a scroll bar beside the text.
    const int room = 4 * metrics.averageCharWidth() + combo.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    view->setMinimumWidth(widest > 0 ? widest + room : 0);
}

void setComboListIndex(QComboBox& combo, int index) {
    if (index < -1 || index >= combo.count()) raiseInvalidPropertyValue(QStringLiteral("ListIndex"));
    combo.setCurrentIndex(index);
}

int loadableListIndex(const QComboBox& combo, int index) {
    return index >= 0 && index < combo.count() ? index : -1;
}

}  // namespace vq
