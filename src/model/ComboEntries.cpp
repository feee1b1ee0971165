#include "ComboEntries.h"

namespace vq {

namespace {
const QString notFound = QStringLiteral("NotFound");

bool isWhole(const Variant& value) {
    return value.type() == Variant::Type::Int16 || value.type() == Variant::Type::Int32;
}
}  // namespace

const ComboEntries::Pairs& ComboEntries::pairs() const {
    static const Pairs none;
    return m_entries ? *m_entries : none;
}

QString ComboEntries::GetNameByIndex(int position) const {
    return reporting(QStringLiteral("ComboEntries:Item"), ReportLayout::Short, QString(),
                     [&] { return pairs().item(position).Name(); });
}

int ComboEntries::GetIndexByName(const QString& name) const {
    int index = 0;
    for (const auto& [key, entry] : pairs()) {
        if (entry.Name().compare(name, Qt::CaseInsensitive) == 0) return index;
        ++index;
    }
    return 0;
}

int ComboEntries::GetIndexByValue(const Variant& value) const {
    return GetIndexByName(GetNameByValue(value));
}

QString ComboEntries::GetNameByValue(const Variant& value) const {
    // Whole numbers read the same as text exactly when they are equal; spelling each one out
    // would cost a string for every pair of every list an entry shows.
    const bool whole = isWhole(value);
    QString text = whole ? QString() : value.toString();
    for (const auto& [key, entry] : pairs()) {
        if (whole && isWhole(entry.Value())) {
            if (value.toInt32() == entry.Value().toInt32()) return entry.Name();
            continue;
        }
        if (text.isNull()) text = value.toString();
        if (entry.Value().toString().compare(text, Qt::CaseInsensitive) == 0) return entry.Name();
    }
    return notFound;
}

Variant ComboEntries::GetValueByName(const QString& name) const {
    return reporting(QStringLiteral("ComboEntries:GetNameByValue"), ReportLayout::Short, Variant(),
                     [&] { return pairs().item(name).Value(); });
}

Variant ComboEntries::GetValueByIndex(int position) const {
    return reporting(QStringLiteral("ComboEntries:GetValueByIndex"), ReportLayout::Short, Variant(),
                     [&] { return pairs().item(position).Value(); });
}

void ComboEntries::Add(const QString& name, const Variant& value) {
    reporting(QStringLiteral("ComboEntries:Add"), ReportLayout::Short, [&] {
        if (!m_entries)
            m_entries = std::make_shared<Pairs>();
        else if (m_entries.use_count() > 1)
            m_entries = std::make_shared<Pairs>(*m_entries);
        m_entries->add(name, ComboEntry(name, value));
    });
}

}  // namespace vq
