#pragma once

#include "dialogs/DialogsExport.h"

namespace vq {

struct ServicesContext;

/// Makes the library's dialogs answer the attribute editor's search buttons (the point search
/// and the digital set search) and the point search's Pt. Attr... button in `context`; each use
/// opens them through a new TagwrightDlgs. A test puts them in for one scope with
/// `ScopedServices dialogs(useLibraryDialogs);`.
VQ_DIALOGS_EXPORT void useLibraryDialogs(ServicesContext& context);

/// Puts the library's dialogs into the services context in force, replacing dialogs put there
/// before. installWidgetServices() does it too; a host with only some of the library's windows
/// calls this alone.
VQ_DIALOGS_EXPORT void installDialogServices();

}  // namespace vq
