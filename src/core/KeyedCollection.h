#pragma once

#include "core/CoreExport.h"

#include "Error.h"
#include "Variant.h"

#include <QHash>
#include <QString>

#include <utility>
#include <vector>

namespace vq {

/// The form a key is indexed under: case-folded, so "Tag" and "TAG" are one key.
VQ_CORE_EXPORT QString foldKey(const QString& key);
/// Raises error 5 (errc::InvalidArgument) naming the absent key.
[[noreturn]] VQ_CORE_EXPORT void throwAbsentKey(const QString& key);
/// Raises error 9 (errc::SubscriptOutOfRange) for a position outside 1..count.
[[noreturn]] VQ_CORE_EXPORT void throwPositionOutOfRange(qsizetype position, qsizetype count);
/// Raises error 457 (errc::DuplicateKey) naming the key already present.
[[noreturn]] VQ_CORE_EXPORT void throwDuplicateKey(const QString& key);

/// An insertion-ordered collection whose keys compare without regard to case. Positions count
/// from 1. An absent key raises error 5, a position out of range error 9, a duplicate key 457.
template <typename T>
class KeyedCollection {
public:
    using Item = std::pair<QString, T>;  ///< original key, value

    /// The number of items.
    int count() const { return int(m_items.size()); }
    /// True when there are no items.
    bool isEmpty() const { return m_items.empty(); }

    /// Appends `value` under `key`; a key already present raises error 457 and adds nothing.
    void add(const QString& key, T value) {
        const QString folded = foldKey(key);
        if (m_index.contains(folded)) throwDuplicateKey(key);
        m_index.insert(folded, int(m_items.size()));
        m_items.emplace_back(key, std::move(value));
    }

    /// True when `key` is present, without regard to case.
    bool contains(const QString& key) const { return m_index.contains(foldKey(key)); }
    /// Zero-based index of `key`, or -1.
    int indexOf(const QString& key) const { return m_index.value(foldKey(key), -1); }

    /// @{
    /// The value under `key`; an absent key raises error 5.
    T& item(const QString& key) { return m_items[size_t(checkedIndex(key))].second; }
    const T& item(const QString& key) const { return m_items[size_t(checkedIndex(key))].second; }
    /// @}

    /// @{
    /// The value at `position`, counted from 1; a position out of range raises error 9.
    T& item(int position) { return m_items[size_t(checkedPosition(position))].second; }
    const T& item(int position) const { return m_items[size_t(checkedPosition(position))].second; }
    /// @}

    /// @{
    /// A number selects by position, anything else by its text as key.
    T& item(const Variant& index) {
        return index.isNumberType() ? item(index.toInt32()) : item(index.toString());
    }
    const T& item(const Variant& index) const {
        return index.isNumberType() ? item(index.toInt32()) : item(index.toString());
    }
    /// @}

    /// The key at `position` as it was added, counted from 1; out of range raises error 9.
    const QString& keyAt(int position) const { return m_items[size_t(checkedPosition(position))].first; }

    /// Removes the item under `key`; an absent key raises error 5.
    void remove(const QString& key) { removeAt(checkedIndex(key)); }
    /// Removes the item at `position`, counted from 1; out of range raises error 9.
    void remove(int position) { removeAt(checkedPosition(position)); }
    /// Removes every item.
    void clear() {
        m_items.clear();
        m_index.clear();
    }

    /// @{
    /// Iterates the items in insertion order as (original key, value) pairs.
    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }
    /// @}

private:
    int checkedIndex(const QString& key) const {
        const auto it = m_index.constFind(foldKey(key));
        if (it == m_index.constEnd()) throwAbsentKey(key);
        return it.value();
    }
    int checkedPosition(int position) const {
        if (position < 1 || position > count()) throwPositionOutOfRange(position, count());
        return position - 1;
    }
    void removeAt(int index) {
        m_index.remove(foldKey(m_items[size_t(index)].first));
        m_items.erase(m_items.begin() + index);
        for (auto it = m_index.begin(); it != m_index.end(); ++it)
            if (it.value() > index) --it.value();
    }

    std::vector<Item> m_items;
    QHash<QString, int> m_index;
};

}  // namespace vq
