#pragma once

#include "platform/PlatformExport.h"

#include "sdk/SdkFwd.h"

#include <QPoint>

#include <functional>
#include <memory>
#include <optional>

namespace vq {

class AttributeSearchDialogs;
class FormRegistry;
class HelpViewer;
class MessageService;
class PointPropertyDialogs;

/// Makes the server library's application object (see SdkApplication::setFactory).
using SdkApplicationFactory = std::function<SdkApplicationPtr()>;

/// Everything the widgets ask of their surroundings, in one place. A host installs it once
/// (installWidgetServices() fills it with the library's own windows); a test replaces a part of
/// it for one scope with ScopedServices. Widgets only read it. An empty member means the built-in
/// answer given beside it. The message service, the log-on dialog and the server library are
/// used by layers below the widgets too: installing a context hands them down, and an empty one
/// leaves what those layers had before.
struct VQ_PLATFORM_EXPORT ServicesContext {
    /// Message boxes of every layer; null: the core's own (printed to stderr).
    std::shared_ptr<MessageService> messages;
    /// Help files at a topic; null: the desktop's handler for the file's type.
    std::shared_ptr<HelpViewer> helpViewer;
    /// The attribute editor's point and digital set searches; null: the buttons find nothing.
    std::shared_ptr<AttributeSearchDialogs> searchDialogs;
    /// The point search's Pt. Attr... dialog; null: the button shows nothing.
    std::shared_ptr<PointPropertyDialogs> pointPropertyDialogs;
    /// The mouse position in global screen pixels; empty: the cursor's.
    std::function<QPoint()> mousePosition;
    /// A vertical scroll bar's width in pixels; empty: the style's, when it has one.
    std::function<std::optional<int>()> scrollBarWidth;
    /// Logical DPI of every twips conversion; 0: the primary screen's (96 without a screen).
    double logicalDpi = 0;
    /// The registry the library's forms are loaded into; empty: one registry per thread.
    std::function<FormRegistry&()> formRegistry;
    /// The server library's log-on dialog; empty: the server library's own (the headless log-on).
    std::function<SdkConnectDialogPtr()> connectDialog;
    /// The server library itself; null: the one installed below (ArchiveApplication::install).
    std::shared_ptr<const SdkApplicationFactory> application;
};

/// The context in force: the one installed last, or one with every built-in answer.
VQ_PLATFORM_EXPORT const ServicesContext& services();

/// Puts `context` in force for the whole process and hands its message service, log-on dialog
/// and server library to the layers below, which cannot see the context. Call it from the user
/// interface thread, before or between uses of the widgets.
VQ_PLATFORM_EXPORT void installServices(ServicesContext context);

/// The context in force, changed by a function or in one member, until the end of a scope:
/// `ScopedServices services(&ServicesContext::logicalDpi, 96.0);`
class VQ_PLATFORM_EXPORT ScopedServices {
public:
    /// Installs the context in force as `change` leaves it.
    explicit ScopedServices(const std::function<void(ServicesContext&)>& change);
    /// Installs the context in force with `member` set to `value`.
    template <class Member, class Value>
    ScopedServices(Member ServicesContext::*member, Value&& value)
        : ScopedServices([&](ServicesContext& context) { context.*member = std::forward<Value>(value); }) {}
    /// Installs the context that was in force before.
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    ServicesContext m_previous;
};

}  // namespace vq
