#include "floorcomparison.h"

#include <algorithm>
#include <chrono>

double millisecondsOf(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void reportAgainstFloor(benchmark::State &state, const std::vector<double> &worktally, const std::vector<double> &floor)
{
    const double worktallyMedian = median(worktally);
    const double floorMedian = median(floor);
    state.counters["worktally_ms"] = worktallyMedian;
    state.counters["floor_ms"] = floorMedian;
    state.counters["ratio"] = worktallyMedian / floorMedian;
}

void reportGoal(benchmark::State &state, double highest)
{
    state.counters["goal"] = highest;
}

void compareWithFloor(
    benchmark::State &state, int pairs, const std::function<double()> &worktally, const std::function<double()> &floor)
{
    std::vector<double> ours, floors;
    for (auto _ : state) {
        for (int i = 0; i < pairs; ++i) {
            ours.push_back(worktally());
            floors.push_back(floor());
            if (ours.back() < 0 || floors.back() < 0) {
                state.SkipWithError("a probe failed");
                return;
            }
        }
    }
    reportAgainstFloor(state, ours, floors);
}
