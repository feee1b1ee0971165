#pragma once

#include "platform/PlatformExport.h"

#include "core/MessageService.h"

#include <memory>

class QMessageBox;

namespace vq {

/// The message service of the widget layer: a modal QMessageBox without icon, with OK only or
/// OK and Cancel. The text's CR LF line breaks show as lines; an empty title shows the
/// application's display name, the program's default title.
class VQ_PLATFORM_EXPORT MessageBoxService : public MessageService {
public:
    MessageResult show(const QString& text, MessageButtons buttons, const QString& title) override;

    /// The box `show` runs, built but not shown, so its texts and buttons can be checked.
    static std::unique_ptr<QMessageBox> createBox(const QString& text, MessageButtons buttons,
                                                  const QString& title);
};

}  // namespace vq
