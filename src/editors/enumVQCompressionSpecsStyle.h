#pragma once

#include <cstdint>

namespace vq {

/// Which group of data-reduction settings a compression panel edits.
enum enumVQCompressionSpecsStyle : int32_t {
    styleCompressionDeviation = 1,  ///< CompDev (or CompDevPercent), CompMin and CompMax
    styleExceptionDeviation = 2     ///< ExcDev (or ExcDevPercent), ExcMin and ExcMax
};

}  // namespace vq
