#pragma once

#include "platform/PlatformExport.h"

#include <QString>

#include <memory>

namespace vq {

/// Shows a help file at a topic. The viewer is part of the services context: hosts may bring one
/// that understands topic numbers, tests put in a recorder.
class VQ_PLATFORM_EXPORT HelpViewer {
public:
    virtual ~HelpViewer() = default;
    /// `filePath` uses the platform's separators. Returns a handle-like number: 0 means the file
    /// could not be shown.
    virtual long long showTopic(const QString& filePath, int topic) = 0;
};

/// Opens the file with the desktop's handler for its type: a user guide page in the browser. The
/// desktop cannot be asked for a topic, so the file opens at its start.
class VQ_PLATFORM_EXPORT DesktopHelpViewer : public HelpViewer {
public:
    long long showTopic(const QString& filePath, int topic) override;
};

/// The services context's viewer; a DesktopHelpViewer when the context has none.
VQ_PLATFORM_EXPORT HelpViewer& helpViewer();

}  // namespace vq
