#pragma once

#include "dialogs/DialogsExport.h"

namespace vq {

struct ServicesContext;

/// Puts the library's windows into `context`: what installWidgetServices() installs.
VQ_DIALOGS_EXPORT void useWidgetServices(ServicesContext& context);

/// Gives the library its windows: message boxes for its messages, the log-on window and
/// connection manager for the server library's log-on dialog, and the library's dialogs for the
/// attribute editor's search buttons and the point search's Pt. Attr... button. Programs with a
/// display call it once after making their QApplication; programs without one (and tests that
/// need no window) keep the stderr messages and the headless log-on. The rest of the services
/// context in force stays as it is.
VQ_DIALOGS_EXPORT void installWidgetServices();

}  // namespace vq
