#pragma once

#include <QString>

class CellTable;

/// The three totals texts of the status bar.
struct WorksheetTotals
{
    QString home; // first and last End date, home total
    QString nominal; // first and last nominal date, nominal total
    QString difference; // signed home total minus nominal total
};

/// Rewrites the Diff. column of every data row (rows 1 … rowCount-2) from
/// its Time and hh:mm, and returns the totals texts.
///
/// A Time or hh:mm that is not a valid time raises ConversionError: the rows
/// before it keep their new difference, the rest is left as it was.
WorksheetTotals recalculateWorksheet(CellTable &cells);
