#pragma once

#include "table/TableExport.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <utility>
#include <vector>

namespace vq {

/// A CSV file of points read for review in the point table, with the rules of the archive tool's
/// import: a header of attribute names with a "Tag" column, a cell left empty is "not given",
/// system attributes are read over, a column named twice or unknown to every class refuses the
/// file before any row is taken, a tag repeated in another letter case refuses that row.
/// An optional "Server" column (not an attribute) names the server of the row's point.
struct VQ_TABLE_EXPORT PointTableCsvRow {
    int line = 0;
    QString tag;
    QString server;     ///< empty when the file has no "Server" column
    QString className;  ///< the "PtClassName" cell, for a point to create; empty when not given
    /// The given cells other than Tag, Server, PtClassName and system attributes, in file order:
    /// attribute name as in the header, text as in the file.
    std::vector<std::pair<QString, QString>> cells;
};

struct VQ_TABLE_EXPORT PointTableCsvRefusal {
    int line = 0;
    QString tag;
    QString reason;
};

struct VQ_TABLE_EXPORT PointTableCsvFile {
    QStringList columns;  ///< the attribute columns of the header, in file order, Tag and Server left out
    std::vector<PointTableCsvRow> rows;
    std::vector<PointTableCsvRefusal> refused;
};

class VQ_TABLE_EXPORT PointTableCsv {
public:
    /// Whether some point class of the target servers has an attribute of that name.
    using KnownColumn = std::function<bool(const QString& column)>;

    /// Reads a whole file; a file the rules refuse as a whole raises an Error whose description
    /// says why (no header, no "Tag" column, a column unknown or named twice). The system
    /// attributes read over are those the property sheet's model never lets a user edit.
    static PointTableCsvFile read(QTextStream& in, const KnownColumn& known);
    /// As above, reading over the columns `system` names instead: a host that knows its
    /// servers' own list (an archive's computed columns among them) passes it here.
    static PointTableCsvFile read(QTextStream& in, const KnownColumn& known, const KnownColumn& system);
};

}  // namespace vq
