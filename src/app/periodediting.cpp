// The edit panel of the main window: loading the current row into it,
// writing it back ("Update"), inserting and deleting rows.

#include "mainwindow.h"

#include "clocksource.h"
#include "dateedit.h"
#include "datetimetext.h"
#include "errors.h"
#include "gridsorter.h"
#include "hypergrid.h"
#include "maskededit.h"
#include "messages.h"
#include "onoffswitch.h"
#include "worksheet.h"
#include "worksheettotals.h"

#include <cmath>
#include <QPlainTextEdit>

namespace {

const QString CannotEditLine = QStringLiteral("You can't edit this line");

// A Start or End text split at its first blank: the date before, the time
// after; without a blank, no date and the whole text as the time.
std::pair<QString, QString> splitAtBlank(const QString &text)
{
    const qsizetype blank = text.indexOf(u' ');
    if (blank < 0)
        return {QString(), text};
    return {text.left(blank), text.mid(blank + 1)};
}

constexpr qint64 MinutesPerDay = 24 * 60;

// Update writes nothing that the worksheet could not use later: every text
// must read as what its column holds, and the period must run forward for
// less than a day, since its Time shows only hours and minutes. A period of
// no length is fine: the stopwatch and Insert make those.
void checkPeriod(const QString &start, const QString &end, const QString &nominalDate, const QString &nominalTime)
{
    const DateTime from = parseDateTime(start);
    const DateTime to = parseDateTime(end);
    parseDate(nominalDate);
    readDuration(nominalTime);
    const qint64 minutes = std::llround((to - from) * MinutesPerDay);
    if (minutes < 0)
        throw WorktallyError(QStringLiteral("The period ends before it starts."));
    if (minutes >= MinutesPerDay)
        throw WorktallyError(QStringLiteral("A period must be shorter than 24 hours."));
}

} // namespace

void TForm1::fillEditPanel()
{
    const int row = Grid1->Row();
    if (row >= Grid1->RowCount() - 1) {
        const DateTime now = ClockSource::now();
        for (TDateEdit *date : {DateEdit1, DateEdit3, DateEdit2})
            date->setText(formatDateText(now));
        MaskEdit1->setText(formatTimeText(now));
        MaskEdit2->setText(formatTimeText(now));
        MaskEdit3->setText(QStringLiteral("00:00"));
        memo1->clear();
        return;
    }
    const auto [startDate, startTime] = splitAtBlank(Grid1->Cells(StartColumn, row));
    DateEdit1->setText(startDate);
    MaskEdit1->setText(startTime);
    const auto [endDate, endTime] = splitAtBlank(Grid1->Cells(EndColumn, row));
    DateEdit3->setText(endDate);
    MaskEdit2->setText(endTime);
    DateEdit2->setText(Grid1->Cells(NominalDateColumn, row));
    MaskEdit3->setText(Grid1->Cells(NominalTimeColumn, row));
    memo1->setPlainText(Grid1->Cells(NotesColumn, row));
}

void TForm1::selectRow(int row)
{
    Grid1->setSelection({0, row, Grid1->ColCount() - 1, row});
    fillEditPanel();
}

void TForm1::Grid1DblClick()
{
    if (Grid1->Row() >= Grid1->RowCount() - 1) {
        showMessage(CannotEditLine);
        Grid1->setRow(Grid1->RowCount() - 2); // loads that row in turn
        return;
    }
    fillEditPanel();
}

void TForm1::btnV1Click()
{
    const int row = Grid1->Row();
    // The bottom line must stay empty: what was written there would be
    // ignored by the totals and overwritten by the stopwatch.
    if (row >= Grid1->RowCount() - 1) {
        showMessage(CannotEditLine);
        return;
    }
    const QString start = DateEdit1->Text() + u' ' + MaskEdit1->Text();
    // The running period lasts until now, whatever End the panel shows from
    // the last save: its start may be moved past that End.
    const QString end
        = row == runningRow() ? formatDateTimeText(ClockSource::now()) : DateEdit3->Text() + u' ' + MaskEdit2->Text();
    checkPeriod(start, end, DateEdit2->Text(), MaskEdit3->Text());
    Grid1->setCells(NotesColumn, row, memo1->toPlainText());
    Grid1->setCells(NominalDateColumn, row, DateEdit2->Text());
    Grid1->setCells(NominalTimeColumn, row, MaskEdit3->Text());
    Grid1->setCells(StartColumn, row, start);
    Grid1->setCells(EndColumn, row, end);
    writeDuration(row);

    // A single data row is in order already (the sorter would call its range
    // empty). After sorting, the highlight follows the period just written,
    // so that the next Update writes to it again.
    int written = row;
    if (Grid1->RowCount() - 2 >= 2) {
        SortAStringGrid1->setSortIndex(StartColumn);
        SortAStringGrid1->setStartIndex(1);
        SortAStringGrid1->setEndIndex(Grid1->RowCount() - 2);
        SortAStringGrid1->SortGrid();
        written = SortAStringGrid1->newIndexOf(row);
    }
    selectRow(written);
    Button1Click();
    saveChange();
}

void TForm1::btnInsLineClick()
{
    const int row = Grid1->Row();
    const QString date = splitAtBlank(Grid1->Cells(EndColumn, row)).first;
    const int inserted = row + 1;
    Grid1->InsertRow(inserted);
    writeEmptyPeriod(inserted, parseDateTime(date + QStringLiteral(" 00:00")));
    Grid1DblClick();
    Grid1->setRow(inserted);
    DateEdit1->setFocus();
    showToday();
    saveChange();
}

void TForm1::btnDeleteClick()
{
    const QString bottomLine = QStringLiteral("The empty bottomline cannot be deleted !");
    // With no data row left there is nothing to delete; removing the bottom
    // line itself would leave the worksheet without one.
    if (Grid1->RowCount() <= 2) {
        showMessage(bottomLine);
        return;
    }
    const int marked = Grid1->Selection().Top;
    const int current = Grid1->Row();
    if (marked == Grid1->RowCount() - 1)
        showMessage(bottomLine);
    if (marked == 1) {
        Grid1->RemoveRow(1);
        Grid1->setRow(1);
    } else {
        Grid1->RemoveRow(current);
        Grid1->setRow(marked - 1);
    }
    // Deleting the bottom line brings a fresh one.
    const int last = Grid1->RowCount() - 1;
    if (!Grid1->Cells(EndColumn, last).isEmpty())
        Grid1->setRowCount(Grid1->RowCount() + 1);
    // The running period deleted: the stopwatch stops without closing
    // another row.
    if (Switch1->StateOn() && !runningRow())
        Switch1->setStateOn(false);
    // The current row may be the same number as before (row 1, or the last
    // row once the bottom line went) and then was not loaded: the panel would
    // still show the period just deleted.
    fillEditPanel();
    Button1Click();
    saveChange();
}
