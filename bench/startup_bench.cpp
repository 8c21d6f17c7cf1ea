// Time from starting the program to its first painted main window, with a
// worksheet of 10 000 and 100 000 rows, next to its floor: a bare Qt window
// of the same size (floor_probe, which links Qt Widgets alone, reads no file
// and shows no text). The two are started alternately, each as a process of
// its own on an X server of the benchmark's own, and the counters give the
// medians, their ratio and the highest ratio aimed at.
//
// startup_probe is the program itself, built from its own main() with a hook
// that ends it at the first paint.

#include "floorcomparison.h"
#include "startupprobes.h"

#include <benchmark/benchmark.h>

namespace {

void BM_FirstPaintAgainstFloor(benchmark::State &state)
{
    const int rows = int(state.range(0));
    reportGoal(state, rows == 10000 ? 1.3 : 2);
    const PrivateXServer server;
    if (server.display().isEmpty()) {
        state.SkipWithError("Xvfb could not be started: the start-up is measured on an X server of its own");
        return;
    }
    const Probe worktally = worktallyProbe(benchProgram("startup_probe"), server.display(), rows);
    const Probe floor = floorProbe(server.display());
    compareWithFloor(
        state, 21, [&] { return runToEnd(worktally); }, [&] { return runToEnd(floor); });
}

} // namespace

BENCHMARK(BM_FirstPaintAgainstFloor)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
