#include "worksheetbalance.h"

#include "celltable.h"
#include "datetimetext.h"
#include "errors.h"
#include "worksheet.h"

namespace {

std::optional<Duration> tryReadDuration(QStringView cell)
{
    try {
        return readDuration(cell);
    } catch (const ConversionError &) {
        return std::nullopt;
    }
}

} // namespace

WorksheetTotals WorksheetBalance::recalculate(CellTable &cells, QDate today)
{
    m_sums.reset();
    WorksheetSums sums = sumWorksheet(cells);
    m_dayRows = WorksheetDays(cells, today, today).on(today);
    m_day = today;
    m_sums = std::move(sums);
    m_revision = cells.revision();
    return m_sums->texts();
}

WorksheetBalance::TimeChange WorksheetBalance::beforeTimeChange(const CellTable &cells, int row) const
{
    return {row, cells.text(TimeColumn, row), cells.revision()};
}

WorksheetTotals WorksheetBalance::afterTimeChange(CellTable &cells, const TimeChange &change, QDate today)
{
    const int row = change.row;
    const std::optional<Duration> previous = tryReadDuration(change.previousTime);
    const std::optional<Duration> worked = tryReadDuration(cells.cell(TimeColumn, row));
    const std::optional<Duration> owed = tryReadDuration(cells.cell(NominalTimeColumn, row));
    if (!keeps(change.revision, today) || !previous || !worked || !owed)
        return recalculate(cells, today);

    const qint64 added = worked->minutes - previous->minutes;
    m_sums->home += added;
    // A Start that does not read counts on no day, before as after.
    const std::optional<DateTime> start = tryParseDateTime(cells.cell(StartColumn, row), currentCentury());
    if (start && toQDate(*start) == m_day)
        m_dayRows.home += added;
    writeDifference(cells, row, *worked, *owed);
    // The row may be the first or the last, whose End the totals name.
    m_sums->readDates(cells);
    m_revision = cells.revision();
    return m_sums->texts();
}

Balance WorksheetBalance::rowsOf(const CellTable &cells, QDate day) const
{
    if (keeps(cells.revision(), day))
        return m_dayRows;
    return WorksheetDays(cells, day, day).on(day);
}

bool WorksheetBalance::keeps(quint64 revision, QDate day) const
{
    return m_sums && revision == m_revision && day == m_day;
}
