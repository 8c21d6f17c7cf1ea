// One full repaint of the Overview showing about 40 rows (one note in ten
// wraps to a second line), scrolled to the middle of worksheets of growing
// size: the cost must not depend on the number of rows.

#include "hypergrid.h"
#include "overviewgrid.h"

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>

namespace {

void fill(THyperGrid &grid, int rows)
{
    configureOverviewGrid(grid);
    grid.setRowCount(rows + 2);
    CellTable &cells = grid.cellTable();
    const QString notes[] = {QString(), QStringLiteral("Customer call, fixed the build"),
        QStringLiteral("Planning the next release with the team and writing it all down")};
    for (int r = 1; r <= rows; ++r) {
        const QStringView row[] = {u"07-12-26 08:00", u"07-12-26 12:30", u"04:30", u"", u"07-12-26", u"07:24", u"",
            u"-02:54", notes[r % 10 == 0 ? 2 : r % 2]};
        cells.setRowTexts(r, 0, row);
    }
}

void BM_RepaintMiddleOfWorksheet(benchmark::State &state)
{
    const int rows = int(state.range(0));
    THyperGrid grid;
    fill(grid, rows);
    grid.resize(670, 36 + 47 * 19 + 2);
    grid.show();
    grid.setTopRow(rows / 2);
    grid.setSelection({0, rows / 2 + 3, 8, rows / 2 + 3});
    QImage image(grid.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    grid.viewport()->render(&image); // the first paint sizes the wrapped rows
    QCoreApplication::processEvents();
    for (auto _ : state) {
        grid.viewport()->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    state.counters["visible_rows"] = grid.VisibleRowCount();
}

} // namespace

BENCHMARK(BM_RepaintMiddleOfWorksheet)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
