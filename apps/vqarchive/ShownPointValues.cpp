#include "ShownPointValues.h"

#include "model/PropSheetEntries.h"
#include "sdk/SdkNamedValue.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointClass.h"

namespace vq {

QString typeNameOf(SdkPointType type, bool vq2) {
    const QString name = pointtype::name(type, vq2);
    return name.isEmpty() ? QString::number(type) : name;
}

std::unique_ptr<PropSheetEntries> namesOfClass(const SdkServerPtr& server, const SdkPointPtr& point) {
    auto entries = std::make_unique<PropSheetEntries>();
    entries->AddDefaultAttributes(server, point->PointClass()->Name());
    return entries;
}

QString shownValue(const PropSheetEntries* names, const SdkNamedValue& pair) {
    const PropSheetEntryPtr entry = names ? names->find(pair.Name()) : nullptr;
    if (!entry || (entry->DisplayStyle() != stylecombo && entry->DisplayStyle() != styleonoffswitch))
        return pair.Value().toString();
    const QString name = entry->ValueList().GetNameByValue(pair.Value());
    return name.isEmpty() ? pair.Value().toString() : name;
}

}  // namespace vq
