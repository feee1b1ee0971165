#include "ComboEntries.h"

namespace vq {

namespace {
const QString notFound = QStringLiteral("NotFound");
}

QString ComboEntries::GetNameByIndex(int position) const {
    return reporting(QStringLiteral("ComboEntries:Item"), ReportLayout::Short, QString(),
                     [&] { return m_entries.item(position).Name(); });
}

int ComboEntries::GetIndexByName(const QString& name) const {
    int index = 0;
    for (const auto& [key, entry] : m_entries) {
        if (entry.Name().compare(name, Qt::CaseInsensitive) == 0) return index;
        ++index;
    }
    return 0;
}

int ComboEntries::GetIndexByValue(const Variant& value) const {
    return GetIndexByName(GetNameByValue(value));
}

QString ComboEntries::GetNameByValue(const Variant& value) const {
    const QString text = value.toString();
    for (const auto& [key, entry] : m_entries)
        if (entry.Value().toString().compare(text, Qt::CaseInsensitive) == 0) return entry.Name();
    return notFound;
}

Variant ComboEntries::GetValueByName(const QString& name) const {
    return reporting(QStringLiteral("ComboEntries:GetNameByValue"), ReportLayout::Short, Variant(),
                     [&] { return m_entries.item(name).Value(); });
}

Variant ComboEntries::GetValueByIndex(int position) const {
    return reporting(QStringLiteral("ComboEntries:GetValueByIndex"), ReportLayout::Short, Variant(),
                     [&] { return m_entries.item(position).Value(); });
}

void ComboEntries::Add(const QString& name, const Variant& value) {
    reporting(QStringLiteral("ComboEntries:Add"), ReportLayout::Short,
              [&] { m_entries.add(name, ComboEntry(name, value)); });
}

}  // namespace vq
