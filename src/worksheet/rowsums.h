#pragma once

#include "today.h"
#include "worksheettotals.h"

#include <optional>
#include <QByteArrayView>
#include <QDate>

class CellTable;

/// What a run of a worksheet's data rows adds to its summary: the minutes of
/// the totals with the dates of its first and last row, and the balance of
/// its rows dated today and in today's week (Monday to Sunday).
struct RowSums
{
    WorksheetSums sums;
    bool anyRow = false;
    Balance today;
    Balance week;

    /// Adds the rows that come after these.
    RowSums &operator+=(const RowSums &later);
};

/// The sums of the data rows of cells, a table as worksheetRows reads it.
/// Recalculates their differences, and raises ConversionError where
/// sumWorksheet does.
RowSums sumRows(CellTable &cells, QDate today);

/// The same straight from a worksheet file's bytes, no cell made into a
/// text, when each line is one this program writes: its first six fields
/// quoted and in the worksheet's own forms with times that read, or no text
/// at all. Lines may end in any way the file reader knows. None for
/// anything else, such bytes to be read by worksheetRows.
std::optional<RowSums> sumWrittenLines(QByteArrayView bytes, QDate today);

/// The sums of a worksheet file's bytes as worksheetRows reads them, straight
/// from the bytes where sumWrittenLines can.
RowSums sumLines(QByteArrayView bytes, QDate today);
