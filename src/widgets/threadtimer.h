#pragma once

#include <functional>
#include <memory>
#include <QObject>
#include <QTimer>

class QThread;
struct TimerWorkerState;

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

/// A timer whose ticks are timed by a worker thread of its own, so that they
/// keep coming while the GUI thread is busy. With SyncEvent the worker hands
/// each tick to the timer's thread and waits until it has run there: ticks
/// never overlap, and none arrives while a handler shows a modal box. Without
/// Threaded it ticks from the event loop instead.
///
/// The properties are set on the timer's own thread. The timer runs while
/// Interval is not 0, Enabled is set and OnTimer is assigned.
class TThreadTimer : public QObject
{
    Q_OBJECT

public:
    using TimerEvent = std::function<void(TThreadTimer *sender)>;

    explicit TThreadTimer(QObject *parent = nullptr);
    /// Returns at once: a sleeping worker or one waiting for its tick to run
    /// is woken and ends without delivering anything more. Only a handler
    /// running on the worker (SyncEvent off) is waited for.
    ~TThreadTimer() override;

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool on);
    /// Milliseconds between ticks; threaded, counted from the end of one tick
    /// to the start of the next.
    unsigned Interval() const { return m_interval; }
    void setInterval(unsigned milliseconds);
    /// Whether a threaded tick runs on the timer's thread (true) or on the
    /// worker itself. Read at each tick.
    bool SyncEvent() const;
    void setSyncEvent(bool on);
    bool Threaded() const { return m_threaded; }
    void setThreaded(bool on);
    TThreadPriority ThreadPriority() const { return m_priority; }
    void setThreadPriority(TThreadPriority priority);
    const TimerEvent &OnTimer() const;
    /// Replacing one handler by another keeps the timer's rhythm; only
    /// assigning the first or removing the last starts or stops it.
    void setOnTimer(TimerEvent handler);

private:
    friend struct TimerWorkerState;

    void reconfigure();
    void setWorkerRunning(bool run);
    void deliverTick();

    bool m_enabled = true;
    unsigned m_interval = 1000;
    bool m_threaded = true;
    TThreadPriority m_priority = tpNormal;
    // Shared with the worker and with the ticks it posts, which may outlive
    // the timer; it knows whether the timer still exists.
    std::shared_ptr<TimerWorkerState> m_state;
    std::unique_ptr<QThread> m_worker; // started on the first run
    QTimer m_eventTimer; // the tick source when not threaded
};
