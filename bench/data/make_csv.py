#!/usr/bin/env python3
"""Writes the CSV of the data-loading benchmark: a row of names, then
10^6 rows of a daily ISO date and 12 numeric columns (about 100 MB).

usage: make_csv.py OUT.csv [ROWS]
"""
import datetime
import random
import sys


def main():
    out = sys.argv[1]
    rows = int(sys.argv[2]) if len(sys.argv) > 2 else 1_000_000
    rng = random.Random(1)
    with open(out, "w", newline="") as f:
        f.write("Date," + ",".join(f"x{j + 1}" for j in range(12)) + "\n")
        day = datetime.date(1000, 1, 1)
        one = datetime.timedelta(days=1)
        lines = []
        for _ in range(rows):
            cells = [f"{rng.gauss(0, 100):.4f}" for _ in range(12)]
            lines.append(day.isoformat() + "," + ",".join(cells) + "\n")
            day += one
            if len(lines) >= 10000:
                f.write("".join(lines))
                lines.clear()
        f.write("".join(lines))


main()
