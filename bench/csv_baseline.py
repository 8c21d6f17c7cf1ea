#!/usr/bin/env python3
"""Times Python's csv module reading the generated worksheets, the comparison
figure for worksheet_bench. Usage: csv_baseline.py FILE..."""
import csv
import sys
import time


def read_seconds(path):
    start = time.perf_counter()
    with open(path, newline="", encoding="utf-8") as f:
        for _ in csv.reader(f):
            pass
    return time.perf_counter() - start


for path in sys.argv[1:]:
    best = min(read_seconds(path) for _ in range(3))
    print(f"{path}: {best * 1000:.1f} ms")
