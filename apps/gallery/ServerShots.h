#pragma once

#include <QString>

namespace vq {

// Renders the server pictures of the README into `folder`: the pick list with two servers, its
// selection dialog and pop-up menu, the digital set search after an OR search with a set's
// states shown, and the connection manager. Returns the exit code: 0, or 1 after naming what failed on stderr.
int saveServerShots(const QString& folder);

}  // namespace vq
