#include "core/ErrorContexts.h"

namespace vq {

ErrorContexts::ErrorContexts(const char* prefix, std::initializer_list<Spelling> spelledOtherwise)
    : m_prefix(QLatin1String(prefix) + u':') {
    for (const auto& [procedure, text] : spelledOtherwise)
        m_spelledOtherwise.insert(QLatin1String(procedure), QLatin1String(text));
}

QString ErrorContexts::operator()(const char* procedure) const {
    const QString name = QLatin1String(procedure);
    return m_spelledOtherwise.value(name, m_prefix + name);
}

}  // namespace vq
