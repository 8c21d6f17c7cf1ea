#pragma once

#include "awaydetector.h"

#include <functional>
#include <QTimer>

/// A sleep seen without help from the desktop: the clock that counts the
/// sleep (boot time) moves away from the one that does not (monotonic).
class ClockJumpSource : public AwayDetector
{
    Q_OBJECT
public:
    /// Milliseconds of the clock that counts a sleep minus the one that does not.
    using SleepClock = std::function<qint64()>;

    explicit ClockJumpSource(SleepClock timeAsleep = systemTimeAsleep, QObject *parent = nullptr);

    void start(int minimumMinutes) override;
    void stop() override;

    /// Compares the clocks once (the timer calls it).
    void check();

    /// CLOCK_BOOTTIME minus CLOCK_MONOTONIC.
    static qint64 systemTimeAsleep();

private:
    SleepClock m_timeAsleep;
    QTimer m_checkTimer;
    int m_minimumMinutes = 0;
    QDateTime m_startedAt;
    qint64 m_lastTimeAsleep = 0;
};
