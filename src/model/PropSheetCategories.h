#pragma once

#include "model/ModelExport.h"

#include "CaseInsensitiveMap.h"
#include "PropSheetCategory.h"
#include "core/KeyedCollection.h"

#include <memory>

namespace vq {

/// Categories are shared between the collection and the views that draw them.
using PropSheetCategoryPtr = std::shared_ptr<PropSheetCategory>;

/// The categories under which the property sheet groups entries, in the order they were first
/// met, and the rule that puts each attribute into one. A failing operation shows its error and
/// returns its default.
class VQ_MODEL_EXPORT PropSheetCategories {
public:
    /// By position (from 1) or by name; null when there is none.
    PropSheetCategoryPtr Item(const Variant& index) const;
    /// The number of categories.
    int Count() const { return m_categories.count(); }
    /// True when a category has that position (from 1) or name; never reports a missing one.
    bool Exists(const Variant& index) const;
    /// A category whose name is already present is ignored.
    void Add(const PropSheetCategoryPtr& category);
    /// The category of an attribute of the set `setName`; also adds it. `pointSource` is Missing
    /// when the point has none.
    QString Categorize(const QString& setName, const QString& attributeName, const QString& serverKind,
                       const Variant& pointSource = Variant::missing());
    /// The same, with the attribute's rule category already looked up (null for none).
    QString Categorize(const QString* ruleCategory, const QString& setName, const QString& attributeName,
                       const QString& serverKind, const Variant& pointSource);
    /// Adds the category `name` unless it is present, as Categorize() does for the category it gives.
    void ensureCategory(const QString& name);
    /// The category Categorize() gives when no point-source rule applies.
    static QString defaultCategory(const QString* ruleCategory, const QString& setName);
    /// True when Categorize() may put an attribute elsewhere than defaultCategory() for that point source.
    static bool sourceRulesApply(const QString& serverKind, const Variant& pointSource);
    /// Removes every category.
    void Clear();
    /// Removes the category at that position (from 1) or with that name.
    void RemoveEntry(const Variant& index);

    /// @{
    /// The attributes a rule puts in a category, and the category a rule gives an attribute (null
    /// for none), so that the attribute catalogue can keep it with its other facts.
    static QStringList ruleAttributes();
    static const QString* ruleCategoryOf(const QString& attributeName);
    /// @}

private:
    QString setCategory(const QString& setName);

    KeyedCollection<PropSheetCategoryPtr> m_categories;
    CaseInsensitiveMap<bool> m_names;  // the same names, for the check made for every attribute
    QString m_lastSetName;
    QString m_lastSetCategory;
};

}  // namespace vq
