#include "clocksource.h"

#include <cmath>

namespace {
ClockSource::Source &source()
{
    static ClockSource::Source s;
    return s;
}
} // namespace

QDateTime ClockSource::currentDateTime()
{
    return source() ? source()() : QDateTime::currentDateTime();
}

DateTime ClockSource::now()
{
    return fromQDateTime(currentDateTime());
}

DateTime ClockSource::today()
{
    return std::trunc(now());
}

int ClockSource::currentYear()
{
    return currentDateTime().date().year();
}

void ClockSource::setSource(Source s)
{
    source() = std::move(s);
}

FixedClock::FixedClock(const QDateTime &time)
    : m_time(time)
{
    ClockSource::setSource([this] { return m_time; });
}

FixedClock::~FixedClock()
{
    ClockSource::setSource({});
}

void FixedClock::set(const QDateTime &time)
{
    m_time = time;
}

void FixedClock::advance(qint64 seconds)
{
    m_time = m_time.addSecs(seconds);
}
