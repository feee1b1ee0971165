#pragma once

#include "core/FoldedName.h"
#include "core/Variant.h"

#include <QHash>
#include <QString>

#include <memory>
#include <unordered_map>
#include <vector>

namespace vq {

enum class AttributeType { String, Int16, Int32, Single, Double, Date };

struct AttributeDef {
    QString name;
    AttributeType type;
    Variant defaultValue;
};

struct AttributeSetDef {
    QString name;
    std::vector<AttributeDef> attributes;
};

// A set as the archive hands it out: shared rather than copied for every caller, and indexed,
// as a model asks every set of a class about every attribute of a point it loads.
struct IndexedAttributeSet {
    AttributeSetDef set;
    std::unordered_map<QString, int, FoldedNameHash, FoldedNameEqual> index;  // name -> position
};

// A point class as the archive keeps it: ordered attribute sets (one set named after the class
// on "VQ2" archives), and the union of their attributes in order, the first set winning.
struct ArchiveClassInfo {
    qint64 id = 0;
    QString name;
    int revision = 1;
    std::vector<AttributeSetDef> sets;
    std::vector<AttributeDef> attributes;
    QHash<QString, int> index;  // folded name -> position in attributes
    std::vector<std::shared_ptr<const IndexedAttributeSet>> indexedSets;  // the sets, made with the union

    const AttributeDef* find(const QString& name) const;
    void buildUnion();
};

// The standard point classes and the rules about attributes that every archive shares.
class ArchiveCatalog {
public:
    // The classes a new archive of that kind ("VQ3" or "VQ2") starts with.
    static std::vector<ArchiveClassInfo> standardClasses(const QString& kind);

    // Set by the archive itself; a write of one is refused.
    static bool isSystemAttribute(const QString& name);
    // Not stored in a column of their own: derived from the point id, its class or CompDev/ExcDev.
    static bool isComputedAttribute(const QString& name);
    // The attribute a per-cent twin is expressed in ("CompDevPercent" -> "CompDev"), else empty.
    static QString percentBase(const QString& name);

    static QString typeText(AttributeType type);
    static AttributeType typeFromText(const QString& text);
    static const char* sqlType(AttributeType type);

    // The placeholder creation and change date of a point never written: 12/31/1899.
    static QDateTime placeholderDate();
};

}  // namespace vq
