#!/usr/bin/env python3
"""Python's csv module doing what Worktally does with a worksheet: read it,
work out the Diff. column and the three totals, and write it back quoted
with CR LF line ends, synced to disk. The comparison figure for
csv_floor_bench, which runs it interleaved with Worktally's own work.

Usage: csv_baseline.py FILE...          best of three reads and sessions
       csv_baseline.py --once FILE OUT  one session, its milliseconds alone
"""
import csv
import os
import sys
import time

TIME, END, DATE, NOMINAL, DIFF = 2, 1, 4, 5, 7


def minutes(cell):
    text = cell[:10]
    hours, sep, mins = text.partition(":")
    if not (sep and hours.isdigit() and mins.isdigit() and int(hours) < 24 and int(mins) < 60):
        raise ValueError(f"'{text}' is not a valid time")
    return 60 * int(hours) + int(mins)


def hhmm(total):
    return f"{abs(total) // 60:02d}:{abs(total) % 60:02d}"


def date_part(cell):
    text = cell[:10]
    blank = text.find(" ")
    return text[:blank] if blank >= 0 else ""


def recalculate(rows):
    """The data rows are all but the last line, the worksheet's empty bottom
    line; returns the three status-bar texts."""
    data = rows[:-1]
    home = nominal = 0
    for row in data:
        h = minutes(row[TIME])
        n = minutes(row[NOMINAL])
        home += h
        nominal += n
        row[DIFF] = ("-" if n > h else "+") + hhmm(h - n)
    first, last = (data[0], data[-1]) if data else ([""] * 9, [""] * 9)
    return (
        f"{date_part(first[END])} - {date_part(last[END])}:   {hhmm(home)}  ",
        f"{first[DATE]} - {last[DATE]}:  -{hhmm(nominal)} ",
        ("-" if home < nominal else "+") + hhmm(home - nominal),
    )


def session(path, out):
    start = time.perf_counter()
    with open(path, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))
    recalculate(rows)
    with open(out, "w", newline="", encoding="utf-8") as f:
        csv.writer(f, quoting=csv.QUOTE_ALL, lineterminator="\r\n").writerows(rows)
        f.flush()
        os.fdatasync(f.fileno())
    return time.perf_counter() - start


def read(path):
    start = time.perf_counter()
    with open(path, newline="", encoding="utf-8") as f:
        for _ in csv.reader(f):
            pass
    return time.perf_counter() - start


if len(sys.argv) == 4 and sys.argv[1] == "--once":
    print(f"{session(sys.argv[2], sys.argv[3]) * 1000:.3f}")
else:
    for path in sys.argv[1:]:
        out = path + ".python"
        reading = min(read(path) for _ in range(3))
        whole = min(session(path, out) for _ in range(3))
        os.remove(out)
        print(f"{path}: read {reading * 1000:.1f} ms, read + recalculate + write {whole * 1000:.1f} ms")
