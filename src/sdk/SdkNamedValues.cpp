#include "SdkNamedValues.h"

#include "core/FoldedName.h"
#include "core/KeyedCollection.h"

namespace vq {

namespace {

constexpr size_t kLinearSearchLimit = 12;

size_t foldedHash(QStringView name) {
    return FoldedNameHash{}(name);
}

bool sameName(QStringView a, QStringView b) {
    return FoldedNameEqual{}(a, b);
}

}  // namespace

void SdkNamedValues::Add(const QString& name, const Variant& value) {
    if (indexOf(name) >= 0) throwDuplicateKey(name);
    m_items.emplace_back(name, value);
    if (m_items.size() > kLinearSearchLimit) {
        if (m_slots.size() < m_items.size() * 2)
            rebuildIndex();
        else
            indexItem(int(m_items.size()) - 1);
    }
}

const SdkNamedValue& SdkNamedValues::Item(const QString& name) const {
    const int index = indexOf(name);
    if (index < 0) {
        throw Error(errc::NamedValueAbsent, QStringLiteral("VQSDK.NamedValues"),
                    QStringLiteral("The name \"%1\" is not in the collection").arg(name));
    }
    return m_items[size_t(index)];
}

const SdkNamedValue& SdkNamedValues::Item(int position) const {
    if (position < 1 || position > Count()) throwPositionOutOfRange(position, Count());
    return m_items[size_t(position - 1)];
}

const SdkNamedValue& SdkNamedValues::Item(const Variant& index) const {
    return index.isNumberType() ? Item(index.toInt32()) : Item(index.toString());
}

void SdkNamedValues::Set(const QString& name, const Variant& value) {
    const int index = indexOf(name);
    if (index >= 0)
        m_items[size_t(index)].SetValue(value);
    else
        Add(name, value);
}

void SdkNamedValues::Remove(const QString& name) {
    const int index = indexOf(name);
    if (index < 0) Item(name);  // raises the absent-name error
    m_items.erase(m_items.begin() + index);
    m_slots.clear();
    if (m_items.size() > kLinearSearchLimit) rebuildIndex();
}

void SdkNamedValues::Clear() {
    m_items.clear();
    m_slots.clear();
}

void SdkNamedValues::Merge(const SdkNamedValues& other, bool replace) {
    if (&other == this) return;
    for (const SdkNamedValue& pair : other) {
        const int index = indexOf(pair.Name());
        if (index < 0)
            Add(pair.Name(), pair.Value());
        else if (replace)
            m_items[size_t(index)].SetValue(pair.Value());
    }
}

QString SdkNamedValues::toText() const {
    QStringList parts;
    for (const SdkNamedValue& pair : m_items) parts.append(pair.Name() + u'=' + pair.Value().toString());
    return parts.join(u' ');
}

int SdkNamedValues::indexOf(const QString& name) const {
    if (m_slots.empty()) {
        for (size_t i = 0; i < m_items.size(); ++i)
            if (sameName(m_items[i].Name(), name)) return int(i);
        return -1;
    }
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = foldedHash(name) & mask; m_slots[slot] != 0; slot = (slot + 1) & mask) {
        const int index = m_slots[slot] - 1;
        if (sameName(m_items[size_t(index)].Name(), name)) return index;
    }
    return -1;
}

void SdkNamedValues::indexItem(int position) const {
    const size_t mask = m_slots.size() - 1;
    size_t slot = foldedHash(m_items[size_t(position)].Name()) & mask;
    while (m_slots[slot] != 0) slot = (slot + 1) & mask;
    m_slots[slot] = position + 1;
}

void SdkNamedValues::rebuildIndex() const {
    size_t size = 32;
    while (size < m_items.size() * 4) size *= 2;
    m_slots.assign(size, 0);
    for (size_t i = 0; i < m_items.size(); ++i) indexItem(int(i));
}

}  // namespace vq
