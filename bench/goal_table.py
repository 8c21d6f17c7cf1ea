#!/usr/bin/python3
"""One table of every goal the benchmarks measure.

Reads the JSON files that the benchmarks write with --benchmark_out and
prints, for every benchmark that reports a `goal` counter, Worktally's time,
its floor's, their ratio, the goal (the highest ratio allowed) and whether
it is met, or by how much it is missed. A benchmark whose figure is not a
ratio of times (such as bytes a row) reports that figure as its ratio. A
benchmark that could not run reports no counters at all, so every one that
failed is listed too, as not measured.

Usage: bench/goal_table.py RESULT.json...
"""

import json
import re
import sys


def plain_name(name):
    """The benchmark's name and argument, without how it was run."""
    return re.sub(r"/(iterations:\d+|manual_time|real_time|min_time:[^/]+)", "", name)


def figure(value, digits):
    return "-" if value is None else "%.*f" % (digits, value)


def verdict(entry):
    if entry.get("error_occurred"):
        return "not measured: " + entry.get("error_message", "failed")
    ratio, goal = entry.get("ratio"), entry.get("goal")
    if ratio is None:
        return "not measured"
    if ratio <= goal:
        return "met (%.0f%% to spare)" % (100 * (goal - ratio) / goal)
    return "MISSED by %.0f%%" % (100 * (ratio - goal) / goal)


def goal_rows(paths):
    rows = []
    for path in paths:
        try:
            with open(path, encoding="utf-8") as results:
                benchmarks = json.load(results).get("benchmarks", [])
        except (OSError, ValueError) as error:
            print("%s: unreadable (%s)" % (path, error), file=sys.stderr)
            continue
        for entry in benchmarks:
            # Of repeated runs only the median counts.
            if entry.get("run_type") == "aggregate" and entry.get("aggregate_name") != "median":
                continue
            if "goal" in entry or entry.get("error_occurred"):
                rows.append(entry)
    return rows


def main():
    rows = goal_rows(sys.argv[1:])
    if not rows:
        print("No benchmark reported a goal.")
        return
    header = ("Benchmark", "Worktally ms", "Floor ms", "Ratio", "Goal", "")
    lines = [header] + [
        (plain_name(e.get("run_name", e["name"])), figure(e.get("worktally_ms"), 1), figure(e.get("floor_ms"), 1),
         figure(e.get("ratio"), 2), "<= %g" % e["goal"] if "goal" in e else "?", verdict(e))
        for e in rows]
    widths = [max(len(line[i]) for line in lines) for i in range(len(header))]
    for n, line in enumerate(lines):
        cells = [line[0].ljust(widths[0])] + [cell.rjust(width) for cell, width in zip(line[1:5], widths[1:5])]
        print("  ".join(cells + [line[5]]).rstrip())
        if n == 0:
            print("  ".join("-" * width for width in widths[:5]) + "  " + "-" * widths[5])
    missed = sum(1 for e in rows if not verdict(e).startswith("met"))
    print("\n%d benchmarks: %d met their goal, %d missed it or were not measured."
          % (len(rows), len(rows) - missed, missed))


if __name__ == "__main__":
    main()
