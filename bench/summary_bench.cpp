// The wall time of `worktally --summary` on a worksheet of 1 000 000 rows,
// next to the load floor run the same way: a program of its own
// (fieldscan_probe, which links nothing but the C++ library) that reads the
// same file and finds every field in it. Both are processes started afresh,
// as a panel or a script starts the summary, so the floor pays for a process
// too, the least one there is; the two are started in turns and the counters
// give the medians and their ratio.

#include "clocksource.h"
#include "filelocations.h"
#include "floorcomparison.h"
#include "samplefiles.h"
#include "startupprobes.h"
#include "workinghours.h"
#include "worksheetreport.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <unistd.h>

namespace {

// A user's data home holding the sample of rows data rows as the worksheet.
QString dataHome(int rows)
{
    const QString home = dataFolder() + QStringLiteral("/summary_%1").arg(rows);
    const QString folder = home + QStringLiteral("/Worktally");
    if (!QFile::exists(worksheetFile(folder))) {
        QDir().mkpath(folder);
        QFile::copy(sampleFile(rows), worksheetFile(folder));
    }
    return home;
}

// The programs' answers go to /dev/null while it lives, not into the
// benchmark's own output.
class StandardOutputDiscarded
{
public:
    StandardOutputDiscarded()
    {
        std::fflush(stdout);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::close(null);
    }
    ~StandardOutputDiscarded()
    {
        ::dup2(m_saved, STDOUT_FILENO);
        ::close(m_saved);
    }
    StandardOutputDiscarded(const StandardOutputDiscarded &) = delete;
    StandardOutputDiscarded &operator=(const StandardOutputDiscarded &) = delete;

private:
    const int m_saved = ::dup(STDOUT_FILENO);
};

void BM_SummaryVsLoadFloor(benchmark::State &state)
{
    const QString home = dataHome(int(state.range(0)));
    const QString folder = home + QStringLiteral("/Worktally");
    const Probe summary {QStringLiteral(WORKTALLY_EXECUTABLE), {QStringLiteral("--summary")},
        {QStringLiteral("XDG_DATA_HOME=") + home}};
    const Probe floor {benchProgram("fieldscan_probe"), {worksheetFile(folder)}, {}};

    // The program is to answer for this worksheet (not one beside the
    // executable), and as the library does.
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home);
    program.setProcessEnvironment(environment);
    program.start(summary.program, summary.arguments);
    program.waitForFinished(-1);
    const QString expected = summaryText(readSummary(
        folder, ClockSource::currentDateTime().date(), WorkingHours::read(settingsFile(folder))));
    if (QString::fromUtf8(program.readAllStandardOutput()) != expected) {
        state.SkipWithError("worktally --summary does not answer for the benchmark's worksheet");
        return;
    }

    const StandardOutputDiscarded quiet;
    compareWithFloor(state, 15, [&] { return runToEnd(summary); }, [&] { return runToEnd(floor); });
    reportGoal(state, 1.5);
}

} // namespace

BENCHMARK(BM_SummaryVsLoadFloor)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
