#include "worksheetvalues.h"

#include "celltable.h"
#include "datetimetext.h"
#include "errors.h"
#include "workinghours.h"
#include "worksheet.h"

#include <algorithm>
#include <cmath>

namespace {

qint32 julianDay(DateTime value)
{
    return qint32(toQDate(value).toJulianDay());
}

// The number of two digits at text[at], or -1.
int twoDigits(QStringView text, qsizetype at)
{
    const char16_t tens = text[at].unicode();
    const char16_t ones = text[at + 1].unicode();
    if (tens < u'0' || tens > u'9' || ones < u'0' || ones > u'9')
        return -1;
    return (tens - u'0') * 10 + (ones - u'0');
}

// "hh:mm" read as readDuration reads it, without its general scanning: the
// program writes every Time and hh:mm in this form.
std::optional<Duration> tryReadDuration(QStringView cell)
{
    if (cell.size() == 5 && cell[2] == u':') {
        const int hours = twoDigits(cell, 0);
        const int minutes = twoDigits(cell, 3);
        if (hours >= 0 && minutes >= 0) {
            const std::optional<DateTime> time = tryEncodeTime(hours, minutes);
            return time ? std::optional(Duration {*time, 60 * hours + minutes}) : std::nullopt;
        }
    }
    try {
        return readDuration(cell);
    } catch (const ConversionError &) {
        return std::nullopt;
    }
}

// "dd-mm-yy" and "dd-mm-yy hh:mm" read as tryParseDateTime reads them, in the
// same way: the program writes every Start and nominal Date in these forms.
std::optional<DateTime> tryReadDateTime(QStringView text, int century)
{
    if ((text.size() == 8 || (text.size() == 14 && text[8] == u' ' && text[11] == u':')) && text[2] == u'-'
        && text[5] == u'-') {
        const int day = twoDigits(text, 0);
        const int month = twoDigits(text, 3);
        const int year = twoDigits(text, 6);
        const int hours = text.size() == 14 ? twoDigits(text, 9) : 0;
        const int minutes = text.size() == 14 ? twoDigits(text, 12) : 0;
        if (day >= 0 && month >= 0 && year >= 0 && hours >= 0 && minutes >= 0) {
            const std::optional<DateTime> date = tryEncodeDate(century + year, month, day);
            const std::optional<DateTime> time = tryEncodeTime(hours, minutes);
            if (!date || !time)
                return std::nullopt;
            return combineDateAndTime(*date, *time);
        }
    }
    return tryParseDateTime(text, century);
}

// Finds key's entry, remembering it for the next call.
template<typename Map>
typename Map::mapped_type &entry(Map &map, WorksheetValues::LastEntry<typename Map::mapped_type> &last, qint32 key)
{
    if (!last.value || last.key != key) {
        last.key = key;
        last.value = &map[key];
    }
    return *last.value;
}

// Reads the days of a row whose texts are texts: those of its Start and of
// its nominal Date, and whether that day owes time.
void readDays(RowValues &values, const std::vector<QStringView> &texts, int century)
{
    values.flags &= ~(RowValues::StartReads | RowValues::NominalDateReads | RowValues::Owes);
    if (values.has(RowValues::Empty))
        return;
    if (const std::optional<DateTime> start = tryReadDateTime(texts[StartColumn], century)) {
        values.startDay = julianDay(*start);
        values.flags |= RowValues::StartReads;
    }
    const QStringView dateText = texts[NominalDateColumn];
    const std::optional<DateTime> date = tryReadDateTime(dateText, century);
    if (date) {
        values.nominalDay = julianDay(*date);
        values.flags |= RowValues::NominalDateReads;
    }
    // An hh:mm read whole already owes time when it has minutes; a date
    // without a blank (no time after it) reads as a plain date as it did.
    const QStringView owedText = texts[NominalTimeColumn];
    const bool owes
        = values.has(RowValues::NominalTimeReads) && owedText.size() <= 10 ? values.owed > 0 : owesTime(owedText);
    if (owes) {
        const std::optional<DateTime> day = date && !dateText.contains(u' ') ? date : tryParseDate(dateText, century);
        if (day) {
            values.owingDay = julianDay(*day);
            values.flags |= RowValues::Owes;
        }
    }
}

// Reads the values of one row of cells, its days too when withDays is set;
// texts is room for its cells.
RowValues readRowValues(const CellTable &cells, int row, int century, std::vector<QStringView> &texts, bool withDays)
{
    RowValues values;
    values.flags = 0;
    cells.rowCells(row, texts);
    if (std::all_of(texts.begin(), texts.end(), [](QStringView text) { return text.isEmpty(); })) {
        values.flags = RowValues::Empty;
        return values;
    }
    const std::optional<Duration> worked = tryReadDuration(texts[TimeColumn]);
    if (worked) {
        values.worked = qint32(worked->minutes);
        values.flags |= RowValues::TimeReads;
    }
    const std::optional<Duration> owed = tryReadDuration(texts[NominalTimeColumn]);
    if (owed) {
        values.owed = qint32(owed->minutes);
        values.flags |= RowValues::NominalTimeReads;
    }
    if (worked && owed)
        values.differenceTime = std::fabs(worked->time - owed->time);
    if (withDays)
        readDays(values, texts, century);
    return values;
}

} // namespace

