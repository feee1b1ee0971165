#pragma once

#include "sdk/SdkFwd.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <exception>
#include <functional>
#include <thread>

namespace vq {

// Runs server searches on a worker thread while the calling thread keeps handling window events,
// so that a long search shows that it runs and can be stopped, and the call itself still returns
// only when the search is done. One search session (begin ... end) may run several queries.
//
// What runs where. Meanwhile the window paints and may read the same servers (the previous
// results' points and descriptors, the point classes, a log-on), so a query given to start()
// calls, on the worker, nothing but SdkServer::GetPointsSQL of a server that is connected (its
// storage is open: the worker never opens one). The archive answers it through the storage's
// PointSearchEngine, which has a connection of its own that only one search uses at a time; the
// engine's state both threads see is atomic (running, the cancel count, the next time limit) or
// behind its lock (the PostgreSQL search connection made anew). Everything else, CancelSearch()
// included (safe from any thread), is called from the window's thread, on the storage's own
// connection. The worker touches no widget and no model; its answer comes back through wait().
class SearchRunner : public QObject {
    Q_OBJECT

public:
    // How long a search runs before it says so.
    static constexpr int kShowAfterMs = 333;

    explicit SearchRunner(QObject* parent = nullptr);

    void begin();
    // Ends the session; stopped() is false again afterwards.
    void end();
    bool isRunning() const { return m_running; }
    ~SearchRunner() override;

    // Starts `query` against `server` on the worker thread, one query at a time, so that the
    // caller can merge the previous answer meanwhile. After stop() nothing starts.
    void start(const SdkServerPtr& server, std::function<SdkPointListPtr()> query);
    // Waits for the started query and hands back its answer or raises its error (QueryCancelled
    // when stopped before it started, or when this runner was deleted meanwhile: then the caller's
    // object may be gone too, so a caller holds a QPointer and touches nothing once it is null).
    SdkPointListPtr wait();
    SdkPointListPtr run(const SdkServerPtr& server, std::function<SdkPointListPtr()> query) {
        start(server, std::move(query));
        return wait();
    }
    bool hasStarted() const { return m_worker.joinable() || m_refused; }
    // Cancels the running query; the session's remaining queries do not start.
    void stop();
    bool stopped() const { return m_stopped; }
    qint64 elapsedMs() const { return m_clock.elapsed(); }

Q_SIGNALS:
    // The session has run for kShowAfterMs and still runs.
    void longRunning();

private:
    bool waitInLoop();
    void cancelCurrent();
    void finished();

    bool m_running = false;
    bool m_stopped = false;
    SdkServerPtr m_current;
    std::thread m_worker;
    std::atomic<bool> m_done{false};
    bool m_refused = false;  // stopped before the query started
    SdkPointListPtr m_answer;
    std::exception_ptr m_failure;
    QEventLoop* m_waiting = nullptr;
    QElapsedTimer m_clock;
    QTimer m_showTimer;
    // A cancel sent before the server started its statement is lost, so Stop repeats it until
    // the query returns.
    QTimer m_cancelTimer;
};

}  // namespace vq
