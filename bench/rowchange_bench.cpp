// A change of one row in the main window on a big worksheet, with working
// hours set: Stop, Update of one period (with its sort), Insert and Delete,
// each the whole handler as the button runs it (the rows changed, the totals
// and today's balance shown, the save begun). Each is timed in turns with its
// floor, recalculating one row: reading its Start and End, writing its Time
// and its Diff.

#include "celltable.h"
#include "clocksource.h"
#include "floorcomparison.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "maskededit.h"
#include "onoffswitch.h"
#include "worksheetwindow.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int Pairs = 10;

// Times change (after prepare, which is not timed) against the floor on the
// row in the middle of the worksheet.
void compareChange(benchmark::State &state, const char *name, const std::function<void(TForm1 &)> &prepare,
    const std::function<void(TForm1 &)> &change)
{
    const int rows = int(state.range(0));
    FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    auto form = openWorksheetWithWorkingHours(QString::fromLatin1(name), rows);
    compareWithFloor(
        state, Pairs,
        [&] {
            clock.advance(60);
            prepare(*form);
            waitForTheSave(*form);
            const double ms = millisecondsOf([&] { change(*form); });
            waitForTheSave(*form);
            return ms;
        },
        [&] { return recalculatingOneRow(form->Grid1->cellTable(), form->Grid1->RowCount() / 2); });
}

void selectMiddleRow(TForm1 &form)
{
    const int middle = form.Grid1->RowCount() / 2;
    form.Grid1->setSelection({0, middle, form.Grid1->ColCount() - 1, middle});
    form.Grid1DblClick();
}

void BM_Stop(benchmark::State &state)
{
    compareChange(
        state, "stop", [](TForm1 &form) { form.Switch1->setStateOn(true); },
        [](TForm1 &form) { form.Switch1->setStateOn(false); });
}

// The period keeps its place: its nominal time alone changes.
void BM_UpdateOnePeriod(benchmark::State &state)
{
    compareChange(
        state, "updateone",
        [](TForm1 &form) {
            selectMiddleRow(form);
            const bool longer = form.MaskEdit3->Text() == QStringLiteral("07:24");
            form.MaskEdit3->setText(longer ? QStringLiteral("07:25") : QStringLiteral("07:24"));
        },
        [](TForm1 &form) { form.btnV1Click(); });
}

void BM_Insert(benchmark::State &state)
{
    compareChange(state, "insert", selectMiddleRow, [](TForm1 &form) { form.btnInsLineClick(); });
}

void BM_Delete(benchmark::State &state)
{
    compareChange(state, "delete", selectMiddleRow, [](TForm1 &form) { form.btnDeleteClick(); });
}

} // namespace

BENCHMARK(BM_Stop)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_UpdateOnePeriod)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Insert)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Delete)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
