#pragma once

#include "core/CoreExport.h"

#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

/// The library: controls, dialogs and model classes over the archive servers, and the server
/// library they work through.
namespace vq {

/// Error numbers that callers test for.
namespace errc {
constexpr int32_t InvalidArgument = 5;                     ///< absent key of a keyed collection
constexpr int32_t Overflow = 6;                            ///< a number outside the range of its type
constexpr int32_t SubscriptOutOfRange = 9;                 ///< position out of range
constexpr int32_t TypeMismatch = 13;                       ///< a value that is no number where one is needed
constexpr int32_t DuplicateKey = 457;                      ///< key already in a keyed collection
constexpr int32_t NamedValueAbsent = int32_t(0x80040422);  ///< a name absent from a name/value set
constexpr int32_t NoPointsFound = int32_t(0x8004049B);     ///< a point search that found nothing
constexpr int32_t Unexpected = int32_t(0x80004005);        ///< anything thrown that was not an Error
}  // namespace errc

/// An error as every layer raises it: number, source (the call path, innermost last),
/// description, help file and help context.
class VQ_CORE_EXPORT Error : public std::exception {
public:
    /// An error with its number, source and description; help file and context are optional.
    Error(int32_t number, QString source, QString description, QString helpFile = {},
          int32_t helpContext = 0);

    /// The error number; callers test it against the errc and sdkerr constants.
    int32_t number() const { return m_number; }
    /// The call path that raised the error, one context per line, innermost last.
    const QString& source() const { return m_source; }
    /// What went wrong, for the user.
    const QString& description() const { return m_description; }
    /// The help file that explains the error; empty when there is none.
    const QString& helpFile() const { return m_helpFile; }
    /// The topic in the help file.
    int32_t helpContext() const { return m_helpContext; }

    /// Replaces the source; a handler that re-raises puts its context in front.
    void setSource(const QString& source);
    /// Replaces the description; a caller adds what the layer that raised it did not know.
    void setDescription(const QString& description);

    /// Description, number and source in one line, for logs and uncaught errors.
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    void updateWhat();

    int32_t m_number;
    QString m_source;
    QString m_description;
    QString m_helpFile;
    int32_t m_helpContext;
    std::string m_what;
};

/// The three layouts of a reported error; the lines are joined by CR LF.
enum class ReportLayout {
    Long,         ///< context, source, description, number
    Short,        ///< context, description, number
    NumberFirst,  ///< context, number, description
};

/// The text of a reported error in one of the layouts, with `context` as its first line.
VQ_CORE_EXPORT QString reportText(const Error& error, const QString& context, ReportLayout layout);

/// Turns whatever was thrown into an Error; used by the handlers below.
VQ_CORE_EXPORT Error currentError();

/// Re-raise: the same error with the context and CR LF put in front of its source.
[[noreturn]] VQ_CORE_EXPORT void reraise(Error error, const QString& context);

/// Report: shows the error in an OK-only message box with the default title.
VQ_CORE_EXPORT void report(const Error& error, const QString& context, ReportLayout layout);

/// Report with one more line after the layout's, even when `extraLine` is empty (it may hold
/// several lines, such as the attributes a server refused).
VQ_CORE_EXPORT void report(const Error& error, const QString& context, ReportLayout layout,
                           const QString& extraLine);

/// Runs `body`; any error is re-raised with `context` in front of its source.
template <typename Body>
auto reraising(const QString& context, Body&& body) -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        reraise(currentError(), context);
    }
}

/// Runs `body`; any error is reported and `fallback` returned.
template <typename Result, typename Body>
Result reporting(const QString& context, ReportLayout layout, Result fallback, Body&& body) {
    try {
        return body();
    } catch (...) {
        report(currentError(), context, layout);
        return fallback;
    }
}

/// Runs `body`; any error is reported.
template <typename Body>
void reporting(const QString& context, ReportLayout layout, Body&& body) {
    try {
        body();
    } catch (...) {
        report(currentError(), context, layout);
    }
}

/// Runs `body`; any error ends it quietly with `fallback`.
template <typename Result, typename Body>
Result silently(Result fallback, Body&& body) {
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}

}  // namespace vq
