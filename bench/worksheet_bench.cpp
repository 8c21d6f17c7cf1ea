// Loading, recalculating and saving worksheets of 10 000 to 1 000 000 rows,
// and loading a line of 10 000 fields.
// The generated files are left in bench-data/ beside this program so that
// csv_baseline.py can read the very same bytes.

#include "hypergrid.h"
#include "overviewgrid.h"
#include "samplefiles.h"
#include "workinghours.h"
#include "worksheetfile.h"
#include "worksheettotals.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

void load(THyperGrid &grid, const QString &path)
{
    configureOverviewGrid(grid);
    grid.LoadFromCSV(0, 1, path);
}

// Freeing a big grid is not part of what is measured.
void dropUntimed(benchmark::State &state, std::unique_ptr<THyperGrid> &grid)
{
    state.PauseTiming();
    grid.reset();
    state.ResumeTiming();
}

void timeLoading(benchmark::State &state, const QString &path)
{
    for (auto _ : state) {
        auto grid = std::make_unique<THyperGrid>();
        load(*grid, path);
        benchmark::DoNotOptimize(grid->RowCount());
        dropUntimed(state, grid);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Load(benchmark::State &state)
{
    timeLoading(state, sampleFile(int(state.range(0))));
}

void BM_Recalculate(benchmark::State &state)
{
    THyperGrid grid;
    load(grid, sampleFile(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(recalculateWorksheet(grid.cellTable()));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Save(benchmark::State &state)
{
    THyperGrid grid;
    load(grid, sampleFile(int(state.range(0))));
    const QString out = dataFolder() + QStringLiteral("/saved.csv");
    for (auto _ : state)
        grid.SaveToCSV(0, 1, out);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A save as the program makes it: the check for a change on disk before
// writing and taking note of the file written.
void BM_SaveCheckingTheDisk(benchmark::State &state)
{
    THyperGrid grid;
    load(grid, sampleFile(int(state.range(0))));
    WorksheetFile file(dataFolder() + QStringLiteral("/saved.csv"));
    // Started without a file, so that no backup is written.
    QFile::remove(file.path());
    file.noteLoading();
    for (auto _ : state) {
        benchmark::DoNotOptimize(file.changedOnDisk());
        WorksheetFile::Save save = file.prepareSave(grid.csvRows(0, 1));
        save.run();
        file.noteSaved(save);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The first save of a run, which also keeps the file loaded at start-up as
// the backup. Each turn starts from a fresh copy of the file, untimed.
void BM_FirstSave(benchmark::State &state)
{
    const QString sample = sampleFile(int(state.range(0)));
    THyperGrid grid;
    load(grid, sample);
    QFile sampleBytes(sample);
    sampleBytes.open(QIODevice::ReadOnly);
    const QByteArray loaded = sampleBytes.readAll();
    const QString folder = dataFolder() + QStringLiteral("/firstsave");
    QDir().mkpath(folder);
    for (auto _ : state) {
        state.PauseTiming();
        WorksheetFile file(folder + QStringLiteral("/Hourbook.csv"));
        QFile::remove(file.path());
        QFile::remove(file.backupPath());
        QFile::copy(sample, file.path());
        file.noteLoading();
        file.noteLoaded(loaded);
        state.ResumeTiming();
        WorksheetFile::Save save = file.prepareSave(grid.csvRows(0, 1));
        save.run();
        file.noteSaved(save);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// What the program does with a worksheet in a session: load it at start-up,
// recalculate, and write it back.
void BM_LoadRecalculateSave(benchmark::State &state)
{
    const QString path = sampleFile(int(state.range(0)));
    const QString out = dataFolder() + QStringLiteral("/saved.csv");
    for (auto _ : state) {
        auto grid = std::make_unique<THyperGrid>();
        load(*grid, path);
        recalculateWorksheet(grid->cellTable());
        grid->SaveToCSV(0, 1, out);
        dropUntimed(state, grid);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LoadRecalculate(benchmark::State &state)
{
    const QString path = sampleFile(int(state.range(0)));
    for (auto _ : state) {
        auto grid = std::make_unique<THyperGrid>();
        load(*grid, path);
        recalculateWorksheet(grid->cellTable());
        dropUntimed(state, grid);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The nominal time of a row that Start or Insert adds, with working hours
// set for every day: the settings are read, then the whole worksheet is
// scanned, since the sample's days never reach the 29th of a month.
void BM_NewRowNominalTime(benchmark::State &state)
{
    THyperGrid grid;
    load(grid, sampleFile(int(state.range(0))));
    const QString settings = dataFolder() + QStringLiteral("/Worktally.Setup");
    WorkingHours hours;
    for (int day = 1; day <= 7; ++day)
        hours.setMinutes(day, 7 * 60 + 24);
    hours.write(settings);
    const DateTime day = fromQDate(QDate(2026, 12, 29));
    for (auto _ : state)
        benchmark::DoNotOptimize(WorkingHours::read(settings).nominalTimeOfNewRow(grid.cellTable(), day));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// One line of many fields, as a file damaged by a run of commas: every field
// beyond the ninth adds a column.
QString wideLineFile(int fields)
{
    const QString path = dataFolder() + QStringLiteral("/wide_%1.csv").arg(fields);
    QFile file(path);
    if (!file.exists() && file.open(QIODevice::WriteOnly)) {
        QByteArray line = "\"01-12-98 08:00\"";
        for (int i = 1; i < fields; ++i)
            line += ",\"" + QByteArray::number(i) + '"';
        file.write(line + "\r\n");
    }
    return path;
}

void BM_LoadWideLine(benchmark::State &state)
{
    timeLoading(state, wideLineFile(int(state.range(0))));
}

// Heap held per row by a loaded worksheet, beyond its characters (two bytes
// each), measured from malloc's own statistics.
void BM_MemoryPerRow(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const QString path = sampleFile(rows);
    for (auto _ : state) {
        malloc_trim(0);
        const size_t before = mallinfo2().uordblks;
        auto grid = std::make_unique<THyperGrid>();
        load(*grid, path);
        malloc_trim(0);
        const size_t after = mallinfo2().uordblks;
        qint64 characters = 0;
        for (int r = 0; r < grid->RowCount(); ++r)
            for (int c = 0; c < grid->ColCount(); ++c)
                characters += grid->cellTable().cell(c, r).size();
        state.counters["bytes_per_row"] = double(after - before) / rows;
        state.counters["overhead_per_row"] = (double(after - before) - 2.0 * characters) / rows;
        state.counters["chars_per_row"] = double(characters) / rows;
    }
}

} // namespace

BENCHMARK(BM_Load)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Recalculate)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Save)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveCheckingTheDisk)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FirstSave)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_LoadRecalculate)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadRecalculateSave)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_NewRowNominalTime)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadWideLine)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MemoryPerRow)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
