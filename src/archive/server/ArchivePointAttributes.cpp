#include "archive/server/ArchivePointAttributes.h"

#include "archive/server/PointWriter.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointAttribute.h"

namespace vq {

const ArchiveClassInfo& ArchivePointAttributes::info() {
    return *m_state->server->classById(m_state->loadedHeader().classId);
}

QString ArchivePointAttributes::Name() const {
    return m_state->server->classById(m_state->loadedHeader().classId)->name;
}

void ArchivePointAttributes::ensureLoaded() {
    if (!m_loaded) LoadAll();
}

void ArchivePointAttributes::LoadAll() {
    m_values = m_state->server->readAttributes(m_state->loadedHeader());
    m_loaded = true;
}

int ArchivePointAttributes::Count() {
    return int(info().attributes.size());
}

SdkPointAttributePtr ArchivePointAttributes::Item(const QString& name) {
    ensureLoaded();
    const ArchiveClassInfo& classInfo = info();
    const int index = classInfo.index.value(foldKey(name), -1);
    if (index < 0) {
        m_state->server->raise(
            sdkerr::AttributeUnknown,
            QStringLiteral("The point \"%1\" has no attribute \"%2\"").arg(m_state->header.tag, name));
    }
    return std::make_shared<SdkPointAttribute>(classInfo.attributes[size_t(index)].name,
                                               m_values[size_t(index)]);
}

SdkPointAttributePtr ArchivePointAttributes::Item(int position) {
    ensureLoaded();
    if (position < 1 || position > int(m_values.size()))
        throwPositionOutOfRange(position, int(m_values.size()));
    return std::make_shared<SdkPointAttribute>(info().attributes[size_t(position - 1)].name,
                                               m_values[size_t(position - 1)]);
}

bool ArchivePointAttributes::Contains(const QString& name) {
    return info().index.contains(foldKey(name));
}

std::vector<SdkPointAttributePtr> ArchivePointAttributes::All() {
    ensureLoaded();
    const ArchiveClassInfo& classInfo = info();
    std::vector<SdkPointAttributePtr> all;
    all.reserve(m_values.size());
    for (size_t i = 0; i < m_values.size(); ++i)
        all.push_back(std::make_shared<SdkPointAttribute>(classInfo.attributes[i].name, m_values[i]));
    return all;
}

void ArchivePointAttributes::ForEach(const std::function<void(const QString&, const Variant&)>& visit) {
    ensureLoaded();
    const ArchiveClassInfo& classInfo = info();
    for (size_t i = 0; i < m_values.size(); ++i) visit(classInfo.attributes[i].name, m_values[i]);
}

SdkNamedValuesPtr ArchivePointAttributes::NamedValues() {
    ensureLoaded();
    const ArchiveClassInfo& classInfo = info();
    auto values = SdkNamedValues::create();
    for (size_t i = 0; i < m_values.size(); ++i) values->Add(classInfo.attributes[i].name, m_values[i]);
    return values;
}

// Values read here are what the writer has seen: a point changed by someone else since is refused,
// until LoadAll reads the newer point.
void ArchivePointAttributes::SetAttributes(const SdkNamedValues& edits, SdkNamedValues& failed) {
    std::vector<Variant> seen = m_loaded ? m_values : std::vector<Variant>();
    PointWriter(*m_state->server).update(m_state->header, edits, m_stopOnFirstError, failed, &seen);
    m_state->headerLoaded = true;
    m_values = std::move(seen);
    m_loaded = true;
}

}  // namespace vq
