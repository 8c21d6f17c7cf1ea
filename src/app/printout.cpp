#include "printout.h"

#include "pageprinter.h"
#include "stringgrid.h"
#include "worksheet.h"

namespace Printout {

const QString TableFormat = QStringLiteral("<28|<28|>15|^20|>15|>15|<50");

QString headingRow()
{
    return QStringLiteral("Work began:  |Work ended: |Work time:| Date:|Nom. time:|Diff.: |Remark: |");
}

QString dataRow(const TStringGrid &grid, int row)
{
    auto cell = [&](int col) { return grid.Cells(col, row); };
    return cell(StartColumn) + QStringLiteral(" |") + cell(EndColumn) + QStringLiteral(" |") + cell(TimeColumn)
        + QStringLiteral(" | ") + cell(NominalDateColumn) + QStringLiteral("|") + cell(NominalTimeColumn)
        + QStringLiteral(" |") + cell(DiffColumn) + QStringLiteral(" |") + cell(NotesColumn) + QStringLiteral(" |");
}

void writeTotals(TPagePrinter &printer, const QString &home, const QString &nominal, const QString &difference)
{
    printer.NewLine();
    printer.WriteAlignedLine(Qt::AlignHCenter, QString(76, u'-'));
    printer.NewLine();
    printer.WriteTextLine(QStringLiteral("Result for the period: "));
    printer.NewLine();
    // Each label at the left margin, its value ending at the right one.
    printer.WriteText(QStringLiteral("Actual Workhours:  "));
    printer.WriteAlignedLine(Qt::AlignRight, home.trimmed());
    printer.WriteText(QStringLiteral("Nominal Workhours: "));
    printer.WriteAlignedLine(Qt::AlignRight, nominal.trimmed());
    printer.WriteAlignedLine(Qt::AlignRight, QString(35, u'-'));
    printer.WriteText(QStringLiteral("Difference (total for period): "));
    printer.WriteAlignedLine(Qt::AlignRight, difference.trimmed());
    printer.WriteAlignedLine(Qt::AlignRight, QString(35, u'='));
    printer.NewLine();
    printer.WriteAlignedLine(Qt::AlignHCenter, QString(77, u'-'));
}

void setFontName(TPagePrinter &printer, const QString &name)
{
    if (name.isEmpty())
        return;
    QFont font = printer.font();
    font.setFamily(name.left(31));
    printer.setFont(font);
}

void setFontSize(TPagePrinter &printer, int points)
{
    if (points <= 0) // no font has such a size
        return;
    QFont font = printer.font();
    font.setPointSize(points);
    printer.setFont(font);
}

} // namespace Printout
