#pragma once

#include "sdk/SdkExport.h"

#include <QString>

namespace vq {

/// A server's version, for example "VQ 3.4.1"; callers compare its first characters.
class VQ_SDK_EXPORT SdkServerVersion {
public:
    /// The version with that text; empty when unknown.
    explicit SdkServerVersion(QString text = {}) : m_text(std::move(text)) {}
    /// The version text, for example "VQ 3.4.1".
    const QString& Text() const { return m_text; }

private:
    QString m_text;
};

}  // namespace vq
