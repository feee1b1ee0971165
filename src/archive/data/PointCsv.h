#pragma once

#include "archive/ArchiveExport.h"

#include <QString>
#include <QTextStream>

#include <vector>

namespace vq {

class ArchiveServer;

// Points as CSV, one row per point: a header of attribute names ("Tag", "PtClassName" and
// "PointType" first), then the attribute values as text. A cell left empty means "not given".
class VQ_ARCHIVE_EXPORT PointCsv {
public:
    struct Refusal {
        int line = 0;
        QString tag;
        QString reason;
    };
    struct ImportReport {
        int created = 0;
        int updated = 0;
        int unchanged = 0;
        std::vector<Refusal> refused;
    };

    // Writes every point in tag order; returns how many.
    static int exportPoints(ArchiveServer& server, QTextStream& out);
    // Creates or updates a point per row (by tag). A row that is refused is left unwritten and
    // reported with its reason; the other rows go on. Columns the archive does not know, or a
    // file without a "Tag" column, raise before anything is written. System attributes in the
    // file (creation date, point id, ...) are read over, as an exported file holds them.
    static ImportReport importPoints(ArchiveServer& server, QTextStream& in);
};

}  // namespace vq
