#pragma once

#include "Error.h"
#include "Variant.h"

#include <QHash>
#include <QString>

#include <utility>
#include <vector>

namespace vq {

QString foldKey(const QString& key);
[[noreturn]] void throwAbsentKey(const QString& key);
[[noreturn]] void throwPositionOutOfRange(qsizetype position, qsizetype count);
[[noreturn]] void throwDuplicateKey(const QString& key);

// An insertion-ordered collection whose keys compare without regard to case. Positions count
// from 1. An absent key raises error 5, a position out of range error 9, a duplicate key 457.
template <typename T>
class KeyedCollection {
public:
    using Item = std::pair<QString, T>;  // original key, value

    int count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }

    void add(const QString& key, T value) {
        const QString folded = foldKey(key);
        if (m_index.contains(folded)) throwDuplicateKey(key);
        m_index.insert(folded, int(m_items.size()));
        m_items.emplace_back(key, std::move(value));
    }

    bool contains(const QString& key) const { return m_index.contains(foldKey(key)); }
    // Zero-based index of `key`, or -1.
    int indexOf(const QString& key) const { return m_index.value(foldKey(key), -1); }

    T& item(const QString& key) { return m_items[size_t(checkedIndex(key))].second; }
    const T& item(const QString& key) const { return m_items[size_t(checkedIndex(key))].second; }
    T& item(int position) { return m_items[size_t(checkedPosition(position))].second; }
    const T& item(int position) const { return m_items[size_t(checkedPosition(position))].second; }

    // A number selects by position, anything else by its text as key.
    T& item(const Variant& index) {
        return index.isNumberType() ? item(index.toInt32()) : item(index.toString());
    }
    const T& item(const Variant& index) const {
        return index.isNumberType() ? item(index.toInt32()) : item(index.toString());
    }

    const QString& keyAt(int position) const { return m_items[size_t(checkedPosition(position))].first; }

    void remove(const QString& key) { removeAt(checkedIndex(key)); }
    void remove(int position) { removeAt(checkedPosition(position)); }
    void clear() {
        m_items.clear();
        m_index.clear();
    }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

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
