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

/// A difference of minute totals as the status bar shows it: "-" when it is
/// negative, else "+", then the hours and minutes (-02:03, +100:00).
QString formatDifference(qint64 minutes);

/// Rewrites the Diff. column of every data row (rows 1 … rowCount-2) from
/// its Time and hh:mm, and returns the totals texts. A row that holds
/// nothing is passed over.
///
/// A Time or hh:mm that is not a valid time raises ConversionError: the rows
/// before it keep their new difference, the rest is left as it was.
WorksheetTotals recalculateWorksheet(CellTable &cells);
