#pragma once

#include <map>
#include <optional>
#include <QDate>
#include <QDateTime>
#include <QString>

class CellTable;
class WorkingHours;

/// Minutes worked from home against the minutes owed for them.
struct Balance
{
    qint64 home = 0;
    qint64 owed = 0;

    qint64 difference() const { return home - owed; }
    Balance &operator+=(const Balance &other);
    bool operator==(const Balance &) const = default;
};

/// A worksheet's data rows added up day by day: a row's Time counts on the
/// date of its Start, its hh:mm on its nominal Date. A date or a duration
/// that does not read leaves the row out of that side; reporting such texts
/// is the recalculation's task.
class WorksheetDays
{
public:
    /// Counts the days first … last only (a window looks at one day of what
    /// may be a million rows), or every day when both are null.
    explicit WorksheetDays(const CellTable &cells, QDate first = {}, QDate last = {});

    Balance on(QDate day) const;
    /// Added up over first … last.
    Balance over(QDate first, QDate last) const;
    /// The days that have a row, in order.
    const std::map<QDate, Balance> &days() const { return m_days; }

private:
    std::map<QDate, Balance> m_days;
};

/// Today's home time against today's target: the nominal times of the rows
/// dated today, or, when none of them owes anything, the working hours of
/// today's weekday.
Balance todayBalance(const WorksheetDays &days, QDate today, const WorkingHours &hours);
/// The same from the rows dated today added up (WorksheetDays::on).
Balance todayBalance(Balance todaysRows, QDate today, const WorkingHours &hours);
/// The ISO week of today, Monday to Sunday, with today's target as
/// todayBalance has it.
Balance weekBalance(const WorksheetDays &days, QDate today, const WorkingHours &hours);
/// The same from the rows dated in today's week and today added up.
Balance weekBalance(Balance weeksRows, Balance todaysRows, QDate today, const WorkingHours &hours);

/// When today's target is reached if the stopwatch runs on from now; none
/// when it is reached already.
std::optional<QDateTime> targetReachedAt(const Balance &today, const QDateTime &now);

/// "Today 05:12 of 07:24 — done at 15:42 — balance -02:03": today's balance,
/// when its target is reached (if given) and the worksheet's balance text.
QString todayText(const Balance &today, const std::optional<QDateTime> &doneAt, const QString &balance);
