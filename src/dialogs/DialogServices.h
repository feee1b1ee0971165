#pragma once

namespace vq {

/// Makes the library's dialogs answer the attribute editor's search buttons (the point search
/// and the digital set search) and the point search's Pt. Attr... button; each use opens them
/// through a new TagwrightDlgs. Hosts call it once, beside installWidgetServices(); other dialogs
/// installed before are replaced.
void installDialogServices();

/// Installs the library's dialogs only where no other dialogs are installed yet. The property
/// sheet and TagwrightDlgs call it, so their search buttons work without any set-up.
void ensureDialogServices();

}  // namespace vq
