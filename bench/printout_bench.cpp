// "Print" in the main window on a 10 000-row worksheet, until the preview
// shows page 1: the printout is laid out and the first page painted.

#include "mainwindow.h"
#include "pageprinter.h"
#include "printpreview.h"
#include "samplefiles.h"

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPrinter>

namespace {

void BM_PrintButtonUntilPageOneShows(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const QString folder = dataFolder() + QStringLiteral("/printout_%1").arg(rows);
    QDir().mkpath(folder);
    QFile::remove(folder + QStringLiteral("/Hourbook.csv"));
    QFile::copy(sampleFile(rows), folder + QStringLiteral("/Hourbook.csv"));
    TForm1 form(folder);
    form.PrintPreview().PrinterDialog = [](QPrinter &) { return false; }; // the set-up cancelled
    for (auto _ : state) {
        form.btnUdskrivClick();
        form.PrintPreview().Prn->viewport()->repaint();
        benchmark::DoNotOptimize(form.PrintPreview().Prn->PageCount());
    }
    state.counters["pages"] = form.PrintPreview().Prn->PageCount();
}

} // namespace

BENCHMARK(BM_PrintButtonUntilPageOneShows)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
