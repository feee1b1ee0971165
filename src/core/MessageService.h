#pragma once

#include "core/CoreExport.h"

#include <QString>

#include <cstdint>

#include <memory>

namespace vq {

/// The buttons a message box offers.
enum class MessageButtons {
    Ok,       ///< OK alone
    OkCancel  ///< OK and Cancel
};
/// The button a message box was closed with.
enum class MessageResult {
    Ok,     ///< OK, or the only answer of an OK-only box
    Cancel  ///< Cancel, or the box was closed
};

/// An error as a message box reports it: the specified text of the box, and the parts it was made
/// of, so that a host's presentation may order them in its own way.
struct VQ_CORE_EXPORT ErrorMessage {
    QString text;         ///< the whole text as the library's own box shows it (CR LF between lines)
    QString sourceChain;  ///< the reporting context, then the error's source, one per line
    QString description;  ///< what went wrong, as the layer that raised it said it
    int32_t number = 0;   ///< the error number
};

/// The one way any layer shows a message box. The widget layer installs a real dialog; headless
/// programs print to stderr; tests install a recorder with scripted answers.
class VQ_CORE_EXPORT MessageService {
public:
    virtual ~MessageService() = default;
    /// `text` uses CR LF between lines; an empty title means the program's default title.
    virtual MessageResult show(const QString& text, MessageButtons buttons, const QString& title) = 0;
    /// Reports an error in an OK-only box; by default the box shows `error.text` alone.
    virtual void showError(const ErrorMessage& error) { show(error.text, MessageButtons::Ok, QString()); }
};

/// The installed service; a stderr printer that answers OK until another is installed.
VQ_CORE_EXPORT MessageService& messageService();
/// Installs `service` (nullptr restores the stderr printer) and returns the previous one.
VQ_CORE_EXPORT std::shared_ptr<MessageService> setMessageService(std::shared_ptr<MessageService> service);

/// Prints each message to stderr and answers OK.
class VQ_CORE_EXPORT StderrMessageService : public MessageService {
public:
    MessageResult show(const QString& text, MessageButtons buttons, const QString& title) override;
};

}  // namespace vq
