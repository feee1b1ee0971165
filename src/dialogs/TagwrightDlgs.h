#pragma once

#include "dialogs/DialogsExport.h"

#include "dialogs/TagSearchOptions.h"
#include "sdk/SdkFwd.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace vq {

class TagwrightDlgsState;

/// The library's three modal dialogs: the point search ("Tag Search"), the digital state set
/// search ("Digital Set Search") and the point property dialog ("Point Properties").
///
/// Keep one object for as long as the searches should remember each other: from its second point
/// search on, the dialog shows the criteria, results and servers the previous one ended with.
/// Only the first object made while no point search form is loaded owns the search forms and
/// unloads them when it ends; objects made while one is open (the search's own Pt. Attr...
/// button, for example) use the forms of their owner.
class VQ_DIALOGS_EXPORT TagwrightDlgs {
public:
    /// Loads the digital state set search form when this object owns the forms.
    TagwrightDlgs();
    /// Unloads both search forms when this object owns them.
    ~TagwrightDlgs();
    TagwrightDlgs(const TagwrightDlgs&) = delete;
    TagwrightDlgs& operator=(const TagwrightDlgs&) = delete;

    /// Resets the point search form and fills its masks from `nvMasks` by name: "Tag",
    /// "Descriptor", "PointSource", "EngUnits", "Value" and "PointType" (a type word: "Int",
    /// "Float", "Digital", "String", ...). Only an owning object applies them, and from the second
    /// dialog on the saved criteria replace them. `nvOptions` is not used.
    void InitTagSearch(const SdkNamedValuesPtr& nvMasks = nullptr,
                       const SdkNamedValuesPtr& nvOptions = nullptr);

    /// Shows the point search dialog and answers the chosen points; an empty list when it was
    /// cancelled. The servers searched are `SelectedServer`, else the names in `nvPassed`, else
    /// those of the previous dialog, else every connected server, else the default one. `Options`
    /// is a bit set of TagSearchOptions. `nvReturned` is not used. Errors are raised with the
    /// context "TagwrightDlgs:ShowTagSearchDialog".
    SdkPointListPtr ShowTagSearchDialog(const SdkServerPtr& SelectedServer = nullptr, int32_t Options = 0,
                                        const SdkNamedValuesPtr& nvPassed = nullptr,
                                        const SdkNamedValuesPtr& nvReturned = nullptr);

    /// Shows the digital state set search dialog and answers the chosen sets (name -> 0). With
    /// `SelectedServer` the dialog starts on that server, and stays on it when
    /// `SearchOnlyOnSelectedServer` is set.
    SdkNamedValuesPtr ShowDigsetSearchDialog(const SdkServerPtr& SelectedServer = nullptr,
                                             bool SearchOnlyOnSelectedServer = false,
                                             bool SearchResultsMultiselect = false);
    /// As ShowDigsetSearchDialog on `SelectedServer` only, multi-select, with `currentSet` in
    /// view and its states listed, as when the user clicked it.
    SdkNamedValuesPtr ShowDigsetSearchDialogShowing(const SdkServerPtr& SelectedServer,
                                                    const QString& currentSet);

    /// Shows the read-only properties of the points of `list`, one point at a time, and returns
    /// when the dialog is closed.
    void ShowVQPointPropertySheet(const SdkPointListPtr& list);

    /// True when this object loaded the search forms and unloads them when it ends.
    bool OwnsForms() const;

private:
    const std::unique_ptr<TagwrightDlgsState> d;
};

}  // namespace vq
