#pragma once

#include <cstdint>

namespace vq {

// Which group of data-reduction settings a compression panel edits.
enum enumVQCompressionSpecsStyle : int32_t { styleCompressionDeviation = 1, styleExceptionDeviation = 2 };

}  // namespace vq
