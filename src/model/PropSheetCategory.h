#pragma once

#include <QString>

namespace vq {

// A category of the property sheet; a collapsed one shows its entries hidden.
class PropSheetCategory {
public:
    explicit PropSheetCategory(QString name, bool collapsed = false)
        : m_name(std::move(name)), m_collapsed(collapsed) {}

    const QString& Name() const { return m_name; }
    bool Collapsed() const { return m_collapsed; }
    void SetCollapsed(bool collapsed) { m_collapsed = collapsed; }

private:
    QString m_name;
    bool m_collapsed;
};

}  // namespace vq
