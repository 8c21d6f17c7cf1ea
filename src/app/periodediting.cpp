// The edit panel of the main window: loading the current row into it,
// writing it back ("Update"), inserting and deleting rows.

#include "mainwindow.h"

#include "clocksource.h"
#include "dateedit.h"
#include "datetimetext.h"
#include "gridsorter.h"
#include "hypergrid.h"
#include "maskededit.h"
#include "messages.h"
#include "onoffswitch.h"
#include "worksheeteditor.h"
#include "worksheetfile.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QScopedValueRollback>

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
    const PeriodTexts period = m_editor->period(row);
    DateEdit1->setText(period.startDate);
    MaskEdit1->setText(period.startTime);
    DateEdit3->setText(period.endDate);
    MaskEdit2->setText(period.endTime);
    DateEdit2->setText(period.nominalDate);
    MaskEdit3->setText(period.nominalTime);
    memo1->setPlainText(period.notes);
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
    const PeriodTexts typed {DateEdit1->Text(), MaskEdit1->Text(), DateEdit3->Text(), MaskEdit2->Text(),
        DateEdit2->Text(), MaskEdit3->Text(), memo1->toPlainText()};
    writePeriod(Grid1->Row(), typed);
}

void TForm1::writePeriod(int row, const PeriodTexts &period)
{
    const std::optional<WorksheetEditor::Written> written = m_editor->update(row, period, ClockSource::now());
    if (!written)
        return;
    if (written->sortedAsText)
        showMessage(TSortAStringGrid::statusText(TSortAStringGrid::NotAllDates), MessageKind::Warning);
    // The highlight follows the period just written, so that the next Update
    // writes to it again.
    selectRow(written->row);
    Button1Click();
    saveChange();
}

void TForm1::btnInsLineClick()
{
    const int inserted = m_editor->insertBelow(Grid1->Row(), m_workingHours);
    Grid1DblClick();
    Grid1->setRow(inserted);
    DateEdit1->setFocus();
    showToday();
    saveChange();
}

void TForm1::btnDeleteClick()
{
    const std::optional<int> current = m_editor->deleteRow(Grid1->Selection().Top, Grid1->Row());
    if (!current)
        return;
    Grid1->setRow(*current);
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

void TForm1::undoChange()
{
    // Undoing a reload saves the rows from before it over the file: the rows
    // the reload brought in are kept beside it first, as the reload kept the
    // window's.
    if (m_editor->history().undoReplacesEveryRow()) {
        const QString reloadedVersion = m_worksheetFile->datedPath();
        Grid1->SaveToCSV(0, 1, reloadedVersion);
        showMessage(QStringLiteral("The worksheet from before the reload is shown again. The reloaded worksheet is "
                                   "kept as %1.")
                        .arg(QDir::toNativeSeparators(reloadedVersion)));
    }
    showHistoryStep(m_editor->undo());
}

void TForm1::redoChange()
{
    showHistoryStep(m_editor->redo());
}

// The switch follows the running period without what turning it on or off
// does: no row is written or closed then.
void TForm1::showHistoryStep(std::optional<int> row)
{
    if (!row)
        return;
    const bool running = runningRow() != 0;
    if (Switch1->StateOn() != running) {
        const QScopedValueRollback noStart(Switch1->OnOn, {});
        const QScopedValueRollback noStop(Switch1->OnOff, {});
        Switch1->setStateOn(running);
        showStopwatchRunning(running);
    }
    selectRow(std::min(*row, Grid1->RowCount() - 1));
    Button1Click();
    saveChange();
}