WorksheetValues WorksheetValues::read(const CellTable &cells)
{
    WorksheetValues values;
    const int century = currentCentury();
    std::vector<QStringView> texts;
    values.m_rows.resize(cells.rowCount());
    for (int row = 1; row < cells.rowCount(); ++row) {
        values.m_rows[row] = readRowValues(cells, row, century, texts, false);
        values.count(values.m_rows[row], row, 1);
    }
    values.m_pendingFrom = 1;
    return values;
}

void WorksheetValues::count(const RowValues &values, int row, int sign)
{
    if (row < 1 || values.has(RowValues::Empty))
        return;
    if (values.has(RowValues::TimeReads))
        m_home += sign * values.worked;
    if (values.has(RowValues::NominalTimeReads))
        m_nominal += sign * values.owed;
    if (values.stopsRecalculation())
        m_stopping += sign;
    if (m_daysCounted)
        countDays(values, sign);
}

void WorksheetValues::countDays(const RowValues &values, int sign) const
{
    if (values.has(RowValues::StartReads) && values.has(RowValues::TimeReads))
        entry(m_days, m_lastDay, values.startDay).home += sign * values.worked;
    if (values.has(RowValues::NominalDateReads) && values.has(RowValues::NominalTimeReads))
        entry(m_days, m_lastDay, values.nominalDay).owed += sign * values.owed;
    if (values.has(RowValues::Owes))
        entry(m_owingRows, m_lastOwingDay, values.owingDay) += sign;
}

void WorksheetValues::markPending(int row)
{
    RowValues &values = m_rows[row];
    if (values.has(RowValues::DiffPending) || row >= m_pendingFrom)
        return;
    values.flags |= RowValues::DiffPending;
    m_pending.push_back(row);
}

void WorksheetValues::rowChanged(const CellTable &cells, int row)
{
    // The recalculation's own writing of Diff. changes no value.
    if (m_writingDiffs || row < 1 || row >= rowCount())
        return;
    const bool pending = m_rows[row].has(RowValues::DiffPending);
    count(m_rows[row], row, -1);
    std::vector<QStringView> texts;
    m_rows[row] = readRowValues(cells, row, currentCentury(), texts, m_daysCounted);
    if (pending)
        m_rows[row].flags |= RowValues::DiffPending;
    count(m_rows[row], row, 1);
    markPending(row);
}

void WorksheetValues::rowsInserted(int first, int count)
{
    m_rows.insert(m_rows.begin() + first, count, RowValues());
}

void WorksheetValues::rowsRemoved(int first)
{
    for (int row = first; row < rowCount(); ++row)
        count(m_rows[row], row, -1);
    m_rows.resize(first);
    std::erase_if(m_pending, [first](int row) { return row >= first; });
}

void WorksheetValues::beforeMove(int first, int last)
{
    if (last < m_pendingFrom || first >= m_pendingFrom || rowCount() <= m_pendingFrom)
        return;
    // Usually that is the bottom line alone: it is listed by its index,
    // which moves with it. Else the rows from first on are to be written.
    if (rowCount() - m_pendingFrom > 16) {
        m_pendingFrom = first;
        return;
    }
    const int listed = m_pendingFrom;
    m_pendingFrom = rowCount();
    for (int row = listed; row < rowCount(); ++row)
        markPending(row);
}

