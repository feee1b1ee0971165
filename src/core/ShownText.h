#pragma once

#include "core/CoreExport.h"

#include <QString>

namespace vq {

/// Texts as a terminal or a log may show them. A stored value can hold anything, and printed raw a
/// control character moves the cursor, rings the bell or rewrites the line, and a direction
/// override turns the rest of a line around; a refused 10 MB value echoed in full drowns the
/// message it sits in.
class VQ_CORE_EXPORT ShownText {
public:
    /// What a value in a message is cut to.
    static constexpr qsizetype ValueLimit = 200;
    /// What a whole message is cut to.
    static constexpr qsizetype MessageLimit = 4000;

    /// The text with control, format (zero-width, direction) and line separator characters
    /// escaped as \n, \t, \r, \0 or \u{XXXX}, and cut after `limit` characters with a note of its
    /// length (a negative limit never cuts).
    static QString of(const QString& text, qsizetype limit = ValueLimit);
    /// A message: escaped, and cut only when it is very long.
    static QString message(const QString& text) { return of(text, MessageLimit); }
    /// True for a character that of() escapes.
    static bool isEscaped(QChar c);
};

}  // namespace vq
