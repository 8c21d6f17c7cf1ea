#include "modules.h"

#include <benchmark/benchmark.h>
#include <QApplication>

// The grid is a widget, so the benchmarks run inside an application that
// never reaches a screen.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The modules' code is linked in, and used without the module files.
    useModule(worktallyPrintingModule());
    useModule(worktallySoundModule());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
