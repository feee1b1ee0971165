#include "search/SearchRunner.h"

#include "core/Error.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkServer.h"

#include <QEventLoop>

#include <exception>
#include <thread>

namespace vq {

namespace {
constexpr int kCancelRepeatMs = 5;
}

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
    m_showTimer.stop();
    m_cancelTimer.stop();
}

SdkPointListPtr SearchRunner::run(const SdkServerPtr& server, const std::function<SdkPointListPtr()>& query) {
    if (m_stopped)
        throw Error(sdkerr::QueryCancelled, QStringLiteral("VQTagSearch"),
                    QStringLiteral("The search was stopped"));
    SdkPointListPtr answer;
    std::exception_ptr failure;
    QEventLoop loop;
    std::atomic<bool> done{false};
    m_current = server;
    std::thread worker([&] {
        try {
            answer = query();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // Window events go on while the query runs; input to the searching control is the caller's
    // to hold back.
    if (!done) loop.exec();
    worker.join();
    m_current.reset();
    m_cancelTimer.stop();
    if (failure) std::rethrow_exception(failure);
    return answer;
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
