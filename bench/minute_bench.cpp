// The minute update while the stopwatch runs with working hours set: how long
// one LiveTimerTimer call holds the GUI thread on a big worksheet. Its floor
// is recalculating the running row alone: reading its Start and End, writing
// its Time and its Diff.

#include "celltable.h"
#include "clocksource.h"
#include "datetimetext.h"
#include "floorcomparison.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "onoffswitch.h"
#include "samplefiles.h"
#include "worksheet.h"
#include "worksheettotals.h"

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <thread>

namespace {

// A main window over a copy of the generated worksheet, with working hours
// on every day.
std::unique_ptr<TForm1> openWorksheet(int rows)
{
    const QString folder = dataFolder() + QStringLiteral("/minute_%1").arg(rows);
    QDir().mkpath(folder);
    QFile::remove(folder + QStringLiteral("/Hourbook.csv"));
    QFile::copy(sampleFile(rows), folder + QStringLiteral("/Hourbook.csv"));
    QFile settings(folder + QStringLiteral("/Worktally.Setup"));
    if (settings.open(QIODevice::WriteOnly))
        settings.write("[WorkingHours]\nMon=07:24\nTue=07:24\nWed=07:24\nThu=07:24\nFri=07:24\nSat=01:00\nSun=01:00\n");
    settings.close();
    return std::make_unique<TForm1>(folder);
}

void waitForTheSave(const TForm1 &form)
{
    while (form.isSaving()) {
        QCoreApplication::processEvents();
        std::this_thread::yield();
    }
}

// What any program must do for the running row each minute.
double recalculatingOneRow(CellTable &cells, int row)
{
    return millisecondsOf([&] {
        const DateTime start = parseDateTime(cells.cell(StartColumn, row));
        const DateTime end = parseDateTime(cells.cell(EndColumn, row));
        cells.setCell(TimeColumn, row, formatTimeText(std::abs(end - start)));
        writeDifference(
            cells, row, readDuration(cells.cell(TimeColumn, row)), readDuration(cells.cell(NominalTimeColumn, row)));
    });
}

void BM_MinuteUpdate(benchmark::State &state)
{
    const int rows = int(state.range(0));
    FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    auto form = openWorksheet(rows);
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
