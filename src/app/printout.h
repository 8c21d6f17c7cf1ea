#pragma once

#include "celltable.h"
#include "documentsource.h"

#include <QString>
#include <QStringList>
#include <vector>

class TPagePrinter;

/// The worksheet as a printable document: a framed table with one row per
/// worksheet row (the two spacer columns left out) and the block of totals.
namespace Printout {

/// The seven columns: 28, 28, 15, 20, 15, 15 and 50 mm.
extern const QString TableFormat;

/// How the table rows are to look in a rebuild.
enum class RowLook { AsBefore, ChosenFont, ChosenSize, FramesOn, FramesOff };

QString headingRow();
/// The table row of worksheet row `row`.
QString dataRow(const CellTable &cells, int row);
/// The totals under the table, from the three status-bar texts.
void writeTotals(TPagePrinter &printer, const QString &home, const QString &nominal, const QString &difference);

/// Sets the family of the printer's font; an empty name leaves it, a longer
/// name is used up to 31 characters.
void setFontName(TPagePrinter &printer, const QString &name);
void setFontSize(TPagePrinter &printer, int points);

/// The printout written a row at a time: the heading row, one table row per
/// worksheet row with the row look applied before each, then the totals.
/// It prints the worksheet as it was when it was made, whatever is edited
/// afterwards.
class WorksheetDocument final : public DocumentSource
{
public:
    /// The data rows are rows 1 … rowCount() - 1 of cells, in font
    /// fontName and fontSize as look says; totals are the three status-bar
    /// texts, or none.
    WorksheetDocument(
        const CellTable &cells, RowLook look, const QString &fontName, int fontSize, const QStringList &totals);

    qsizetype pieceCount() const override;
    void writePiece(TPagePrinter &printer, qsizetype piece) override;

private:
    void applyLook(TPagePrinter &printer) const;

    // A copy shares its rows with the grid's until one of them changes, so
    // it is made at once whatever the worksheet's size.
    CellTable m_cells;
    RowLook m_look;
    QString m_fontName;
    int m_fontSize;
    QStringList m_totals;
};

} // namespace Printout
