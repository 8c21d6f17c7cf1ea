#include "overviewgrid.h"

#include "hypergrid.h"
#include "worksheet.h"

#include <QPainter>
#include <QPixmap>

QPixmap notesButtonPicture()
{
    QPixmap picture(20, 20);
    picture.fill(toQColor(PurpleColor));
    QPainter p(&picture);
    // A sheet of paper with a cyan title bar, red bullets and blue lines …
    p.fillRect(2, 2, 12, 16, toQColor(WhiteColor));
    p.setPen(toQColor(BlackColor));
    p.drawRect(2, 2, 12, 16);
    p.fillRect(3, 3, 11, 3, toQColor(clAqua));
    for (int y = 8; y <= 15; y += 3) {
        p.fillRect(4, y, 2, 2, toQColor(clRed));
        p.fillRect(7, y, 6, 1, toQColor(BlueColor));
    }
    // … and a yellow pencil writing on it.
    p.setPen(QPen(toQColor(YellowColor), 3));
    p.drawLine(17, 4, 11, 14);
    p.setPen(toQColor(BlackColor));
    p.drawPoint(10, 16);
    return picture;
}

void configureOverviewGrid(THyperGrid &grid)
{
    grid.setColCount(WorksheetColumnCount);
    grid.setRowCount(2);
    grid.setFixedCols(0);
    grid.setFixedRows(1);
    grid.setDefaultColWidth(87);
    grid.setDefaultRowHeight(18);
    grid.setDefaultDrawing(false);
    grid.setColor(clAqua);
    grid.setScrollBars(ScrollStyle::Vertical);
    grid.setFocusPolicy(Qt::ClickFocus); // not a tab stop
    grid.setToolTip(QStringLiteral("Overview"));
    grid.setAccessibleName(QStringLiteral("Overview"));
    grid.setOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect | goDrawFocusSelected
        | goEditing | goRowSelect);
    grid.setHyperOptions(hgoptDrawFocusRectangle | hgoptHighlightSelection);
    grid.setHyperAdjustRowHeight(true);
    grid.setHyperColumnClick(false);

    const int widths[WorksheetColumnCount] = {90, 87, 50, 10, 87, 50, 10, 65, 193};
    for (int col = 0; col < WorksheetColumnCount; ++col)
        grid.setColWidths(col, widths[col]);
    grid.setRowHeights(0, 36);

    grid.Headings().Add()->setCaption(QStringLiteral("Home Worktime"));
    grid.Headings().Add()->setCaption(QStringLiteral("Nominal Worktime"));

    struct ColumnSetup
    {
        int heading;
        HorizontalAlignment alignment;
    };
    const ColumnSetup setup[WorksheetColumnCount] = {
        {0, taRightJustify}, // Start
        {0, taRightJustify}, // End
        {0, taRightJustify}, // Time
        {-1, taLeftJustify}, // spacer
        {1, taCenter}, // Date
        {1, taRightJustify}, // hh:mm
        {-1, taRightJustify}, // spacer
        {-1, taRightJustify}, // Diff.
        {-1, taLeftJustify}, // Notes
    };
    for (int col = 0; col < WorksheetColumnCount; ++col) {
        ThgColumn *column = grid.Columns().Items(col);
        column->setCaption(WorksheetColumnCaptions[col].toString());
        column->setHeadingIndex(setup[col].heading);
        column->setColumnHAlignment(setup[col].alignment);
        if (col <= SecondSpacerColumn)
            column->setTitleVAlignment(hgvaBottom);
    }
    grid.Columns().Items(StartColumn)->setColumnColor(clAqua);

    for (int col : {FirstSpacerColumn, SecondSpacerColumn}) {
        ThgColumn *spacer = grid.Columns().Items(col);
        spacer->setColumnColor(clSilver);
        spacer->setReadOnly(true);
        spacer->setColumnOuterBevel(bvRaised);
    }
    grid.Columns().Items(SecondSpacerColumn)->setTitleColor(clSilver);
    grid.Columns().Items(DiffColumn)->setReadOnly(true);

    // Durations are shown exactly as stored: date/time formatting with
    // neither a date nor a time format.
    for (int col : {TimeColumn, NominalTimeColumn, DiffColumn}) {
        ThgColumn *column = grid.Columns().Items(col);
        column->setFormatType(hgfmtDateTime);
        column->setDateFormat(-1);
        column->setTimeFormat(-1);
    }

    ThgColumn *notes = grid.Columns().Items(NotesColumn);
    notes->setControlType(hgctlButton);
    notes->setMaxTextLength(50);
    notes->setColumnClipStyle(hgclpWrap);
    notes->setButtonStyle(hgbstCustom);
    notes->setButtonPicture(notesButtonPicture());
    notes->setDrawButtonface(true);
    notes->setButtonVAlignment(hgvaCenter);

    grid.Loaded();
}

OverviewGridRows::OverviewGridRows(THyperGrid &grid)
    : RowArrangement(grid.cellTable())
    , m_grid(grid)
{ }

void OverviewGridRows::insertRow(int row)
{
    if (row < m_grid.RowCount())
        m_grid.InsertRow(row);
    else
        m_grid.setRowCount(row + 1);
}

void OverviewGridRows::removeRow(int row)
{
    m_grid.RemoveRow(row);
}

void OverviewGridRows::permuteRows(int first, const std::vector<int> &order)
{
    m_grid.permuteRows(first, order);
}

void OverviewGridRows::resize(int columnCount, int rowCount)
{
    m_grid.setColCount(columnCount);
    m_grid.setRowCount(rowCount);
}
