#include "today.h"

#include "celltable.h"
#include "datetimetext.h"
#include "workinghours.h"
#include "worksheet.h"
#include "worksheettotals.h"

Balance &Balance::operator+=(const Balance &other)
{
    home += other.home;
    owed += other.owed;
    return *this;
}

namespace {

std::optional<QDate> readDate(QStringView cell, int century)
{
    const std::optional<DateTime> value = tryParseDateTime(cell, century);
    return value ? std::optional(toQDate(*value)) : std::nullopt;
}

} // namespace

WorksheetDays::WorksheetDays(const CellTable &cells, QDate first, QDate last)
{
    const int century = currentCentury();
    auto counted = [&](QStringView dateCell, QStringView durationCell) -> std::optional<std::pair<QDate, qint64>> {
        const std::optional<QDate> date = readDate(dateCell, century);
        if (!date || (first.isValid() && (*date < first || *date > last)))
            return std::nullopt;
        const std::optional<qint64> minutes = tryReadMinutes(durationCell);
        return minutes ? std::optional(std::pair(*date, *minutes)) : std::nullopt;
    };
    for (int row = 1; row <= cells.rowCount() - 2; ++row) {
        if (const auto home = counted(cells.cell(StartColumn, row), cells.cell(TimeColumn, row)))
            m_days[home->first].home += home->second;
        if (const auto owed = counted(cells.cell(NominalDateColumn, row), cells.cell(NominalTimeColumn, row)))
            m_days[owed->first].owed += owed->second;
    }
}

Balance WorksheetDays::on(QDate day) const
{
    const auto found = m_days.find(day);
    return found == m_days.end() ? Balance() : found->second;
}

Balance WorksheetDays::over(QDate first, QDate last) const
{
    Balance sum;
    for (auto day = m_days.lower_bound(first); day != m_days.end() && day->first <= last; ++day)
        sum += day->second;
    return sum;
}

Balance todayBalance(const WorksheetDays &days, QDate today, const WorkingHours &hours)
{
    return todayBalance(days.on(today), today, hours);
}

Balance todayBalance(Balance todaysRows, QDate today, const WorkingHours &hours)
{
    if (todaysRows.owed == 0)
        todaysRows.owed = hours.minutesOn(today).value_or(0);
    return todaysRows;
}

Balance weekBalance(const WorksheetDays &days, QDate today, const WorkingHours &hours)
{
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    return weekBalance(days.over(monday, monday.addDays(6)), days.on(today), today, hours);
}

Balance weekBalance(Balance weeksRows, Balance todaysRows, QDate today, const WorkingHours &hours)
{
    weeksRows.owed += todayBalance(todaysRows, today, hours).owed - todaysRows.owed;
    return weeksRows;
}

std::optional<QDateTime> targetReachedAt(const Balance &today, const QDateTime &now)
{
    if (today.home >= today.owed)
        return std::nullopt;
    return now.addSecs(60 * (today.owed - today.home));
}

QString todayText(const Balance &today, const std::optional<QDateTime> &doneAt, const QString &balance)
{
    QString text = QStringLiteral("Today %1 of %2").arg(formatMinuteTotal(today.home), formatMinuteTotal(today.owed));
    if (doneAt)
        text += QStringLiteral(" — done at ") + doneAt->toString(QStringLiteral("hh:mm"));
    return text + QStringLiteral(" — balance ") + balance;
}
