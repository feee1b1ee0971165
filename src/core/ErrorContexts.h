#pragma once

#include "core/CoreExport.h"

#include <QHash>
#include <QString>

#include <initializer_list>
#include <utility>

namespace vq {

/// The texts a control reports its errors under, in one table: "<prefix>:<procedure>" for most
/// procedures, and the whole text for the few that have always been spelled otherwise (saved
/// logs and help pages quote those spellings, so they are kept letter for letter).
class VQ_CORE_EXPORT ErrorContexts {
public:
    using Spelling = std::pair<const char*, const char*>;  ///< procedure, whole context text

    explicit ErrorContexts(const char* prefix, std::initializer_list<Spelling> spelledOtherwise = {});
    /// The context text of `procedure`.
    QString operator()(const char* procedure) const;

private:
    QString m_prefix;
    QHash<QString, QString> m_spelledOtherwise;
};

}  // namespace vq
