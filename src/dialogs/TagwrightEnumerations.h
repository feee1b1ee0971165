#pragma once

#include "dialogs/DialogsExport.h"

#include "dialogs/TagSearchOptions.h"
#include "dialogs/enumGeneralMode.h"
#include "editors/enumBorderStyle.h"
#include "editors/enumPointAttributeOnOffViewStyle.h"
#include "editors/enumPointAttributeSecurityStyle.h"
#include "editors/enumVQCompressionSpecsStyle.h"
#include "model/enumDisplayStyle.h"
#include "model/enumPointMode.h"
#include "model/enumValidationRule.h"
#include "propsheet/PropsheetView.h"

namespace vq {

/// Every public enumeration of the library in one class, so that a host can name them all
/// through one include: `TagwrightEnumerations::viewCategorized`,
/// `TagwrightEnumerations::TagSearchOptions`. It has no objects and no other members.
class VQ_DIALOGS_EXPORT TagwrightEnumerations {
public:
    TagwrightEnumerations() = delete;

    using enumBorderStyle = vq::enumBorderStyle;  ///< frame of an attribute editor
    using enumPointAttributeSecurityStyle = vq::enumPointAttributeSecurityStyle;    ///< security editor kind
    using enumPointAttributeOnOffViewStyle = vq::enumPointAttributeOnOffViewStyle;  ///< on/off editor look
    using PropsheetView = vq::PropsheetView;            ///< row order of the property sheet
    using enumDisplayStyle = vq::enumDisplayStyle;      ///< editor kind of an attribute
    using enumValidationRule = vq::enumValidationRule;  ///< validity rule of an attribute
    using TagSearchOptions = vq::TagSearchOptions;      ///< options of the point search dialog
    using enumPointMode = vq::enumPointMode;            ///< new or existing point
    using enumVQCompressionSpecsStyle = vq::enumVQCompressionSpecsStyle;  ///< compression panel kind
    using enumGeneralMode = vq::enumGeneralMode;                          ///< points or digital sets

    using enum vq::enumBorderStyle;
    using enum vq::enumPointAttributeSecurityStyle;
    using enum vq::enumPointAttributeOnOffViewStyle;
    using enum vq::PropsheetView;
    using enum vq::enumDisplayStyle;
    using enum vq::enumValidationRule;
    using enum vq::TagSearchOptions;
    using enum vq::enumPointMode;
    using enum vq::enumVQCompressionSpecsStyle;
    using enum vq::enumGeneralMode;
};

}  // namespace vq
