// Time from starting the program to its first painted main window, with a
// worksheet of 10 000 and 100 000 rows, next to a bare Qt window of the same
// size (floor_probe, which links Qt Widgets alone). Each iteration starts a
// probe as a process of its own.

#include "samplefiles.h"

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

QString programFolder(int rows)
{
    const QString folder = dataFolder() + QStringLiteral("/startup_%1").arg(rows);
    QDir().mkpath(folder);
    const QString worksheet = folder + QStringLiteral("/Hourbook.csv");
    QFile::remove(worksheet);
    QFile::copy(sampleFile(rows), worksheet);
    return folder;
}

void runProbe(benchmark::State &state, const char *program, const QString &argument)
{
    const QByteArray probe = (QCoreApplication::applicationDirPath() + u'/' + QLatin1String(program)).toLocal8Bit();
    const QByteArray arg = argument.toLocal8Bit();
    char *argv[] = {const_cast<char *>(probe.constData()), const_cast<char *>(arg.constData()), nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start the probe");
            return;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the probe failed");
            return;
        }
    }
}

void BM_EmptyQtWindow(benchmark::State &state)
{
    runProbe(state, "floor_probe", QString());
}

void BM_QtWindowWithText(benchmark::State &state)
{
    runProbe(state, "floor_probe", QStringLiteral("--text"));
}

void BM_WorktallyFirstPaint(benchmark::State &state)
{
    runProbe(state, "startup_probe", programFolder(int(state.range(0))));
}

} // namespace

BENCHMARK(BM_EmptyQtWindow)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_QtWindowWithText)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_WorktallyFirstPaint)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(10);
