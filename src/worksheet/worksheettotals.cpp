#include "worksheettotals.h"

#include "celltable.h"
#include "datetimetext.h"
#include "errors.h"
#include "worksheet.h"

#include <algorithm>
#include <cmath>

// Only the first ten characters of a duration cell count.
Duration readDuration(QStringView cell)
{
    const QStringView text = cell.left(10);
    const DateTime time = parseTime(text);
    const qsizetype colon = text.indexOf(u':');
    const qint64 minutes = 60LL * parseInteger(text.left(colon)) + parseInteger(text.mid(colon + 1));
    return {time, minutes};
}

std::optional<qint64> tryReadMinutes(QStringView cell)
{
    try {
        return readDuration(cell).minutes;
    } catch (const ConversionError &) {
        return std::nullopt;
    }
}

QString formatDifference(qint64 minutes)
{
    return (minutes < 0 ? u'-' : u'+') + formatMinuteTotal(minutes);
}

namespace {

// The date part of a Start/End text: its first ten characters up to the
// first blank; empty when there is no blank.
QString datePart(QStringView cell)
{
    const QStringView text = cell.left(10);
    const qsizetype blank = text.indexOf(u' ');
    return blank < 0 ? QString() : text.left(blank).toString();
}

} // namespace

void writeDifference(CellTable &cells, int row, const Duration &worked, const Duration &owed)
{
    writeDifference(cells, row, std::fabs(worked.time - owed.time), owed.minutes > worked.minutes);
}

void writeDifference(CellTable &cells, int row, DateTime magnitude, bool owedMore)
{
    const TimeText text = timeText(magnitude);
    QChar diff[6] = {owedMore ? u'-' : u'+'};
    std::copy_n(text.chars, 5, diff + 1);
    cells.setCell(DiffColumn, row, QStringView(diff, 6));
}

WorksheetSums sumWorksheet(CellTable &cells)
{
    WorksheetSums sums;
    const int lastRow = cells.rowCount() - 2;
    for (int row = 1; row <= lastRow; ++row) {
        // A row that holds nothing adds nothing (loading drops such rows).
        if (cells.cell(TimeColumn, row).isEmpty() && cells.cell(NominalTimeColumn, row).isEmpty()
            && isEmptyRow(cells, row))
            continue;
        const Duration worked = readDuration(cells.cell(TimeColumn, row));
        const Duration owed = readDuration(cells.cell(NominalTimeColumn, row));
        sums.home += worked.minutes;
        sums.nominal += owed.minutes;
        writeDifference(cells, row, worked, owed);
    }
    sums.readDates(cells);
    return sums;
}

void WorksheetSums::readDates(const CellTable &cells)
{
    const int lastRow = cells.rowCount() - 2;
    firstEndDate = datePart(cells.cell(EndColumn, 1));
    lastEndDate = datePart(cells.cell(EndColumn, lastRow));
    firstNominalDate = cells.text(NominalDateColumn, 1);
    lastNominalDate = cells.text(NominalDateColumn, lastRow);
}

WorksheetTotals WorksheetSums::texts() const
{
    WorksheetTotals totals;
    totals.home = firstEndDate + QStringLiteral(" - ") + lastEndDate + QStringLiteral(":   ") + formatMinuteTotal(home)
        + QStringLiteral("  ");
    totals.nominal = firstNominalDate + QStringLiteral(" - ") + lastNominalDate + QStringLiteral(":  -")
        + formatMinuteTotal(nominal) + QStringLiteral(" ");
    totals.difference = formatDifference(home - nominal);
    return totals;
}
