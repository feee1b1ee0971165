#pragma once

#include "core/Variant.h"

#include <QString>

namespace vq {

// A converted deviation as the compression panel shows it: very small and large values in the
// locale's scientific form (5.00E-03, 1.50E+03), the rest with two decimals and digit grouping.
QString FormatDeviation(double x);

// The deviation in the unit the editor does not show: per cent of span when `currentAttributeName`
// is the engineering-unit name ("CompDev", "ExcDev"), engineering units when it is the per-cent
// twin. "?" when span or deviation is no number, "Infinity" for a zero span, empty for other names.
QString ConvertedDeviationText(const Variant& span, const Variant& deviation,
                               const QString& currentAttributeName);

}  // namespace vq
