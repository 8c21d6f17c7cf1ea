// The memory the running program holds for each row of a worksheet of
// 1 000 000 rows: its resident memory (VmRSS) once it has loaded the
// worksheet and is idle, less that of the same program with an empty
// worksheet, divided by the rows. The two are started alternately on an X
// server of the benchmark's own; the medians count. The figure is reported
// as the ratio, beside the most bytes a row aimed at as the goal.

#include "floorcomparison.h"
#include "startupprobes.h"

#include <benchmark/benchmark.h>
#include <csignal>
#include <QFile>
#include <sys/wait.h>

namespace {

/// The resident memory, in bytes, of the program once it has loaded a
/// worksheet of rows rows and is idle; negative when that failed.
double residentOnceIdle(MapWatcher &watcher, const QString &display, int rows)
{
    const Probe probe = worktallyProbe(QStringLiteral(WORKTALLY_EXECUTABLE), display, rows);
    const MapWatcher::Started started = watcher.startUntilMapped(probe, std::chrono::minutes(5));
    if (started.pid < 0)
        return -1;
    double resident = -1;
    if (started.mappedMs >= 0 && waitUntilIdle(started.pid, std::chrono::minutes(5))) {
        QFile status(QStringLiteral("/proc/%1/status").arg(started.pid));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : status.readAll().split('\n'))
                if (line.startsWith("VmRSS:"))
                    resident = line.mid(6).trimmed().split(' ').value(0).toDouble() * 1024; // in kB
        }
    }
    ::kill(started.pid, SIGKILL);
    ::waitpid(started.pid, nullptr, 0);
    return resident;
}

void BM_ResidentBytesPerRow(benchmark::State &state)
{
    reportGoal(state, 329);
    const PrivateXServer server;
    MapWatcher watcher(server.display());
    if (server.display().isEmpty() || !watcher.connected()) {
        state.SkipWithError("Xvfb could not be started: the program is run on an X server of its own");
        return;
    }
    const int rows = int(state.range(0));
    std::vector<double> loaded, empty;
    for (auto _ : state) {
        for (int i = 0; i < 3; ++i) {
            loaded.push_back(residentOnceIdle(watcher, server.display(), rows));
            empty.push_back(residentOnceIdle(watcher, server.display(), 0));
            if (loaded.back() < 0 || empty.back() < 0) {
                state.SkipWithError("the program did not load and settle");
                return;
            }
        }
    }
    state.counters["loaded_mib"] = median(loaded) / (1 << 20);
    state.counters["empty_mib"] = median(empty) / (1 << 20);
    state.counters["ratio"] = (median(loaded) - median(empty)) / rows;
}

} // namespace

BENCHMARK(BM_ResidentBytesPerRow)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
