#pragma once

#include "datetime.h"

#include <functional>
#include <QDateTime>

/// The one place that tells the program what time it is. Tests replace the
/// source with a fixed time so that "now" is known in advance.
class ClockSource
{
public:
    using Source = std::function<QDateTime()>;

    static QDateTime currentDateTime();
    static DateTime now();
    static DateTime today();
    static int currentYear();

    /// Replaces the source; an empty function restores the system clock.
    static void setSource(Source source);
};

/// Fixes "now" for the lifetime of the object (tests).
class FixedClock
{
public:
    explicit FixedClock(const QDateTime &time);
    ~FixedClock();

    void set(const QDateTime &time);
    void advance(qint64 seconds);

    FixedClock(const FixedClock &) = delete;
    FixedClock &operator=(const FixedClock &) = delete;

private:
    QDateTime m_time;
};
