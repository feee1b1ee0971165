#include "archive/server/ArchiveClassAttributes.h"

#include "archive/server/ArchiveServer.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointAttribute.h"

namespace vq {

ArchiveClassAttributes::ArchiveClassAttributes(std::shared_ptr<ArchiveServer> server,
                                               std::shared_ptr<const IndexedAttributeSet> set)
    : m_server(std::move(server)), m_set(std::move(set)) {}

SdkPointAttributePtr ArchiveClassAttributes::Item(const QString& name) {
    const auto found = m_set->index.find(QStringView(name));
    if (found != m_set->index.end()) {
        const AttributeDef& def = m_set->set.attributes[size_t(found->second)];
        return std::make_shared<SdkPointAttribute>(def.name, def.defaultValue);
    }
    m_server->raise(
        sdkerr::AttributeUnknown,
        QStringLiteral("The attribute set \"%1\" has no attribute \"%2\"").arg(m_set->set.name, name));
}

SdkPointAttributePtr ArchiveClassAttributes::Item(int position) {
    if (position < 1 || position > Count()) throwPositionOutOfRange(position, Count());
    const AttributeDef& def = m_set->set.attributes[size_t(position - 1)];
    return std::make_shared<SdkPointAttribute>(def.name, def.defaultValue);
}

bool ArchiveClassAttributes::Contains(const QString& name) {
    return m_set->index.find(QStringView(name)) != m_set->index.end();
}

std::vector<SdkPointAttributePtr> ArchiveClassAttributes::All() {
    std::vector<SdkPointAttributePtr> all;
    for (const AttributeDef& def : m_set->set.attributes)
        all.push_back(std::make_shared<SdkPointAttribute>(def.name, def.defaultValue));
    return all;
}

void ArchiveClassAttributes::ForEach(const std::function<void(const QString&, const Variant&)>& visit) {
    for (const AttributeDef& def : m_set->set.attributes) visit(def.name, def.defaultValue);
}

SdkNamedValuesPtr ArchiveClassAttributes::NamedValues() {
    auto values = SdkNamedValues::create();
    for (const AttributeDef& def : m_set->set.attributes) values->Add(def.name, def.defaultValue);
    return values;
}

void ArchiveClassAttributes::SetAttributes(const SdkNamedValues&, SdkNamedValues&) {
    m_server->raise(
        sdkerr::ReadOnly,
        QStringLiteral("The defaults of the attribute set \"%1\" cannot be written").arg(m_set->set.name));
}

}  // namespace vq
