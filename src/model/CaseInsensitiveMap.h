#pragma once

#include "core/KeyedCollection.h"

#include <QHash>
#include <QString>

#include <initializer_list>

namespace vq {

// A lookup table keyed by attribute name without regard to case, built once from a catalogue
// table. The first row that names an attribute wins, as in the tables it is built from.
template <typename T>
class CaseInsensitiveMap {
public:
    void insert(const QString& name, const T& value) {
        const QString key = foldKey(name);
        if (!m_map.contains(key)) m_map.insert(key, value);
    }
    void insert(std::initializer_list<const char16_t*> names, const T& value) {
        for (const char16_t* name : names) insert(QString::fromUtf16(name), value);
    }
    const T* find(const QString& name) const {
        const auto it = m_map.constFind(foldKey(name));
        return it == m_map.constEnd() ? nullptr : &it.value();
    }
    bool contains(const QString& name) const { return m_map.contains(foldKey(name)); }

private:
    QHash<QString, T> m_map;
};

// A set of attribute names without regard to case.
class CaseInsensitiveNames : public CaseInsensitiveMap<bool> {
public:
    CaseInsensitiveNames(std::initializer_list<const char16_t*> names) { insert(names, true); }
};

}  // namespace vq
