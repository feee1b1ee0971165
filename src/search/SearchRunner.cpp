#include "search/SearchRunner.h"

#include "core/Error.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkServer.h"

#include <QPointer>

#include <utility>

namespace vq {

namespace {
constexpr int kCancelRepeatMs = 5;

Error abandoned() {
    return Error(sdkerr::QueryCancelled, QStringLiteral("VQTagSearch"),
                 QStringLiteral("The search was stopped: its control was closed"));
}
}  // namespace

SearchRunner::SearchRunner(QObject* parent) : QObject(parent) {
    m_showTimer.setSingleShot(true);
    m_showTimer.setInterval(kShowAfterMs);
    connect(&m_showTimer, &QTimer::timeout, this, [this] {
        if (m_running) Q_EMIT longRunning();
    });
    m_cancelTimer.setInterval(kCancelRepeatMs);
    connect(&m_cancelTimer, &QTimer::timeout, this, [this] { cancelCurrent(); });
}

void SearchRunner::begin() {
    m_running = true;
    m_stopped = false;
    m_clock.start();
    m_showTimer.start();
}

void SearchRunner::end() {
    m_running = false;
    m_stopped = false;
    m_showTimer.stop();
    m_cancelTimer.stop();
}

// Deleted while wait() runs (its control closed from a slot): the worker is stopped and joined
// here, and the waiting loop is told to end, so that wait() returns without touching this.
SearchRunner::~SearchRunner() {
    if (m_waiting) m_waiting->quit();
    if (!m_worker.joinable()) return;
    stop();
    cancelCurrent();
    m_worker.join();
}

void SearchRunner::start(const SdkServerPtr& server, std::function<SdkPointListPtr()> query) {
    m_answer.reset();
    m_failure = nullptr;
    m_refused = m_stopped;
    if (m_refused) return;
    m_done = false;
    m_current = server;
    m_worker = std::thread([this, query = std::move(query)] {
        try {
            m_answer = query();
        } catch (...) {
            m_failure = std::current_exception();
        }
        m_done = true;
        QMetaObject::invokeMethod(this, &SearchRunner::finished, Qt::QueuedConnection);
    });
}

// Window events go on while the query runs; holding back input to the searching control is
// the caller's business.
SdkPointListPtr SearchRunner::wait() {
    if (m_refused) {
        m_refused = false;
        throw Error(sdkerr::QueryCancelled, QStringLiteral("VQTagSearch"),
                    QStringLiteral("The search was stopped"));
    }
    if (!m_done && !waitInLoop()) throw abandoned();
    m_worker.join();
    m_current.reset();
    m_cancelTimer.stop();
    if (m_failure) std::rethrow_exception(std::exchange(m_failure, nullptr));
    return std::exchange(m_answer, nullptr);
}

// False when this runner was deleted while the loop ran. The loop runs until this job is done: a
// finish that an earlier job queued, when it ended before its wait began, must not end it early
// (joining a running worker would freeze the window until the search ends).
bool SearchRunner::waitInLoop() {
    const QPointer<SearchRunner> alive(this);
    QEventLoop loop;
    m_waiting = &loop;
    while (!m_done) {
        loop.exec();
        if (!alive) return false;
    }
    m_waiting = nullptr;
    return true;
}

void SearchRunner::finished() {
    if (m_waiting && m_done) m_waiting->quit();
}

void SearchRunner::stop() {
    if (!m_running || m_stopped) return;
    m_stopped = true;
    cancelCurrent();
    m_cancelTimer.start();
}

void SearchRunner::cancelCurrent() {
    if (m_current) m_current->CancelSearch();
}

}  // namespace vq
