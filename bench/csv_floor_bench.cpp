// Saving and loading the worksheet, each next to its floor: a minimal program
// doing only the work that cannot be avoided (writing the same bytes and
// syncing them to disk; reading the file and finding its fields). Every
// iteration runs both, in turns, on the same file; the medians and their
// ratio are the counters. The load, recalculation and save of a session are
// compared with Python's csv module doing the same work (csv_baseline.py).
//
// The time column shows Worktally's own time.

#include "fieldscan.h"
#include "floorcomparison.h"
#include "hypergrid.h"
#include "overviewgrid.h"
#include "samplefiles.h"
#include "worksheetfile.h"
#include "worksheettotals.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <fcntl.h>
#include <functional>
#include <malloc.h>
#include <memory>
#include <QFile>
#include <QProcess>
#include <unistd.h>
#include <vector>

namespace {

// Runs Worktally's work and the floor's in turns, each going first every other
// time so that neither always meets the caches the other left. floor gives
// its own time, for a floor that runs in another process; tidy, if given,
// runs untimed after Worktally's work (freeing a big grid is not measured).
void compare(benchmark::State &state, const std::function<void()> &worktally, const std::function<double()> &floor,
    const std::function<void()> &tidy = {})
{
    // Each run starts, as a freshly started program does, with no memory
    // freed by the one before it at hand: what a run takes it has to fault
    // in. Otherwise one side's time depends on what the other left behind.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024); // fixed: big blocks always mapped anew
    std::vector<double> ours;
    std::vector<double> floors;
    auto runFloor = [&] {
        malloc_trim(0);
        floors.push_back(floor());
    };
    for (auto _ : state) {
        const bool floorFirst = ours.size() % 2;
        if (floorFirst)
            runFloor();
        malloc_trim(0);
        ours.push_back(millisecondsOf(worktally));
        if (tidy)
            tidy();
        if (!floorFirst)
            runFloor();
        state.SetIterationTime(ours.back() / 1000);
    }
    reportAgainstFloor(state, ours, floors);
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The save floor: the bytes written with write() and synced to disk.
void writeAndSync(const QByteArray &path, const QByteArray &bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written <= 0)
            break;
        done += written;
    }
    ::fdatasync(fd);
    ::close(fd);
}

std::unique_ptr<THyperGrid> overviewGrid()
{
    auto grid = std::make_unique<THyperGrid>();
    configureOverviewGrid(*grid);
    return grid;
}

std::unique_ptr<THyperGrid> loadedGrid(const QString &path)
{
    auto grid = overviewGrid();
    grid->LoadFromCSV(0, 1, path);
    return grid;
}

void BM_SaveVsFloor(benchmark::State &state)
{
    const auto grid = loadedGrid(sampleFile(int(state.range(0))));
    WorksheetFile file(dataFolder() + QStringLiteral("/saved.csv"));
    // Started without a file, so that no backup is written.
    QFile::remove(file.path());
    file.noteLoading();
    WorksheetFile::Save save = file.prepareSave(grid->csvRows(0, 1));
    save.run();
    file.noteSaved(save);
    const QByteArray bytes = contentOf(file.path());
    const QByteArray floorPath = QFile::encodeName(dataFolder() + QStringLiteral("/floor.csv"));

    // As the program saves: the check for a change on disk, the write and
    // taking note of the file written.
    compare(
        state,
        [&] {
            benchmark::DoNotOptimize(file.changedOnDisk());
            WorksheetFile::Save save = file.prepareSave(grid->csvRows(0, 1));
            save.run();
            file.noteSaved(save);
        },
        [&] { return millisecondsOf([&] { writeAndSync(floorPath, bytes); }); });
    reportGoal(state, 1.5);
}

void BM_LoadVsFloor(benchmark::State &state)
{
    const QString path = sampleFile(int(state.range(0)));
    const QByteArray floorPath = QFile::encodeName(path);
    WorksheetFile file(path);
    // The start-up's load, which keeps the file for the backup, comes first
    // and untimed; the loads timed are like a reload.
    file.noteLoading();
    file.noteLoaded(overviewGrid()->LoadFromCSV(0, 1, path));
    std::unique_ptr<THyperGrid> grid;
    // As the program loads: taking note of the file and of the bytes read.
    compare(
        state,
        [&] {
            grid = overviewGrid();
            file.noteLoading();
            file.noteLoaded(grid->LoadFromCSV(0, 1, path));
        },
        [&] { return millisecondsOf([&] { benchmark::DoNotOptimize(scanFields(floorPath.constData())); }); },
        [&] { grid.reset(); });
    if (state.range(0) == 100000)
        reportGoal(state, 1.5);
}

// Python's run is timed by the script itself, without the interpreter's
// start.
double pythonMilliseconds(const QString &in, const QString &out)
{
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral(CSV_BASELINE_SCRIPT), QStringLiteral("--once"), in, out});
    python.waitForFinished(-1);
    bool ok = false;
    const double ms = python.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? ms : std::nan("");
}

void BM_LoadRecalculateSaveVsPython(benchmark::State &state)
{
    const QString path = sampleFile(int(state.range(0)));
    const QString out = dataFolder() + QStringLiteral("/saved.csv");
    const QString pythonOut = dataFolder() + QStringLiteral("/python.csv");
    if (std::isnan(pythonMilliseconds(path, pythonOut))) {
        state.SkipWithError("python3 cannot run csv_baseline.py");
        return;
    }
    std::unique_ptr<THyperGrid> grid;
    compare(
        state,
        [&] {
            grid = loadedGrid(path);
            benchmark::DoNotOptimize(recalculateWorksheet(grid->cellTable()));
            grid->SaveToCSV(0, 1, out);
        },
        [&] { return pythonMilliseconds(path, pythonOut); }, [&] { grid.reset(); });
    // Here the "floor" is Python, and the ratio is best read the other way.
    state.counters["times_faster_than_python"]
        = state.counters["floor_ms"].value / state.counters["worktally_ms"].value;
}

} // namespace

BENCHMARK(BM_SaveVsFloor)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);
BENCHMARK(BM_LoadVsFloor)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);
BENCHMARK(BM_LoadRecalculateSaveVsPython)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(7);
