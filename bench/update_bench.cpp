// "Update" in the main window on a 100 000-row worksheet: the row is written
// back, the rows are sorted by start and the totals recalculated. The parts
// are timed on their own too, to show where the time goes.

#include "dateedit.h"
#include "gridsorter.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "maskededit.h"
#include "samplefiles.h"
#include "worksheettotals.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QFile>

namespace {

// A main window over a copy of the generated worksheet.
std::unique_ptr<TForm1> openWorksheet(int rows)
{
    const QString folder = dataFolder() + QStringLiteral("/update_%1").arg(rows);
    QDir().mkpath(folder);
    QFile::remove(folder + QStringLiteral("/Hourbook.csv"));
    QFile::copy(sampleFile(rows), folder + QStringLiteral("/Hourbook.csv"));
    return std::make_unique<TForm1>(folder);
}

// Moves a row from the middle to a date earlier than every other, as a
// corrected date would, and presses Update.
void BM_Update(benchmark::State &state)
{
    const int rows = int(state.range(0));
    auto form = openWorksheet(rows);
    for (auto _ : state) {
        const int middle = rows / 2;
        form->Grid1->setSelection({0, middle, 8, middle});
        form->Grid1DblClick();
        form->DateEdit1->setText(QStringLiteral("01-01-00"));
        form->DateEdit3->setText(QStringLiteral("01-01-00"));
        form->btnV1Click();
    }
}

void BM_UpdateSortOnly(benchmark::State &state)
{
    const int rows = int(state.range(0));
    auto form = openWorksheet(rows);
    TSortAStringGrid &sorter = *form->SortAStringGrid1;
    sorter.setStartIndex(1);
    sorter.setEndIndex(form->Grid1->RowCount() - 2);
    for (auto _ : state) {
        state.PauseTiming();
        form->Grid1->MoveRow(rows / 2, 1); // one row out of place
        form->Grid1->setCells(0, 1, QStringLiteral("31-12-99 23:59"));
        state.ResumeTiming();
        sorter.SortGrid();
    }
}

void BM_UpdateRecalculateOnly(benchmark::State &state)
{
    auto form = openWorksheet(int(state.range(0)));
    for (auto _ : state)
        form->Button1Click();
}

} // namespace

BENCHMARK(BM_Update)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UpdateSortOnly)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UpdateRecalculateOnly)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);
