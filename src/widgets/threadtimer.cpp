#include "threadtimer.h"

#include "messages.h"

#include <chrono>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <QCoreApplication>
#include <QThread>

namespace {

QThread::Priority qtPriority(TThreadPriority priority)
{
    static constexpr QThread::Priority priorities[]
        = {QThread::IdlePriority, QThread::LowestPriority, QThread::LowPriority, QThread::NormalPriority,
            QThread::HighPriority, QThread::HighestPriority, QThread::TimeCriticalPriority};
    return priorities[priority];
}

// A failure must not end the worker, and message boxes belong to the GUI
// thread: the exception is raised again there, inside the usual guard.
void runReportingFailures(const TThreadTimer::TimerEvent &handler, TThreadTimer *sender)
{
    try {
        handler(sender);
    } catch (...) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [error = std::current_exception()] { runGuarded([&] { std::rethrow_exception(error); }); },
            Qt::QueuedConnection);
    }
}

} // namespace

// What the worker and the timer share. Everything but the condition variable
// is guarded by the mutex; the timer's thread is the only writer.
struct TimerWorkerState : std::enable_shared_from_this<TimerWorkerState>
{
    std::mutex mutex;
    std::condition_variable wake;
    TThreadTimer *owner = nullptr; // null once the timer is being destroyed
    bool stop = false;
    bool running = false;
    std::chrono::milliseconds interval {1000};
    unsigned configuration = 0; // counts reconfigurations, so a sleep can tell it was cut short
    bool syncEvent = true;
    TThreadTimer::TimerEvent onTimer;
    bool tickPending = false; // posted to the owner's thread and not yet run there

    void run();
    void tickOnOwnerThread(std::unique_lock<std::mutex> &lock);
    void tickOnWorker(std::unique_lock<std::mutex> &lock);
    void runPostedTick();
};

void TimerWorkerState::run()
{
    std::unique_lock lock(mutex);
    while (!stop) {
        if (!running) {
            wake.wait(lock);
            continue;
        }
        // A reconfiguration starts the sleep over with the new interval.
        const unsigned sleptUnder = configuration;
        if (wake.wait_for(lock, interval, [&] { return stop || configuration != sleptUnder; }))
            continue;
        if (syncEvent)
            tickOnOwnerThread(lock);
        else
            tickOnWorker(lock);
    }
}

// The tick is posted rather than sent with a blocking call: the owner's thread
// may be the one destroying the timer, and it must be able to wake the worker
// out of its wait. The next sleep starts only when the tick has run.
void TimerWorkerState::tickOnOwnerThread(std::unique_lock<std::mutex> &lock)
{
    tickPending = true;
    // Posting to the owner ties the tick to its lifetime: a destroyed object's
    // posted events are dropped. owner is set here, since stop is not.
    QMetaObject::invokeMethod(
        owner, [self = shared_from_this()] { self->runPostedTick(); }, Qt::QueuedConnection);
    wake.wait(lock, [&] { return stop || !tickPending; });
}

void TimerWorkerState::tickOnWorker(std::unique_lock<std::mutex> &lock)
{
    const TThreadTimer::TimerEvent handler = onTimer;
    TThreadTimer *sender = owner;
    // The handler runs unlocked so that the timer's thread can go on setting
    // properties; the destructor waits for it to return.
    lock.unlock();
    if (handler)
        runReportingFailures(handler, sender);
    lock.lock();
}

void TimerWorkerState::runPostedTick()
{
    TThreadTimer *target = nullptr;
    {
        std::lock_guard lock(mutex);
        target = owner;
    }
    // Unlocked: the handler may change the timer, or destroy it, and must not
    // be touched afterwards.
    if (target)
        target->deliverTick();
    {
        std::lock_guard lock(mutex);
        tickPending = false;
    }
    wake.notify_all();
}

TThreadTimer::TThreadTimer(QObject *parent)
    : QObject(parent)
    , m_state(std::make_shared<TimerWorkerState>())
{
    m_state->owner = this;
    connect(&m_eventTimer, &QTimer::timeout, this, &TThreadTimer::deliverTick);
}

TThreadTimer::~TThreadTimer()
{
    {
        std::lock_guard lock(m_state->mutex);
        m_state->owner = nullptr;
        m_state->stop = true;
        m_state->onTimer = nullptr;
    }
    m_state->wake.notify_all();
    if (m_worker)
        m_worker->wait();
}

void TThreadTimer::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    reconfigure();
}

void TThreadTimer::setInterval(unsigned milliseconds)
{
    if (milliseconds == m_interval)
        return;
    m_interval = milliseconds;
    reconfigure();
}

bool TThreadTimer::SyncEvent() const
{
    return m_state->syncEvent; // written only by this thread
}

void TThreadTimer::setSyncEvent(bool on)
{
    if (on == SyncEvent())
        return;
    std::lock_guard lock(m_state->mutex);
    m_state->syncEvent = on;
}

void TThreadTimer::setThreaded(bool on)
{
    if (on == m_threaded)
        return;
    m_threaded = on;
    reconfigure();
}

void TThreadTimer::setThreadPriority(TThreadPriority priority)
{
    if (priority == m_priority)
        return;
    m_priority = priority;
    if (m_threaded)
        reconfigure();
}

const TThreadTimer::TimerEvent &TThreadTimer::OnTimer() const
{
    return m_state->onTimer; // written only by this thread
}

void TThreadTimer::setOnTimer(TimerEvent handler)
{
    const bool wasAssigned = bool(OnTimer());
    {
        std::lock_guard lock(m_state->mutex);
        m_state->onTimer = std::move(handler);
    }
    if (wasAssigned != bool(OnTimer()))
        reconfigure();
}

void TThreadTimer::reconfigure()
{
    const bool run = m_interval != 0 && m_enabled && OnTimer();
    m_eventTimer.stop();
    setWorkerRunning(m_threaded && run);
    if (!m_threaded && run)
        m_eventTimer.start(int(qMin(m_interval, unsigned(INT_MAX))));
}

void TThreadTimer::setWorkerRunning(bool run)
{
    {
        std::lock_guard lock(m_state->mutex);
        m_state->running = run;
        m_state->interval = std::chrono::milliseconds(m_interval);
        ++m_state->configuration;
    }
    m_state->wake.notify_all();
    if (!run)
        return;
    if (m_worker) {
        m_worker->setPriority(qtPriority(m_priority));
        return;
    }
    m_worker.reset(QThread::create([state = m_state] { state->run(); }));
    m_worker->setObjectName(QStringLiteral("TThreadTimer"));
    m_worker->start(qtPriority(m_priority));
}

void TThreadTimer::deliverTick()
{
    // A copy, so that a handler that replaces itself keeps running.
    const TimerEvent handler = OnTimer();
    if (m_enabled && handler)
        runGuarded([&] { handler(this); });
}
