#pragma once

#include <optional>
#include <QDate>
#include <QDateTime>

/// A point in time as the worksheet counts it: whole days from 30 December 1899,
/// the fraction being the time of day. Before that day the whole part counts
/// backwards while the fraction still counts the time of day forwards, so
/// -1.25 is 29 December 1899, 06:00.
using DateTime = double;

struct CalendarDate
{
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const CalendarDate &) const = default;
};

struct TimeOfDay
{
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    bool operator==(const TimeOfDay &) const = default;
};

constexpr qint64 MillisecondsPerDay = 24LL * 60 * 60 * 1000;

bool isLeapYear(int year);
int daysInMonth(int year, int month);
bool isValidDate(int year, int month, int day);

std::optional<DateTime> tryEncodeDate(int year, int month, int day);
std::optional<DateTime> tryEncodeTime(int hour, int minute, int second = 0, int millisecond = 0);
/// Joins a date (whole days) and a time of day (fraction) into one value.
DateTime combineDateAndTime(DateTime date, DateTime time);

CalendarDate decodeDate(DateTime value);
TimeOfDay decodeTime(DateTime value);
/// The time of day of a value rounded to the millisecond, as milliseconds.
qint64 millisecondsOfDay(DateTime value);

/// The day of the week as QDate counts it: 1 = Monday … 7 = Sunday.
int dayOfWeek(DateTime value);

QDate toQDate(DateTime value);
QDateTime toQDateTime(DateTime value);
DateTime fromQDate(QDate date);
DateTime fromQDateTime(const QDateTime &dateTime);
