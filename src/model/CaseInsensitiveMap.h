#pragma once

#include "core/FoldedName.h"

#include <QString>

#include <initializer_list>
#include <unordered_map>

namespace vq {

// True when `name` is one of `names`, without regard to case; for short fixed lists.
inline bool isAnyOf(QStringView name, std::initializer_list<const char16_t*> names) {
    for (const char16_t* candidate : names)
        if (QStringView(candidate).compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

// A lookup table keyed by attribute name without regard to case. The first value given for a
// name wins, as in the catalogue tables it is built from.
template <typename T>
class CaseInsensitiveMap {
public:
    void insert(const QString& name, const T& value) { m_map.try_emplace(name, value); }
    void insert(std::initializer_list<const char16_t*> names, const T& value) {
        for (const char16_t* name : names) insert(QString::fromUtf16(name), value);
    }
    void assign(const QString& name, const T& value) { m_map.insert_or_assign(name, value); }
    // The value held for `name`, made from T() when there is none yet.
    T* claim(const QString& name) { return &m_map.try_emplace(name).first->second; }
    void erase(QStringView name) {
        const auto it = m_map.find(name);
        if (it != m_map.end()) m_map.erase(it);
    }
    const T* find(QStringView name) const {
        const auto it = m_map.find(name);
        return it == m_map.end() ? nullptr : &it->second;
    }
    bool contains(QStringView name) const { return m_map.find(name) != m_map.end(); }
    void clear() { m_map.clear(); }
    void reserve(size_t count) { m_map.reserve(count); }
    bool empty() const { return m_map.empty(); }

private:
    std::unordered_map<QString, T, FoldedNameHash, FoldedNameEqual> m_map;
};

// A set of attribute names without regard to case.
class CaseInsensitiveNames : public CaseInsensitiveMap<bool> {
public:
    CaseInsensitiveNames(std::initializer_list<const char16_t*> names) { insert(names, true); }
};

}  // namespace vq
