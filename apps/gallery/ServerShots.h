#pragma once

#include <QString>

class QWidget;

namespace vq {

// Renders the server pictures of the README into `folder`: the pick list with two servers, its
// selection dialog and pop-up menu, the digital set search after an OR search with a set's
// states shown, and the connection manager. Returns the exit code: 0, or 1 after naming what failed on
// stderr.
int saveServerShots(const QString& folder);

// Saves `widget` as it is drawn to `folder`/`name`; false after naming the failure on stderr.
bool saveWidgetPicture(QWidget* widget, const QString& folder, const char* name);

}  // namespace vq
