#pragma once

#include "archive/ArchiveExport.h"

#include "core/FoldedName.h"
#include "core/Variant.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace vq {

/// The stored type of an attribute: its column type and the type of its values.
enum class AttributeType {
    String,  ///< text
    Int16,   ///< 16-bit integer
    Int32,   ///< 32-bit integer
    Single,  ///< single-precision floating value
    Double,  ///< double-precision floating value
    Date     ///< date and time
};

/// One attribute of an attribute set, with its default.
struct VQ_ARCHIVE_EXPORT AttributeDef {
    /// The attribute's name in the catalogue's spelling.
    QString name;
    /// The stored type.
    AttributeType type;
    /// The value a new point of the class starts with.
    Variant defaultValue;
};

/// A named, ordered set of attributes.
struct VQ_ARCHIVE_EXPORT AttributeSetDef {
    /// The set's name ("base", "classic", ...).
    QString name;
    /// The attributes in the set's order.
    std::vector<AttributeDef> attributes;
};

/// A set as the archive hands it out: shared rather than copied for every caller, and indexed,
/// as a model asks every set of a class about every attribute of a point it loads.
struct VQ_ARCHIVE_EXPORT IndexedAttributeSet {
    /// The set itself.
    AttributeSetDef set;
    std::unordered_map<QString, int, FoldedNameHash, FoldedNameEqual> index;  ///< name -> position
};

/// A point class as the archive keeps it: ordered attribute sets (one set named after the class
/// on "VQ2" archives), and the union of their attributes in order, the first set winning.
struct VQ_ARCHIVE_EXPORT ArchiveClassInfo {
    /// The class's key in the archive.
    qint64 id = 0;
    /// The class name.
    QString name;
    /// The class's revision, stored with it.
    int revision = 1;
    /// The attribute sets in order.
    std::vector<AttributeSetDef> sets;
    /// The union of the sets' attributes, as buildUnion() makes it.
    std::vector<AttributeDef> attributes;
    QHash<QString, int> index;  ///< folded name -> position in attributes
    std::vector<std::shared_ptr<const IndexedAttributeSet>> indexedSets;  ///< the sets, made with the union
    /// Positions in attributes of those a user sets: neither the audit fields the archive stamps
    /// nor computed ones. Made with the union, as every save asks for them.
    std::vector<int> userSetAttributes;

    /// The attribute of that name, without regard to case; null when the class has none.
    const AttributeDef* find(const QString& name) const;
    /// Makes attributes, index and indexedSets from sets; call it after changing sets.
    void buildUnion();
};

/// The standard point classes and the rules about attributes that every archive shares.
class VQ_ARCHIVE_EXPORT ArchiveCatalog {
public:
    /// The classes a new archive of that kind ("VQ3" or "VQ2") starts with.
    static std::vector<ArchiveClassInfo> standardClasses(const QString& kind);

    /// Set by the archive itself; a write of one is refused.
    static bool isSystemAttribute(const QString& name);
    /// Not stored in a column of their own: derived from the point id, its class or CompDev/ExcDev.
    static bool isComputedAttribute(const QString& name);
    /// The attribute a per-cent twin is expressed in ("CompDevPercent" -> "CompDev"), else empty.
    static QString percentBase(const QString& name);

    /// The name the archive stores a type under ("String", "Int16", ...).
    static QString typeText(AttributeType type);
    /// The type a stored name stands for; the reverse of typeText().
    static AttributeType typeFromText(const QString& text);
    /// The SQLite column type that holds values of that type.
    static const char* sqlType(AttributeType type);

    /// One stored attribute of any of the classes, one per column of the point table, in
    /// first-seen order; names that differ only in case share one column.
    static QStringList storedColumns(const std::vector<ArchiveClassInfo>& classes);
    /// Of the point table's columns (in table order), those that hold an attribute of one of the
    /// classes: the keys and whatever a search keeps beside them are left out.
    static QStringList attributeColumns(const QStringList& tableColumns,
                                        const std::vector<ArchiveClassInfo>& classes);
    /// An attribute's default as the archive stores it in its class table.
    static QString defaultText(const AttributeDef& def);
    /// A value as text in the form the archive stores an attribute of that type: numbers in full
    /// precision, dates as the archive's date text. Copies, digests and bulk loads share it.
    static QByteArray storedText(const Variant& value, AttributeType type);
    /// What a query reading one point of the class selects: "Tag" and "PointType", then each
    /// stored attribute as `column` spells it. `positions` gets each attribute's place in that
    /// list, -1 for an attribute computed rather than stored.
    static QStringList pointReadColumns(const ArchiveClassInfo& info,
                                        const std::function<QString(const QString&)>& column,
                                        std::vector<int>& positions);
    /// A stored default read back; the class facts (name, id, revision) stand in for their own
    /// attributes as a server reports them.
    static Variant storedDefault(const ArchiveClassInfo& info, const QString& name, AttributeType type,
                                 const QString& text);

    /// The placeholder creation and change date of a point never written: 12/31/1899.
    static QDateTime placeholderDate();
};

}  // namespace vq