void WorksheetValues::rowMoved(int from, int to)
{
    // Moves change no sum.
    beforeMove(std::min(from, to), std::max(from, to));
    moveItem(m_rows, from, to);
    for (int &row : m_pending) {
        if (row == from)
            row = to;
        else if (from < row && row <= to)
            --row;
        else if (to <= row && row < from)
            ++row;
    }
}

void WorksheetValues::rowsPermuted(int first, const std::vector<int> &order)
{
    const int end = first + int(order.size());
    beforeMove(first, end - 1);
    permuteItems(m_rows, first, order);
    for (int &row : m_pending) {
        if (row >= first && row < end)
            row = first + int(std::find(order.begin(), order.end(), row) - order.begin());
    }
}

int WorksheetValues::firstStoppingRow() const
{
    const int lastRow = rowCount() - 2;
    const bool lastLineStops = rowCount() > 1 && m_rows.back().stopsRecalculation();
    if (m_stopping - (lastLineStops ? 1 : 0) == 0)
        return -1;
    for (int row = 1; row <= lastRow; ++row) {
        if (m_rows[row].stopsRecalculation())
            return row;
    }
    return -1;
}

WorksheetTotals WorksheetValues::recalculate(CellTable &cells)
{
    const int stopping = firstStoppingRow();
    const int end = stopping >= 0 ? stopping : std::max(rowCount() - 1, 1);
    m_writingDiffs = true;
    auto write = [&](int row) {
        m_rows[row].flags &= ~RowValues::DiffPending;
        const RowValues &values = m_rows[row];
        if (!values.has(RowValues::Empty))
            writeDifference(cells, row, values.differenceTime, values.owed > values.worked);
    };
    for (int row = m_pendingFrom; row < end; ++row)
        write(row);
    std::erase_if(m_pending, [&](int row) {
        if (row >= end)
            return false;
        write(row);
        return true;
    });
    m_writingDiffs = false;
    m_pendingFrom = std::max(m_pendingFrom, end);
    if (stopping >= 0) {
        // Reading the row again raises what the recalculation raises there.
        readDuration(cells.cell(TimeColumn, stopping));
        readDuration(cells.cell(NominalTimeColumn, stopping));
    }
    WorksheetSums sums;
    sums.home = m_home;
    sums.nominal = m_nominal;
    if (rowCount() > 1) {
        const RowValues &last = m_rows.back();
        if (!last.has(RowValues::Empty)) {
            sums.home -= last.has(RowValues::TimeReads) ? last.worked : 0;
            sums.nominal -= last.has(RowValues::NominalTimeReads) ? last.owed : 0;
        }
    }
    sums.readDates(cells);
    return sums.texts();
}

void WorksheetValues::countEveryDay(const CellTable &cells) const
{
    if (m_daysCounted)
        return;
    const int century = currentCentury();
    std::vector<QStringView> texts;
    for (int row = 1; row < rowCount(); ++row) {
        if (m_rows[row].has(RowValues::Empty))
            continue;
        cells.rowCells(row, texts);
        readDays(m_rows[row], texts, century);
        countDays(m_rows[row], 1);
    }
    m_daysCounted = true;
}

Balance WorksheetValues::rowsOf(const CellTable &cells, QDate day) const
{
    countEveryDay(cells);
    const qint32 julian = qint32(day.toJulianDay());
    const auto found = m_days.find(julian);
    Balance balance = found == m_days.end() ? Balance() : found->second;
    // The bottom line is no data row.
    if (rowCount() > 1) {
        const RowValues &last = m_rows.back();
        if (last.has(RowValues::StartReads) && last.has(RowValues::TimeReads) && last.startDay == julian)
            balance.home -= last.worked;
        if (last.has(RowValues::NominalDateReads) && last.has(RowValues::NominalTimeReads) && last.nominalDay == julian)
            balance.owed -= last.owed;
    }
    return balance;
}

bool WorksheetValues::owesOn(const CellTable &cells, QDate day) const
{
    countEveryDay(cells);
    const auto found = m_owingRows.find(qint32(day.toJulianDay()));
    return found != m_owingRows.end() && found->second > 0;
}
