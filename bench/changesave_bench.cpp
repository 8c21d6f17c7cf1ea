// A change to a 100 000-row worksheet and its save, as the window makes
// them: how long the GUI thread is held, from the handler's call to its
// return to the event loop, and again when the save's end comes back to it.
// The floor is the least a save away from the GUI thread must do there:
// copying the row table to hand it over. "Save now", which writes on the GUI
// thread, shows what each change would cost if it were saved the same way.

#include "celltable.h"
#include "floorcomparison.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "onoffswitch.h"
#include "samplefiles.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <thread>

namespace {

constexpr int Rows = 100000;

// A main window over a copy of the generated worksheet.
std::unique_ptr<TForm1> openWorksheet(const char *name)
{
    const QString folder = dataFolder() + QStringLiteral("/changesave_") + QLatin1String(name);
    QDir().mkpath(folder);
    QFile::remove(folder + QStringLiteral("/Hourbook.csv"));
    QFile::copy(sampleFile(Rows), folder + QStringLiteral("/Hourbook.csv"));
    return std::make_unique<TForm1>(folder);
}

// The longest single turn of the event loop until the save has ended: the
// time the window is held while the save is taken note of.
double longestTurnUntilSaved(TForm1 &form)
{
    double longest = 0;
    while (form.isSaving()) {
        longest = std::max(longest, millisecondsOf([] { QCoreApplication::processEvents(); }));
        std::this_thread::yield();
    }
    return longest;
}

double copyOfTheRows(const TForm1 &form)
{
    return millisecondsOf([&] {
        CellTable copy = form.Grid1->cellTable();
        benchmark::DoNotOptimize(copy);
    });
}

// Each turn: prepare (untimed, with its own save ended), then the change.
void reportChange(benchmark::State &state, const char *name, const std::function<void(TForm1 &)> &prepare,
    const std::function<void(TForm1 &)> &change)
{
    auto form = openWorksheet(name);
    std::vector<double> held, returned, floor;
    for (auto _ : state) {
        prepare(*form);
        longestTurnUntilSaved(*form);
        held.push_back(millisecondsOf([&] { change(*form); }));
        returned.push_back(longestTurnUntilSaved(*form));
        floor.push_back(copyOfTheRows(*form));
    }
    reportAgainstFloor(state, held, floor);
    state.counters["saved_turn_ms"] = median(returned);
}

// "Insert" below a row in the middle: the change itself is small.
void BM_InsertAndSave(benchmark::State &state)
{
    reportChange(
        state, "insert",
        [](TForm1 &form) {
            form.Grid1->setSelection({0, Rows / 2, 8, Rows / 2});
        },
        [](TForm1 &form) { form.btnInsLineClick(); });
}

// Stopping the stopwatch, which recalculates every row.
void BM_StopAndSave(benchmark::State &state)
{
    reportChange(
        state, "stop", [](TForm1 &form) { form.Switch1->setStateOn(true); },
        [](TForm1 &form) { form.Switch1->setStateOn(false); });
}

// "Save now" with the stopwatch off: the recalculation and the writing, both
// on the GUI thread.
void BM_SaveNowOnTheGuiThread(benchmark::State &state)
{
    auto form = openWorksheet("savenow");
    std::vector<double> held, floor;
    for (auto _ : state) {
        held.push_back(millisecondsOf([&] { form->btnGemClick(); }));
        floor.push_back(copyOfTheRows(*form));
    }
    reportAgainstFloor(state, held, floor);
}

} // namespace

BENCHMARK(BM_InsertAndSave)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_StopAndSave)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_SaveNowOnTheGuiThread)->Unit(benchmark::kMillisecond)->Iterations(7);
