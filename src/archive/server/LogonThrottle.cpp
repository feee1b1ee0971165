#include "archive/server/LogonThrottle.h"

#include "archive/server/ArchiveServer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace vq {

namespace {

constexpr int kFreeFailures = ArchiveServer::kFreeLogonFailures;
constexpr int kMaxWaitSeconds = ArchiveServer::kMaxLogonWaitSeconds;
constexpr int kWindowSeconds = ArchiveServer::kLogonWindowSeconds;

class SystemClock : public LogonClock {
public:
    double now() const override {
        using namespace std::chrono;
        return duration<double>(system_clock::now().time_since_epoch()).count();
    }
    void sleepUntil(double moment) const override {
        const double left = moment - now();
        if (left > 0) std::this_thread::sleep_for(std::chrono::duration<double>(left));
    }
};

// A checked try inside the window opening at `opened`: its failure keeps that window where it is.
LogonThrottle::Verdict inWindow(int failures, double opened) {
    LogonThrottle::Verdict verdict;
    verdict.checked = true;
    verdict.failures = failures;
    verdict.claim = {failures + 1, opened - LogonThrottle::waitSeconds(failures + 1)};
    verdict.answerAt = opened + kWindowSeconds;
    return verdict;
}

}  // namespace

std::shared_ptr<const LogonClock> LogonClock::system() {
    static const auto clock = std::make_shared<const SystemClock>();
    return clock;
}

double LogonThrottle::waitSeconds(int failures) {
    if (failures < kFreeFailures) return 0;
    const int doublings = std::min(failures - kFreeFailures, 16);
    return std::min(double(1 << doublings), double(kMaxWaitSeconds));
}

// The stored time is where the current wait is measured from: its window opens waitSeconds()
// later and, while nobody gets in, again every wait plus window after that.
LogonThrottle::Verdict LogonThrottle::judge(const std::optional<ArchiveLogonFailures>& failures, double now) {
    const int count = failures ? failures->count : 0;
    if (count < kFreeFailures) return {true, count, 0, {count + 1, now}, 0};
    const double wait = waitSeconds(count);
    const double opens = failures->lastFailure + wait;
    // A clock behind the one that stored the failure: its window opens now.
    if (now < failures->lastFailure) return inWindow(count, now);
    if (now < opens) return {false, count, opens - now, {}, 0};
    const double phase = std::fmod(now - opens, wait + kWindowSeconds);
    if (phase < kWindowSeconds) return inWindow(count, now - phase);
    return {false, count, wait + kWindowSeconds - phase, {}, 0};
}

}  // namespace vq
