// Sorting the worksheet's data rows by their Start, as "Update" does, for
// worksheets of 100 000 and 1 000 000 rows.

#include "gridsorter.h"
#include "hypergrid.h"
#include "overviewgrid.h"
#include "samplefiles.h"

#include <benchmark/benchmark.h>
#include <numeric>
#include <random>

namespace {

// The Overview with a generated worksheet, and the sorter the main window uses.
struct SortedSheet
{
    THyperGrid grid;
    TSortAStringGrid sorter;

    explicit SortedSheet(int rows)
    {
        configureOverviewGrid(grid);
        grid.LoadFromCSV(0, 1, sampleFile(rows));
        sorter.setGridToSort(&grid);
        sorter.setSortType(TSortAStringGrid::ToSortType::Date);
        sorter.setSortIndex(0);
        sorter.setStartIndex(1);
        sorter.setEndIndex(grid.RowCount() - 2);
    }

    int dataRows() const { return grid.RowCount() - 2; }
};

// Every iteration sorts the data rows from a fresh random order.
void BM_SortShuffled(benchmark::State &state)
{
    SortedSheet sheet(int(state.range(0)));
    std::vector<int> order(sheet.dataRows());
    std::iota(order.begin(), order.end(), 1);
    std::mt19937 random(20250101);
    for (auto _ : state) {
        state.PauseTiming();
        std::shuffle(order.begin(), order.end(), random);
        sheet.grid.permuteRows(1, order);
        state.ResumeTiming();
        if (!sheet.sorter.SortGrid())
            state.SkipWithError("not sorted");
    }
    state.SetItemsProcessed(state.iterations() * sheet.dataRows());
}

// What Update meets most often: rows already in order.
void BM_SortInOrder(benchmark::State &state)
{
    SortedSheet sheet(int(state.range(0)));
    sheet.sorter.SortGrid();
    for (auto _ : state) {
        if (!sheet.sorter.SortGrid())
            state.SkipWithError("not sorted");
    }
    state.SetItemsProcessed(state.iterations() * sheet.dataRows());
}

} // namespace

BENCHMARK(BM_SortShuffled)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SortInOrder)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
