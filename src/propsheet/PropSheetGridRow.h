#pragma once

#include <QString>

#include <array>

namespace vq {

// One row of the property sheet's grid: five cells of text, what kind of row it is, how high it is
// shown and how its cells are coloured.
struct PropSheetGridRow {
    enum Tag { Spare = 0, Category = 1, Entry = 2 };
    enum class Sign { None, Expanded, Collapsed };
    static constexpr int kColumnCount = 5;
    // The columns: the row key and the sort key (both hidden), the expand sign, the display name
    // and the value.
    static constexpr int kKeyColumn = 0;
    static constexpr int kSortKeyColumn = 1;
    static constexpr int kSignColumn = 2;
    static constexpr int kNameColumn = 3;
    static constexpr int kValueColumn = 4;

    int tag = Spare;
    std::array<QString, kColumnCount> cells;
    QString group;               // the category the row sorts under in categorized view
    Sign sign = Sign::None;      // the expand sign in column 2 of a category row
    int height = 0;              // twips; 0 hides the row
    bool valueEditable = false;  // the value cell has the normal background, all else the fixed one
    bool valueInvalid = false;   // the value text is red
};

}  // namespace vq
