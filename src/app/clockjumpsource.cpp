#include "clockjumpsource.h"

#include "clocksource.h"

#include <ctime>

namespace {
constexpr int CheckMilliseconds = 5000;
// Both clocks are read one after the other; only a real sleep moves them this far.
constexpr qint64 SmallestSleepMilliseconds = 60 * 1000;

qint64 milliseconds(clockid_t clock)
{
    timespec time{};
    clock_gettime(clock, &time);
    return qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000;
}
} // namespace

ClockJumpSource::ClockJumpSource(SleepClock timeAsleep, QObject *parent)
    : AwayDetector(parent)
    , m_timeAsleep(std::move(timeAsleep))
{
    m_checkTimer.setInterval(CheckMilliseconds);
    connect(&m_checkTimer, &QTimer::timeout, this, &ClockJumpSource::check);
}

qint64 ClockJumpSource::systemTimeAsleep()
{
    return milliseconds(CLOCK_BOOTTIME) - milliseconds(CLOCK_MONOTONIC);
}

void ClockJumpSource::start(int minimumMinutes)
{
    m_minimumMinutes = minimumMinutes;
    m_startedAt = ClockSource::currentDateTime();
    m_lastTimeAsleep = m_timeAsleep();
    m_checkTimer.start();
}

void ClockJumpSource::stop()
{
    m_checkTimer.stop();
    m_startedAt = {};
}

void ClockJumpSource::check()
{
    if (!m_startedAt.isValid())
        return;
    const qint64 timeAsleep = m_timeAsleep();
    const qint64 slept = timeAsleep - m_lastTimeAsleep;
    m_lastTimeAsleep = timeAsleep;
    if (slept <= SmallestSleepMilliseconds)
        return;
    // The wake-up is taken as now: the check follows it within its interval.
    const QDateTime now = ClockSource::currentDateTime();
    const QDateTime asleepFrom = std::max(now.addMSecs(-slept), m_startedAt);
    if (asleepFrom.secsTo(now) >= m_minimumMinutes * 60)
        emit cameBack(asleepFrom, now, Kind::Asleep);
}
