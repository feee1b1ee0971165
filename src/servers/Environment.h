#pragma once

#include "servers/ServersExport.h"

#include "platform/ScreenServices.h"

#include <QString>

#include <cstdint>

namespace vq {

// The client software's environment: its installation root, its help files and (from the
// platform, through this header too) the system's scroll-bar width.
//
// The root is the "VQHOME" key of section "VQPC" in the file VQPC.INI, read from the default
// profile directory: $VQ_INI_DIR when set, otherwise ~/.config/VQTagwright ($XDG_CONFIG_HOME
// when set). Help paths are built with "\" as on the system the files come from (messages show
// them that way) and use "/" only where the file is looked for and opened.

/// The size of the buffer the installation root is read into: 80 characters and a terminator.
constexpr int kVQHomeBufferLength = 81;

/// @{
/// Help files below the installation root and their topics, for the Help buttons of the searches.
inline const QString kPointSearchHelpFile = QStringLiteral("help\\VQSDKToolsUsr.chm");
constexpr int32_t kPointSearchHelpTopic = 23128;
inline const QString kDigSetSearchHelpFile = QStringLiteral("Tagwright\\Tagwright.chm");
constexpr int32_t kDigSetSearchHelpTopic = 21001;
/// @}

/// The Point Builder's help topic, answered by its page of the user guide.
constexpr int32_t kPointBuilderHelpTopic = 30001;

/// The one line shown when help is asked for and neither a help file nor the user guide is there.
inline const QString kNoUserGuideText = QStringLiteral(
    "The user guide is not installed (make docs builds it; the vqtagwright-tools package installs it).");

/// The installation root (default "C:\VQPC"), at most 80 characters; "" after the message
/// "Invalid VQPC.INI" when the file gives an empty value. It is the "VQHOME" key of section
/// "VQPC" in VQPC.INI in the default profile directory.
VQ_SERVERS_EXPORT QString GetVQHome();

/// Shows `relativeHelpFile` below the installation root at `topic` and returns what the help
/// viewer returns. Without that file the user guide's page for the topic is shown instead; when
/// that is missing too, a message box says so and 0 is returned: "The file ... does not exist"
/// where VQPC.INI sets up the client's installation, otherwise kNoUserGuideText.
VQ_SERVERS_EXPORT long long ShowHelpTopic(const QString& relativeHelpFile, int32_t topic);

/// The user guide page (a file name such as "searching.html") that answers `topic`; the guide's
/// entry page, "index.html", for a topic it does not know.
VQ_SERVERS_EXPORT QString guidePageName(int32_t topic);

/// Shows the user guide's page for `topic` and returns what the help viewer returns; without a
/// guide, shows kNoUserGuideText and returns 0.
VQ_SERVERS_EXPORT long long ShowGuideTopic(int32_t topic);

/// The help path in the platform's form: every "\" becomes "/".
VQ_SERVERS_EXPORT QString localHelpPath(const QString& helpPath);

}  // namespace vq
