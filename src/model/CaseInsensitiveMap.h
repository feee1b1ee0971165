#pragma once

#include "model/ModelExport.h"

#include "core/FoldedName.h"

#include <QString>

#include <initializer_list>
#include <unordered_map>

namespace vq {

/// True when `name` is one of `names`, without regard to case; for short fixed lists.
inline bool isAnyOf(QStringView name, std::initializer_list<const char16_t*> names) {
    for (const char16_t* candidate : names)
        if (QStringView(candidate).compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

/// A lookup table keyed by attribute name without regard to case. The first value given for a
/// name wins, as in the catalogue tables it is built from.
template <typename T>
class CaseInsensitiveMap {
public:
    /// Adds `value` under `name` unless the name is present: the first value wins.
    void insert(const QString& name, const T& value) { m_map.try_emplace(name, value); }
    /// Adds `value` under each of `names` that is not present yet.
    void insert(std::initializer_list<const char16_t*> names, const T& value) {
        for (const char16_t* name : names) insert(QString::fromUtf16(name), value);
    }
    /// Sets the value under `name`, replacing one already there.
    void assign(const QString& name, const T& value) { m_map.insert_or_assign(name, value); }
    /// The value held for `name`, made from T() when there is none yet.
    T* claim(const QString& name) { return &m_map.try_emplace(name).first->second; }
    /// Removes `name` and its value; an absent name is no error.
    void erase(QStringView name) {
        const auto it = m_map.find(name);
        if (it != m_map.end()) m_map.erase(it);
    }
    /// The value held for `name`; null when there is none.
    const T* find(QStringView name) const {
        const auto it = m_map.find(name);
        return it == m_map.end() ? nullptr : &it->second;
    }
    /// True when a value is held for `name`.
    bool contains(QStringView name) const { return m_map.find(name) != m_map.end(); }
    /// Removes every name.
    void clear() { m_map.clear(); }
    /// Makes room for `count` names, for tables whose size is known up front.
    void reserve(size_t count) { m_map.reserve(count); }
    /// True when no name is held.
    bool empty() const { return m_map.empty(); }

private:
    std::unordered_map<QString, T, FoldedNameHash, FoldedNameEqual> m_map;
};

/// A set of attribute names without regard to case.
class VQ_MODEL_EXPORT CaseInsensitiveNames : public CaseInsensitiveMap<bool> {
public:
    /// The set of `names`.
    CaseInsensitiveNames(std::initializer_list<const char16_t*> names) { insert(names, true); }
};

}  // namespace vq
