#include "archive/storage/StoredText.h"

#include "core/ShownText.h"
#include "sdk/SdkErrors.h"

namespace vq {

namespace {

[[noreturn]] void refuse(const QString& what) {
    throw Error(sdkerr::AttributesRefused, QStringLiteral("VQArchive"),
                QStringLiteral("%1 %2").arg(what, StoredText::nulReason()));
}

QString pointText(const QString& tagKey) {
    return QStringLiteral("the point \"%1\"").arg(ShownText::of(tagKey));
}

}  // namespace

QString StoredText::nulReason() {
    return QStringLiteral("holds a NUL character (\\0), which an archive does not store");
}

void StoredText::check(const QString& text, const QString& what) {
    if (hasNul(text)) refuse(QStringLiteral("%1 \"%2\"").arg(what, ShownText::of(text)));
}

void StoredText::checkPoint(const QString& tagKey, const std::vector<ArchiveStoredValue>& values) {
    QString tag = tagKey;  // as given where the write holds it
    for (const ArchiveStoredValue& stored : values)
        if (stored.def->name == u"Tag") tag = stored.value->toString();
    if (hasNul(tagKey)) refuse(QStringLiteral("The tag of ") + pointText(tag));
    for (const ArchiveStoredValue& stored : values)
        if ((stored.value->isString() || stored.def->type == AttributeType::String) &&
            hasNul(stored.value->toString()))
            refuse(QStringLiteral("The attribute %1 of %2").arg(stored.def->name, pointText(tag)));
}

void StoredText::checkArchived(const QString& tagKey, const std::vector<ArchivedValue>& archived) {
    for (const ArchivedValue& value : archived)
        if (!value.value.isNumberType() && hasNul(value.value.toString()))
            refuse(QStringLiteral("An archived value of ") + pointText(tagKey));
}

}  // namespace vq
