#pragma once

#include "sdk/SdkExport.h"

#include <QString>

#include <cstdint>

namespace vq {

/// The 32-bit point-type code of a point.
using SdkPointType = int32_t;

/// The point-type codes and what they are called.
namespace pointtype {
constexpr SdkPointType Int16 = 6;      ///< 16-bit integer
constexpr SdkPointType Int32 = 8;      ///< 32-bit integer
constexpr SdkPointType Float16 = 11;   ///< 16-bit floating value
constexpr SdkPointType Float32 = 12;   ///< single-precision floating value
constexpr SdkPointType Float64 = 13;   ///< double-precision floating value
constexpr SdkPointType Digital = 101;  ///< a state of a digital state set
constexpr SdkPointType Blob = 102;     ///< binary data
constexpr SdkPointType String = 105;   ///< text

/// Integer and floating types: the ones whose span must not be zero.
VQ_SDK_EXPORT bool isNumeric(SdkPointType type);
/// "Int16" (or "Integer" on VQ2 servers), "Float32", ...; empty for an unknown code.
VQ_SDK_EXPORT QString name(SdkPointType type, bool vq2Names = false);
}  // namespace pointtype

}  // namespace vq
