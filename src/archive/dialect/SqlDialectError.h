#pragma once

#include "archive/ArchiveExport.h"

#include "core/Error.h"

namespace vq {

// Errors of a where clause that cannot be run as written: what is wrong, where, and what to do.
class VQ_ARCHIVE_EXPORT SqlDialectError {
public:
    // "Syntax error at position 12: ..."
    static Error at(int position, const QString& what);
    // A clause that is well formed but asks for something the archive does not offer.
    static Error invalid(const QString& what);
};

}  // namespace vq
