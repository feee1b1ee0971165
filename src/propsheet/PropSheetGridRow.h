#pragma once

#include <QString>

#include <array>

namespace vq {

/// One row of the property sheet's grid: five cells of text, what kind of row it is, how high it is
/// shown and how its cells are coloured.
struct PropSheetGridRow {
    /// What a row shows.
    enum Tag {
        Spare = 0,     ///< nothing: the empty row below the header
        Category = 1,  ///< a category's name and expand sign
        Entry = 2      ///< an attribute's name and value
    };
    /// The expand sign of a category row.
    enum class Sign {
        None,      ///< no sign: an entry row or the spare row
        Expanded,  ///< the category's entries are shown; a click collapses it
        Collapsed  ///< the category's entries are hidden; a click expands it
    };
    /// The number of cells in a row.
    static constexpr int kColumnCount = 5;
    /// @{
    /// The columns: the row key and the sort key (both hidden), the expand sign, the display name
    /// and the value.
    static constexpr int kKeyColumn = 0;
    static constexpr int kSortKeyColumn = 1;
    static constexpr int kSignColumn = 2;
    static constexpr int kNameColumn = 3;
    static constexpr int kValueColumn = 4;
    /// @}

    int tag = Spare;                          ///< a Tag
    std::array<QString, kColumnCount> cells;  ///< the texts, one per column
    QString group;                            ///< the category the row sorts under in categorized view
    Sign sign = Sign::None;                   ///< the expand sign in column 2 of a category row
    int height = 0;                           ///< twips; 0 hides the row
    bool valueEditable = false;  ///< the value cell has the normal background, all else the fixed one
    bool valueInvalid = false;   ///< the value text is red
};

}  // namespace vq
