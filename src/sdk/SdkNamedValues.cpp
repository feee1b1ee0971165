#include "SdkNamedValues.h"

#include "core/KeyedCollection.h"

namespace vq {

namespace {
constexpr int kLinearSearchLimit = 12;
}

void SdkNamedValues::Add(const QString& name, const Variant& value) {
    if (indexOf(name) >= 0) throwDuplicateKey(name);
    m_items.emplace_back(name, value);
    if (m_indexValid) m_index.insert(foldKey(name), int(m_items.size()) - 1);
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
    m_indexValid = false;
    m_index.clear();
}

void SdkNamedValues::Clear() {
    m_items.clear();
    m_index.clear();
    m_indexValid = false;
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
    if (m_items.size() <= size_t(kLinearSearchLimit)) {
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i].Name().compare(name, Qt::CaseInsensitive) == 0) return int(i);
        return -1;
    }
    if (!m_indexValid) rebuildIndex();
    return m_index.value(foldKey(name), -1);
}

void SdkNamedValues::rebuildIndex() const {
    m_index.clear();
    m_index.reserve(qsizetype(m_items.size()));
    for (size_t i = 0; i < m_items.size(); ++i) m_index.insert(foldKey(m_items[i].Name()), int(i));
    m_indexValid = true;
}

}  // namespace vq
