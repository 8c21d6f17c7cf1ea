// Time from starting the program to the moment the X server maps its main
// window (the MapNotify that a window manager or a watcher sees), with a
// worksheet of 10 000, 100 000 and 1 000 000 rows, next to its floor: a bare
// Qt window of the same size (floor_probe, which links Qt Widgets alone and
// reads no file). The two are started alternately on an X server of the
// benchmark's own, which this benchmark watches; the counters give the
// medians, their ratio and the highest ratio aimed at.

#include "floorcomparison.h"
#include "startupprobes.h"

#include <benchmark/benchmark.h>

namespace {

void BM_MappedAgainstFloor(benchmark::State &state)
{
    const int rows = int(state.range(0));
    reportGoal(state, rows == 10000 ? 1.5 : 2);
    const PrivateXServer server;
    MapWatcher watcher(server.display());
    if (server.display().isEmpty() || !watcher.connected()) {
        state.SkipWithError("Xvfb could not be started: the mapping is watched on an X server of its own");
        return;
    }
    const Probe worktally = worktallyProbe(QStringLiteral(WORKTALLY_EXECUTABLE), server.display(), rows);
    const Probe floor = floorProbe(server.display());
    // A start-up of seconds needs fewer runs for a steady median.
    compareWithFloor(
        state, rows < 1000000 ? 21 : 7, [&] { return watcher.timeToMap(worktally); },
        [&] { return watcher.timeToMap(floor); });
}

} // namespace

BENCHMARK(BM_MappedAgainstFloor)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
