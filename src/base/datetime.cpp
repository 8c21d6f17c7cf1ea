#include "datetime.h"

#include <cmath>

namespace {

// Julian day number of 30 December 1899, day 0 of the DateTime count.
const qint64 EpochJulianDay = QDate(1899, 12, 30).toJulianDay();

struct SplitValue
{
    qint64 day; // days from the epoch, calendar order
    qint64 msOfDay; // 0 … MillisecondsPerDay - 1
};

// Rounds to the millisecond first, so that 23:59:59.9996 becomes midnight of
// the next day instead of a time that reads 24:00.
SplitValue split(DateTime value)
{
    double whole = std::trunc(value);
    qint64 day = static_cast<qint64>(whole);
    qint64 ms = std::llround(std::fabs(value - whole) * MillisecondsPerDay);
    if (ms >= MillisecondsPerDay) {
        ms -= MillisecondsPerDay;
        ++day;
    }
    return {day, ms};
}

} // namespace

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

bool isValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

std::optional<DateTime> tryEncodeDate(int year, int month, int day)
{
    if (!isValidDate(year, month, day))
        return std::nullopt;
    return static_cast<DateTime>(QDate(year, month, day).toJulianDay() - EpochJulianDay);
}

std::optional<DateTime> tryEncodeTime(int hour, int minute, int second, int millisecond)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0
        || millisecond > 999)
        return std::nullopt;
    const qint64 ms = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
    return static_cast<DateTime>(ms) / MillisecondsPerDay;
}

DateTime combineDateAndTime(DateTime date, DateTime time)
{
    return date < 0 ? date - time : date + time;
}

CalendarDate decodeDate(DateTime value)
{
    const QDate date = toQDate(value);
    return {date.year(), date.month(), date.day()};
}

qint64 millisecondsOfDay(DateTime value)
{
    return split(value).msOfDay;
}

TimeOfDay decodeTime(DateTime value)
{
    qint64 ms = millisecondsOfDay(value);
    TimeOfDay t;
    t.millisecond = int(ms % 1000);
    ms /= 1000;
    t.second = int(ms % 60);
    ms /= 60;
    t.minute = int(ms % 60);
    t.hour = int(ms / 60);
    return t;
}

int dayOfWeek(DateTime value)
{
    return toQDate(value).dayOfWeek();
}

QDate toQDate(DateTime value)
{
    return QDate::fromJulianDay(split(value).day + EpochJulianDay);
}

QDateTime toQDateTime(DateTime value)
{
    const SplitValue s = split(value);
    return QDateTime(QDate::fromJulianDay(s.day + EpochJulianDay), QTime::fromMSecsSinceStartOfDay(int(s.msOfDay)));
}

DateTime fromQDate(QDate date)
{
    return static_cast<DateTime>(date.toJulianDay() - EpochJulianDay);
}

DateTime fromQDateTime(const QDateTime &dateTime)
{
    const DateTime time = static_cast<DateTime>(dateTime.time().msecsSinceStartOfDay()) / MillisecondsPerDay;
    return combineDateAndTime(fromQDate(dateTime.date()), time);
}
