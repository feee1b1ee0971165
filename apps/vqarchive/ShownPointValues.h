#pragma once

#include "sdk/SdkFwd.h"
#include "sdk/SdkPointType.h"

#include <QString>

#include <memory>

namespace vq {

class PropSheetEntries;

// A point's values as the Point Builder shows them, for `show` in text and in JSON alike.
QString typeNameOf(SdkPointType type, bool vq2);
// The sheets' value lists for the point's class, as a new point of it gets them.
std::unique_ptr<PropSheetEntries> namesOfClass(const SdkServerPtr& server, const SdkPointPtr& point);
// A coded value by the name the Point Builder's sheets show for it (Float32, Off); any other value,
// or a code the attribute's list does not name, as stored.
QString shownValue(const PropSheetEntries* names, const SdkNamedValue& pair);

}  // namespace vq
