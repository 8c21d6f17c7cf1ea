#include "printout.h"

#include "pageprinter.h"
#include "worksheet.h"

namespace Printout {

const QString TableFormat = QStringLiteral("<28|<28|>15|^20|>15|>15|<50");

QString headingRow()
{
    return QStringLiteral("Work began:  |Work ended: |Work time:| Date:|Nom. time:|Diff.: |Remark: |");
}

QString dataRow(const CellTable &cells, int row)
{
    std::vector<QStringView> texts;
    cells.rowCells(row, texts);
    texts.resize(std::max<size_t>(texts.size(), WorksheetColumnCount));
    QString text;
    for (const auto &[column, separator] : {std::pair {StartColumn, u" |"}, {EndColumn, u" |"}, {TimeColumn, u" | "},
             {NominalDateColumn, u"|"}, {NominalTimeColumn, u" |"}, {DiffColumn, u" |"}, {NotesColumn, u" |"}}) {
        text += texts[column];
        text += QStringView(separator);
    }
    return text;
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

// Each row sets the font again, which is mostly the one it has.
void setFontName(TPagePrinter &printer, const QString &name)
{
    if (name.isEmpty() || printer.font().family() == name.left(31))
        return;
    QFont font = printer.font();
    font.setFamily(name.left(31));
    printer.setFont(font);
}

void setFontSize(TPagePrinter &printer, int points)
{
    if (points <= 0 || printer.font().pointSize() == points) // no font has such a size
        return;
    QFont font = printer.font();
    font.setPointSize(points);
    printer.setFont(font);
}

WorksheetDocument::WorksheetDocument(
    const CellTable &cells, RowLook look, const QString &fontName, int fontSize, const QStringList &totals)
    : m_cells(cells)
    , m_look(look)
    , m_fontName(fontName)
    , m_fontSize(fontSize)
    , m_totals(totals)
{ }

// The heading, the data rows, the totals.
qsizetype WorksheetDocument::pieceCount() const
{
    return std::max(m_cells.rowCount(), 1) + 1;
}

void WorksheetDocument::writePiece(TPagePrinter &printer, qsizetype piece)
{
    if (piece == 0) {
        printer.setWordWrap(true);
        setFontName(printer, QStringLiteral("Courier New"));
        printer.WriteTableRow(headingRow());
    } else if (piece < m_cells.rowCount()) {
        applyLook(printer);
        printer.WriteTableRow(dataRow(m_cells, int(piece)));
    } else {
        printer.WriteLines(true);
        if (m_totals.size() == 3)
            writeTotals(printer, m_totals[0], m_totals[1], m_totals[2]);
    }
}

void WorksheetDocument::applyLook(TPagePrinter &printer) const
{
    switch (m_look) {
    case RowLook::AsBefore:
        setFontName(printer, QStringLiteral("Courier New"));
        break;
    case RowLook::ChosenSize:
        setFontSize(printer, m_fontSize);
        setFontName(printer, m_fontName);
        break;
    default:
        setFontName(printer, m_fontName);
        setFontSize(printer, m_fontSize);
        break;
    }
    if (m_look == RowLook::FramesOn || m_look == RowLook::FramesOff)
        printer.setTableGrid(m_look == RowLook::FramesOn);
}

} // namespace Printout
