#pragma once

#include <QString>

#include <cstdint>

namespace vq {

// The 32-bit point-type code of a point.
using SdkPointType = int32_t;

namespace pointtype {
constexpr SdkPointType Int16 = 6;
constexpr SdkPointType Int32 = 8;
constexpr SdkPointType Float16 = 11;
constexpr SdkPointType Float32 = 12;
constexpr SdkPointType Float64 = 13;
constexpr SdkPointType Digital = 101;
constexpr SdkPointType Blob = 102;
constexpr SdkPointType String = 105;

// Integer and floating types: the ones whose span must not be zero.
bool isNumeric(SdkPointType type);
// "Int16" (or "Integer" on VQ2 servers), "Float32", ...; empty for an unknown code.
QString name(SdkPointType type, bool vq2Names = false);
}  // namespace pointtype

}  // namespace vq
