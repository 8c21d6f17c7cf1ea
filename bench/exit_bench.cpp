// The saving exit of a worksheet of 1 000 000 rows: the time from SIGTERM
// (what a logout sends) to the end of the process, which saves the worksheet
// on that signal, next to its floor: dd writing the same bytes into a file
// in the same folder and syncing them (conv=fdatasync), as a process.
//
// The program starts in a fresh data folder each time, so this save is the
// first of its run and keeps the version it loaded as Hourbook.csv.bak; the
// backup's bytes count for the floor only when they were written rather
// than linked. The signal comes once the window is mapped and the program
// is idle. The two are run alternately; the counters give the medians,
// their ratio and the highest ratio aimed at.

#include "floorcomparison.h"
#include "startupprobes.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <QFile>
#include <QStandardPaths>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

ino_t inodeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

/// Milliseconds from SIGTERM to the end of the program, started on display
/// with rows rows; negative when it failed. written gets the files the save
/// wrote.
double savingExit(MapWatcher &watcher, const QString &display, int rows, QStringList &written)
{
    const Probe probe = worktallyProbe(QStringLiteral(WORKTALLY_EXECUTABLE), display, rows);
    const QString worksheet = dataFolderOf(probe) + QStringLiteral("/Hourbook.csv");
    const QString backup = worksheet + QStringLiteral(".bak");
    const ino_t loaded = inodeOf(worksheet);
    const MapWatcher::Started started = watcher.startUntilMapped(probe, std::chrono::minutes(5));
    if (started.pid < 0)
        return -1;
    if (started.mappedMs < 0 || !waitUntilIdle(started.pid, std::chrono::minutes(5))) {
        ::kill(started.pid, SIGKILL);
        ::waitpid(started.pid, nullptr, 0);
        return -1;
    }
    const auto signalled = std::chrono::steady_clock::now();
    ::kill(started.pid, SIGTERM);
    int status = 0;
    ::waitpid(started.pid, &status, 0);
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - signalled;
    // A new file in the worksheet's place, and the loaded one kept.
    const ino_t saved = inodeOf(worksheet);
    const ino_t kept = inodeOf(backup);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || saved == 0 || saved == loaded || kept == 0)
        return -1;
    written = {worksheet};
    if (kept != loaded)
        written << backup;
    return elapsed.count();
}

/// Milliseconds dd takes, as a process, to write and sync the bytes of each
/// file into a new file in the same folder.
double writtenByDd(const QString &dd, const QStringList &files)
{
    double total = 0;
    for (const QString &file : files) {
        const QString copy = file + QStringLiteral(".floor");
        QFile::remove(copy);
        const double ms = runToEnd({dd,
            {QStringLiteral("if=") + file, QStringLiteral("of=") + copy, QStringLiteral("bs=1M"),
                QStringLiteral("conv=fdatasync"), QStringLiteral("status=none")},
            {}});
        if (ms < 0)
            return -1;
        total += ms;
    }
    return total;
}

void BM_SavingExitAgainstFloor(benchmark::State &state)
{
    reportGoal(state, 2);
    const PrivateXServer server;
    MapWatcher watcher(server.display());
    if (server.display().isEmpty() || !watcher.connected()) {
        state.SkipWithError("Xvfb could not be started: the program is run on an X server of its own");
        return;
    }
    const QString dd = QStandardPaths::findExecutable(QStringLiteral("dd"));
    if (dd.isEmpty()) {
        state.SkipWithError("no dd for the floor");
        return;
    }
    const int rows = int(state.range(0));
    QStringList written;
    compareWithFloor(
        state, 7, [&] { return savingExit(watcher, server.display(), rows, written); },
        [&] { return writtenByDd(dd, written); });
    state.counters["backup_copied"] = written.size() > 1;
}

} // namespace

BENCHMARK(BM_SavingExitAgainstFloor)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
