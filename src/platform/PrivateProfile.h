#pragma once

#include "platform/PlatformExport.h"

#include <QString>

namespace vq {

// Reading private-profile (INI) files the way the client software's own tools read them.
//
// A file name without a directory is looked up in the default profile directory:
// $VQ_INI_DIR when that variable is set and not empty, otherwise "VQTagwright" under the user's
// configuration folder ($XDG_CONFIG_HOME or ~/.config). The file name is matched without regard
// to case when no file of exactly that name exists, as on the system the files come from.
VQ_PLATFORM_EXPORT QString defaultProfileDirectory();
VQ_PLATFORM_EXPORT QString profileFilePath(const QString& fileName);

// Copies the value of `key` in `section` (both compared without regard to case; the first
// occurrence wins) into `returned` and gives the number of characters copied:
// - the value is trimmed of blanks, and one pair of enclosing quotes (" or ') is removed;
// - an absent file, section or key gives `defaultValue` less its trailing blanks;
// - at most bufferLength - 1 characters are copied (the last buffer place holds the terminator),
//   so a longer value is cut; a buffer length below 1 copies nothing and gives 0.
// Lines starting with ';' are comments. The file is read as UTF-8, or as Latin-1 when it is not
// valid UTF-8.
VQ_PLATFORM_EXPORT int GetPrivateProfileString(const QString& section, const QString& key,
                                               const QString& defaultValue, QString& returned,
                                               int bufferLength, const QString& fileName);

}  // namespace vq
