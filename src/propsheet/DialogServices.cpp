#include "propsheet/DialogServices.h"

#include "editors/AttributeSearchDialogs.h"
#include "propsheet/TagwrightDlgs.h"
#include "sdk/SdkPointList.h"
#include "search/PointPropertyDialogs.h"

namespace vq {

namespace {

// Each dialog through a fresh TagwrightDlgs: one opened from inside a point search then leaves
// the search's forms to the object that loaded them.
class NewTagwrightDlgs final : public AttributeSearchDialogs, public PointPropertyDialogs {
public:
    SdkPointListPtr ShowTagSearchDialog(const SdkServerPtr& selectedServer, int32_t options) override {
        return TagwrightDlgs().ShowTagSearchDialog(selectedServer, options);
    }
    SdkNamedValuesPtr ShowDigsetSearchDialog(const SdkServerPtr& selectedServer,
                                             bool searchOnlyOnSelectedServer,
                                             bool searchResultsMultiselect) override {
        return TagwrightDlgs().ShowDigsetSearchDialog(selectedServer, searchOnlyOnSelectedServer,
                                                      searchResultsMultiselect);
    }
    void ShowVQPointPropertySheet(const SdkPointListPtr& points) override {
        TagwrightDlgs().ShowVQPointPropertySheet(points);
    }
};

NewTagwrightDlgs& libraryDialogs() {
    static NewTagwrightDlgs dialogs;
    return dialogs;
}

}  // namespace

void installDialogServices() {
    setAttributeSearchDialogs(&libraryDialogs());
    setPointPropertyDialogs(&libraryDialogs());
}

void ensureDialogServices() {
    if (!attributeSearchDialogs()) setAttributeSearchDialogs(&libraryDialogs());
    if (!pointPropertyDialogs()) setPointPropertyDialogs(&libraryDialogs());
}

}  // namespace vq
