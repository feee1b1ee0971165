#pragma once

#include "sdk/SdkFwd.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>

namespace vq {

// Runs server searches on a worker thread while the calling thread keeps handling window events,
// so that a long search shows that it runs and can be stopped, and the call itself still returns
// only when the search is done. One search session (begin ... end) may run several queries.
class SearchRunner : public QObject {
    Q_OBJECT

public:
    // How long a search runs before it says so.
    static constexpr int kShowAfterMs = 333;

    explicit SearchRunner(QObject* parent = nullptr);

    void begin();
    void end();
    bool isRunning() const { return m_running; }
    // Runs `query` against `server` and hands back its answer or raises its error. After stop()
    // it raises QueryCancelled without starting.
    SdkPointListPtr run(const SdkServerPtr& server, const std::function<SdkPointListPtr()>& query);
    // Cancels the running query; the session's remaining queries do not start.
    void stop();
    bool stopped() const { return m_stopped; }
    qint64 elapsedMs() const { return m_clock.elapsed(); }

Q_SIGNALS:
    // The session has run for kShowAfterMs and still runs.
    void longRunning();

private:
    void cancelCurrent();

    bool m_running = false;
    bool m_stopped = false;
    SdkServerPtr m_current;
    QElapsedTimer m_clock;
    QTimer m_showTimer;
    // A cancel sent before the server started its statement is lost, so Stop repeats it until
    // the query returns.
    QTimer m_cancelTimer;
};

}  // namespace vq
