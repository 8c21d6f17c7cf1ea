#pragma once

#include <benchmark/benchmark.h>
#include <functional>
#include <vector>

// Worktally's time next to its floor's: the time of the least work any
// program doing the same must do.

/// How long work takes, in milliseconds.
double millisecondsOf(const std::function<void()> &work);

/// The middle value; of an even count, the mean of the two middle ones.
double median(std::vector<double> values);

/// The counters of a comparison: the medians of Worktally's and the floor's
/// times in milliseconds, and their ratio.
void reportAgainstFloor(
    benchmark::State &state, const std::vector<double> &worktally, const std::vector<double> &floor);

/// The goal beside the ratio: the highest ratio to the floor that meets it
/// (or, for a figure that is not a ratio, the highest figure), which the
/// table of goals shows.
void reportGoal(benchmark::State &state, double highest);

/// Measures Worktally and its floor pairs times, alternately, so that the
/// load of the machine weighs on both alike, and reports the comparison.
/// Each function gives its time in milliseconds; a failed measurement
/// (negative) ends the benchmark with an error.
void compareWithFloor(
    benchmark::State &state, int pairs, const std::function<double()> &worktally, const std::function<double()> &floor);
