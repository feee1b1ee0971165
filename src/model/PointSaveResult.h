#pragma once

#include "model/ModelExport.h"

#include "core/Error.h"
#include "sdk/SdkNamedValues.h"

namespace vq {

/// What saving a point's edits came to, told rather than shown: a host presents it in its own way
/// (PropSheetEntries::SaveEdits shows it as the library's message box).
struct VQ_MODEL_EXPORT PointSaveResult {
    /// The error that ended the save; number 0 once saved.
    Error error{0, QString(), QString()};
    /// The attributes the server refused, each with the reason it gave.
    SdkNamedValues refused;

    /// Whether every edit was stored.
    bool saved() const { return error.number() == 0; }
    /// "Errors occurred while saving the following attributes:" and one line per refused
    /// attribute; empty when none was refused.
    QString refusedLines() const;
};

}  // namespace vq
