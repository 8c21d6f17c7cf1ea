#include "errors.h"
#include "testsupport.h"
#include "threadtimer.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Ticks arrive only while the event loop runs; the limit only guards a hang.
bool runEventsUntil(const std::function<bool()> &done)
{
    return QTest::qWaitFor(done, 5000);
}

// Runs the event loop until a second timer of the same interval and kind,
// started now, has ticked three times; tells whether no tick came meanwhile.
// A timer that went on ticking would have ticked beside it, on a slow machine
// as on a fast one.
bool quietFor(std::chrono::milliseconds interval, const int &ticks, bool threaded = true)
{
    const int before = ticks;
    int reference = 0;
    TThreadTimer beside;
    beside.setThreaded(threaded);
    beside.setInterval(unsigned(interval.count()));
    beside.setOnTimer([&](TThreadTimer *) { ++reference; });
    EXPECT_TRUE(runEventsUntil([&] { return reference >= 3; }));
    return ticks == before;
}

// Runs the event loop until every event posted before now has been handled.
void handlePostedEvents()
{
    bool handled = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { handled = true; }, Qt::QueuedConnection);
    EXPECT_TRUE(runEventsUntil([&] { return handled; }));
}

bool onGuiThread()
{
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

} // namespace

TEST(ThreadTimer, TicksOnTheGuiThreadOnlyWhileEnabledWithAnIntervalAndAHandler)
{
    int ticks = 0;
    bool allOnGuiThread = true;
    TThreadTimer *sender = nullptr;
    TThreadTimer timer;
    timer.setInterval(5);
    timer.setOnTimer([&](TThreadTimer *s) {
        ++ticks;
        sender = s;
        allOnGuiThread = allOnGuiThread && onGuiThread();
    });
    ASSERT_TRUE(runEventsUntil([&] { return ticks >= 3; }));
    EXPECT_EQ(sender, &timer);
    EXPECT_TRUE(allOnGuiThread);

    // A tick already posted when the timer is disabled is dropped too.
    timer.setEnabled(false);
    EXPECT_TRUE(quietFor(5ms, ticks));

    timer.setEnabled(true);
    const int whenEnabled = ticks;
    ASSERT_TRUE(runEventsUntil([&] { return ticks >= whenEnabled + 2; }));
    timer.setInterval(0);
    EXPECT_TRUE(quietFor(5ms, ticks));
}

TEST(ThreadTimer, NoTickEntersWhileAHandlerRunsAndTheNextSleepStartsAfterIt)
{
    const auto interval = 10ms;
    int ticks = 0;
    int inside = 0;
    int deepest = 0;
    Clock::time_point lastReturn;
    Clock::duration shortestPause = Clock::duration::max();
    TThreadTimer timer;
    timer.setInterval(interval.count());
    timer.setOnTimer([&](TThreadTimer *) {
        if (ticks++ > 0)
            shortestPause = std::min(shortestPause, Clock::now() - lastReturn);
        deepest = std::max(deepest, ++inside);
        // Like a modal message box: a nested event loop for three intervals.
        QTest::qWait(3 * interval.count());
        --inside;
        lastReturn = Clock::now();
    });
    ASSERT_TRUE(runEventsUntil([&] { return ticks >= 4; }));
    EXPECT_EQ(deepest, 1);
    EXPECT_GE(shortestPause, interval);
}

TEST(ThreadTimer, DestroyingARunningTimerDeliversNoFurtherTick)
{
    int ticks = 0;
    auto *timer = new TThreadTimer;
    timer->setInterval(1);
    timer->setOnTimer([&](TThreadTimer *) { ++ticks; });
    ASSERT_TRUE(runEventsUntil([&] { return ticks >= 3; }));
    delete timer;
    EXPECT_TRUE(quietFor(1ms, ticks));
}

TEST(ThreadTimer, DestroyingWhileATickWaitsForTheGuiThreadReturnsAtOnce)
{
    const auto interval = 200ms;
    int ticks = 0;
    auto *timer = new TThreadTimer;
    timer->setInterval(interval.count());
    timer->setOnTimer([&](TThreadTimer *) { ++ticks; });
    // The GUI thread is busy: the worker posts its tick and waits for it.
    std::this_thread::sleep_for(interval * 5 / 2);
    const Clock::time_point start = Clock::now();
    delete timer;
    EXPECT_LT(Clock::now() - start, interval);
    handlePostedEvents();
    EXPECT_EQ(ticks, 0); // the tick it had posted was dropped
}

TEST(ThreadTimer, NotThreadedTicksFromTheEventLoop)
{
    int ticks = 0;
    bool allOnGuiThread = true;
    TThreadTimer timer;
    timer.setThreaded(false);
    timer.setInterval(5);
    timer.setOnTimer([&](TThreadTimer *) {
        ++ticks;
        allOnGuiThread = allOnGuiThread && onGuiThread();
    });
    ASSERT_TRUE(runEventsUntil([&] { return ticks >= 3; }));
    EXPECT_TRUE(allOnGuiThread);
    timer.setEnabled(false);
    EXPECT_TRUE(quietFor(5ms, ticks, false));
}

TEST(ThreadTimer, WithoutSyncEventTicksRunOnTheWorkerAndFailuresAreShownOnTheGuiThread)
{
    MessageRecorder messages;
    std::atomic<int> ticks = 0;
    std::atomic<bool> allOnWorker = true;
    TThreadTimer timer;
    timer.setSyncEvent(false);
    timer.setInterval(5);
    timer.setOnTimer([&](TThreadTimer *) {
        allOnWorker = allOnWorker && !onGuiThread();
        if (++ticks == 1)
            throw ConversionError(QStringLiteral("first tick failed"));
    });
    ASSERT_TRUE(runEventsUntil([&] { return ticks >= 3 && !messages.texts.isEmpty(); }));
    EXPECT_TRUE(allOnWorker);
    EXPECT_EQ(messages.texts, QStringList({"first tick failed"}));
}
