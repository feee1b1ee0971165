#pragma once

#include "platform/PlatformExport.h"

#include <QString>

namespace vq {

// The user guide: the HTML site `make docs` builds (guide pages and API reference together).

/// The folder that holds the guide's entry page (index.html), first found: $VQ_GUIDE_DIR when
/// set (then it alone, so a host or a test can name its own copy or none); the guide installed
/// beside the program (<program>/../share/doc/vqtagwright-tools/html); the guide installed under
/// the library's prefix; for a program run from the build tree, the build's (build/docs/html).
/// "" when there is no guide.
VQ_PLATFORM_EXPORT QString userGuideFolder();

/// The full path of the guide page `page` (such as "searching.html"); the guide's entry page when
/// the guide lacks that page; "" when there is no guide.
VQ_PLATFORM_EXPORT QString userGuidePage(const QString& page);

/// Where the guide is installed, relative to the install prefix.
VQ_PLATFORM_EXPORT QString userGuideInstallDir();

}  // namespace vq
