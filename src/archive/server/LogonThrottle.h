#pragma once

#include "archive/storage/ArchiveStorage.h"

#include <memory>
#include <optional>

namespace vq {

/// The time log-on throttling reads and waits by, in seconds since the epoch; tests put their own.
class LogonClock {
public:
    virtual ~LogonClock() = default;
    virtual double now() const = 0;
    /// Returns at `moment` at the earliest.
    virtual void sleepUntil(double moment) const = 0;
    /// The computer's clock.
    static std::shared_ptr<const LogonClock> system();
};

/// When a log-on try of a user name may be checked, given that name's failures in a row (the
/// limits are ArchiveServer's). The first kFreeLogonFailures tries are checked as they come; then
/// the user waits 1 s, doubling with every failure up to kMaxLogonWaitSeconds. When a wait has
/// passed, a window of kLogonWindowSeconds opens in which every try is checked: failures there count, but do
/// not restart the wait, so whoever knows the password gets in at the next window however many failures
/// others cause. A failure in a window is answered when the window closes, so one guesser gets
/// one guess a window.
class LogonThrottle {
public:
    struct Verdict {
        /// The try is checked against the password; otherwise it is refused unchecked.
        bool checked = false;
        /// The failures in a row before this try.
        int failures = 0;
        /// For a try refused unchecked: how long until the next window opens.
        double retryIn = 0;
        /// For a checked try: what to store before checking, so that the try counts as a
        /// failure unless it succeeds.
        ArchiveLogonFailures claim;
        /// For a checked try inside a window: when to answer a failure; 0 outside windows.
        double answerAt = 0;
    };

    static double waitSeconds(int failures);
    static Verdict judge(const std::optional<ArchiveLogonFailures>& failures, double now);
};

}  // namespace vq
