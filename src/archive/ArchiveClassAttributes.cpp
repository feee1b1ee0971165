#include "ArchiveClassAttributes.h"

#include "ArchiveServer.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointAttribute.h"

namespace vq {

namespace {

// Asked for every attribute of every point a model loads: most names differ in length or in a
// plain letter, and the rest nearly always match in the catalogue's own spelling.
bool isNamed(const AttributeDef& def, const QString& name) {
    if (def.name.size() != name.size()) return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t a = def.name.at(i).unicode();
        const char16_t b = name.at(i).unicode();
        if (a == b) continue;
        const char16_t lower = char16_t(a | 0x20);
        if (a >= 128 || b >= 128 || lower < u'a' || lower > u'z')
            return QStringView(def.name).sliced(i).compare(QStringView(name).sliced(i),
                                                           Qt::CaseInsensitive) == 0;
        if (lower != char16_t(b | 0x20)) return false;
    }
    return true;
}

}  // namespace

ArchiveClassAttributes::ArchiveClassAttributes(std::shared_ptr<ArchiveServer> server, AttributeSetDef set)
    : m_server(std::move(server)), m_set(std::move(set)) {}

SdkPointAttributePtr ArchiveClassAttributes::Item(const QString& name) {
    for (const AttributeDef& def : m_set.attributes)
        if (isNamed(def, name)) return std::make_shared<SdkPointAttribute>(def.name, def.defaultValue);
    m_server->raise(sdkerr::AttributeUnknown,
                    QStringLiteral("The attribute set \"%1\" has no attribute \"%2\"").arg(m_set.name, name));
}

SdkPointAttributePtr ArchiveClassAttributes::Item(int position) {
    if (position < 1 || position > Count()) throwPositionOutOfRange(position, Count());
    const AttributeDef& def = m_set.attributes[size_t(position - 1)];
    return std::make_shared<SdkPointAttribute>(def.name, def.defaultValue);
}

bool ArchiveClassAttributes::Contains(const QString& name) {
    for (const AttributeDef& def : m_set.attributes)
        if (isNamed(def, name)) return true;
    return false;
}

std::vector<SdkPointAttributePtr> ArchiveClassAttributes::All() {
    std::vector<SdkPointAttributePtr> all;
    for (const AttributeDef& def : m_set.attributes)
        all.push_back(std::make_shared<SdkPointAttribute>(def.name, def.defaultValue));
    return all;
}

SdkNamedValuesPtr ArchiveClassAttributes::NamedValues() {
    auto values = SdkNamedValues::create();
    for (const AttributeDef& def : m_set.attributes) values->Add(def.name, def.defaultValue);
    return values;
}

void ArchiveClassAttributes::SetAttributes(const SdkNamedValues&, SdkNamedValues&) {
    m_server->raise(
        sdkerr::ReadOnly,
        QStringLiteral("The defaults of the attribute set \"%1\" cannot be written").arg(m_set.name));
}

}  // namespace vq
