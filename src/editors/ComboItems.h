#pragma once

#include <QString>

#include <cstdint>

class QComboBox;

namespace vq {

// A drop-down list behaves like a list box: adding or removing items is not a selection, an empty
// list gains no selection when its first item arrives, and an index out of range is an error.
void appendComboItem(QComboBox& combo, const QString& text);
// Throws error 5 when `position` is outside 0 .. item count.
void insertComboItem(QComboBox& combo, const QString& text, int position);
void clearComboItems(QComboBox& combo);
// Makes the dropped list at least as wide as its widest item, which may be wider than the list box.
void fitDroppedListToItems(QComboBox& combo);
// Throws error 380 unless -1 <= index < item count; -1 clears the selection.
void setComboListIndex(QComboBox& combo, int index);
// An index a saved property names, or -1 when the list has no such item yet.
int loadableListIndex(const QComboBox& combo, int index);

}  // namespace vq
