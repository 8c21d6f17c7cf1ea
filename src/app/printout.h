#pragma once

#include <QString>

class TPagePrinter;
class TStringGrid;

/// The worksheet as a printable document: a framed table with one row per
/// worksheet row (the two spacer columns left out) and the block of totals.
namespace Printout {

/// The seven columns: 28, 28, 15, 20, 15, 15 and 50 mm.
extern const QString TableFormat;

QString headingRow();
/// The table row of worksheet row `row`.
QString dataRow(const TStringGrid &grid, int row);
/// The totals under the table, from the three status-bar texts.
void writeTotals(TPagePrinter &printer, const QString &home, const QString &nominal, const QString &difference);

/// Sets the family of the printer's font; an empty name leaves it, a longer
/// name is used up to 31 characters.
void setFontName(TPagePrinter &printer, const QString &name);
void setFontSize(TPagePrinter &printer, int points);

} // namespace Printout
