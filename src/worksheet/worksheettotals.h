#pragma once

#include "datetime.h"

#include <optional>
#include <QString>

class CellTable;

/// A Time or hh:mm cell as the recalculation reads it.
struct Duration
{
    DateTime time; // as a time of day
    qint64 minutes; // hours × 60 + minutes, read from the text itself
};

/// Reads a Time or hh:mm cell; a text that is not a valid time, or whose
/// minutes are not a plain number, raises ConversionError.
Duration readDuration(QStringView cell);
/// The minutes of a Time or hh:mm cell; none where readDuration raises.
std::optional<qint64> tryReadMinutes(QStringView cell);

/// The three totals texts of the status bar.
struct WorksheetTotals
{
    QString home; // first and last End date, home total
    QString nominal; // first and last nominal date, nominal total
    QString difference; // signed home total minus nominal total
};

/// What the totals texts are made of.
struct WorksheetSums
{
    qint64 home = 0; // minutes of every Time
    qint64 nominal = 0; // minutes of every hh:mm
    // The dates the totals run between: the date part of the first and last
    // data rows' End, and their nominal Date.
    QString firstEndDate;
    QString lastEndDate;
    QString firstNominalDate;
    QString lastNominalDate;

    /// Reads the four dates from the first and last data rows of cells.
    void readDates(const CellTable &cells);
    WorksheetTotals texts() const;
};

/// A difference of minute totals as the status bar shows it: "-" when it is
/// negative, else "+", then the hours and minutes (-02:03, +100:00).
QString formatDifference(qint64 minutes);

/// Writes row's Diff. from its Time and hh:mm, read as worked and owed.
void writeDifference(CellTable &cells, int row, const Duration &worked, const Duration &owed);
/// The same from what it is made of: the size of the difference of the two
/// times of day, and whether the hh:mm's minutes exceed the Time's.
void writeDifference(CellTable &cells, int row, DateTime magnitude, bool owedMore);

/// Rewrites the Diff. column of every data row (rows 1 … rowCount-2) from
/// its Time and hh:mm, and returns what the totals are made of. A row that
/// holds nothing is passed over.
///
/// A Time or hh:mm that is not a valid time raises ConversionError: the rows
/// before it keep their new difference, the rest is left as it was.
WorksheetSums sumWorksheet(CellTable &cells);
/// sumWorksheet's totals texts.
inline WorksheetTotals recalculateWorksheet(CellTable &cells)
{
    return sumWorksheet(cells).texts();
}
