#pragma once

#include <QString>

namespace vq {

// Renders the three dialogs of the dialog services into `folder` as a host opens them: the point
// search after a search of the sample servers, the digital set search after an OR search, and
// the point properties of three found points. False after naming what failed on stderr.
bool saveDialogShots(const QString& folder);

}  // namespace vq
