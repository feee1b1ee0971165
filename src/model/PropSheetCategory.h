#pragma once

#include "model/ModelExport.h"

#include <QString>

namespace vq {

/// A category of the property sheet; a collapsed one shows its entries hidden.
class VQ_MODEL_EXPORT PropSheetCategory {
public:
    /// A category named `name`, collapsed or not.
    explicit PropSheetCategory(QString name, bool collapsed = false)
        : m_name(std::move(name)), m_collapsed(collapsed) {}

    /// The name the property sheet shows as the category's heading.
    const QString& Name() const { return m_name; }
    /// True while the category's entries are hidden.
    bool Collapsed() const { return m_collapsed; }
    /// Collapses or expands the category.
    void SetCollapsed(bool collapsed) { m_collapsed = collapsed; }

private:
    QString m_name;
    bool m_collapsed;
};

}  // namespace vq
