// The minute update while the stopwatch runs with working hours set: how long
// one LiveTimerTimer call holds the GUI thread on a big worksheet. Its floor
// is recalculating the running row alone: reading its Start and End, writing
// its Time and its Diff.

#include "celltable.h"
#include "clocksource.h"
#include "floorcomparison.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "onoffswitch.h"
#include "worksheet.h"
#include "worksheettotals.h"
#include "worksheetwindow.h"

#include <benchmark/benchmark.h>

namespace {

void BM_MinuteUpdate(benchmark::State &state)
{
    const int rows = int(state.range(0));
    FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    auto form = openWorksheetWithWorkingHours(QStringLiteral("minute"), rows);
    form->Switch1->setStateOn(true);
    waitForTheSave(*form);
    CellTable &cells = form->Grid1->cellTable();
    const int running = cells.trackedRow();
    // Starting the stopwatch added a row without recalculating: the first
    // minute works out every row again, the ones after it the running row.
    clock.advance(60);
    state.counters["first_minute_ms"] = millisecondsOf([&] { form->LiveTimerTimer(); });
    compareWithFloor(
        state, 10,
        [&] {
            clock.advance(60);
            return millisecondsOf([&] { form->LiveTimerTimer(); });
        },
        [&] { return recalculatingOneRow(cells, running); });
    state.counters["running_minutes"] = double(readDuration(cells.cell(TimeColumn, running)).minutes);
}

} // namespace

BENCHMARK(BM_MinuteUpdate)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
