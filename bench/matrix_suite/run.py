#!/usr/bin/env python3
"""Runs the fifteen tests of the matrix suite in Zu, R, Octave and Python
with numpy, in one go, and prints seconds and ratios.

Each figure is wall-clock time: the median of three differences between a
run of the test and a run that stops after making the test's data, so that
start-up and data generation do not count; the three rounds take every
system in turn.  Every system runs with the same BLAS thread settings
(those of the environment).  A missing peer is skipped with a message; a
run that fails shows as "failed" and is left out of the ratios and the
means.
    run.py [path of zul] [--before=path of another zul] [--cpu] [test ...]

With --before, a second build of Zu runs in the same window as a column
of its own, so that two builds compare under the same load.  Neither
build counts as a peer.  With --cpu the figures are the processor time
(user and system) of each run instead of wall-clock time: on a machine
shared with other work, wall-clock time measures the others' load as
well; set OPENBLAS_NUM_THREADS=1 then, since threads waiting for each
other add processor time."""
import math
import os
import shutil
import statistics
import subprocess
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
args = sys.argv[1:]
before = [a[len("--before="):] for a in args if a.startswith("--before=")]
cpu = "--cpu" in args
args = [a for a in args if not a.startswith("--before=") and a != "--cpu"]
zul = args[0] if args else os.path.join(here, "../../build/release/stage/bin/zul")
groups = [
    ("I. Matrix calculation", ["create", "power", "sort", "crossprod", "regression"]),
    ("II. Matrix functions", ["fft", "eigen", "determinant", "choleski", "inverse"]),
    ("III. Programming", ["fibonacci", "hilbert", "gcd", "toeplitz", "escoufier"]),
]
chosen = set(args[1:])
systems = {
    "Zu": [zul, "-b", os.path.join(here, "suite.zu")],
    **({"Zu-before": [before[0], "-b", os.path.join(here, "suite.zu")]} if before else {}),
    "R": ["Rscript", os.path.join(here, "suite.R")],
    "Octave": ["octave-cli", "-q", os.path.join(here, "suite.m")],
    "numpy": ["/usr/bin/python3", os.path.join(here, "suite.py")],
}
for name, command in list(systems.items()):
    if not shutil.which(command[0]) or (name == "numpy" and subprocess.run(
            command[:1] + ["-c", "import numpy"], capture_output=True).returncode):
        print(f"{name}: not installed, skipped (Debian: r-base-core, octave, python3-numpy)")
        del systems[name]


class Failed(Exception):
    pass


def wall(command):
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    # A run that fails is not a time: it would pass for a fast one.
    if process.returncode != 0:
        raise Failed(f"{' '.join(command)} exited with {process.returncode}")
    if cpu:
        return usage.ru_utime + usage.ru_stime
    return time.perf_counter() - start


def seconds_by_system(test):
    """The test's seconds for every system (None for a failed one).  Three
    rounds, each running every system in turn, a full run right before its
    set-up run: a burst of load from elsewhere then falls on one round of
    every system and on both runs of a pair, rather than on all three runs
    of one system.  Each figure is the median of the three differences."""
    differences = {n: [] for n in names}
    for _ in range(3):
        for n in names:
            if differences[n] is None:
                continue
            try:
                full = wall(systems[n] + [test])
                setup = wall(systems[n] + [test, "setup"])
                differences[n].append(full - setup)
            except Failed as failure:
                print(f"  {failure}", file=sys.stderr)
                differences[n] = None
    return {n: None if d is None else max(statistics.median(d), 1e-3) for n, d in differences.items()}


def trimmed_geomean(values):
    values = sorted(values)
    if len(values) > 2:
        values = values[1:-1]
    return math.exp(sum(math.log(v) for v in values) / len(values))


names = list(systems)
builds = [n for n in names if n.startswith("Zu")]
print(f"{'test':<12}" + "".join(f"{n:>10}" for n in names) + "".join(f"{n + '/best':>15}" for n in builds))
for title, tests in groups:
    print(title)
    table = {n: [] for n in names}
    for test in tests:
        if chosen and test not in chosen:
            continue
        row = seconds_by_system(test)
        for n in names:
            if row[n] is not None:
                table[n].append(row[n])
        peers = [row[n] for n in names if not n.startswith("Zu") and row[n] is not None]
        ratios = "".join(f"{row[n] / min(peers):15.2f}" if row[n] is not None else f"{'-':>15}"
                         for n in builds) if peers else ""
        print(f"  {test:<10}" + "".join(f"{row[n]:10.3f}" if row[n] is not None else f"{'failed':>10}"
                                         for n in names) + ratios, flush=True)
    ran = [t for t in tests if not chosen or t in chosen]
    if ran and all(len(table[n]) == len(ran) for n in names):
        print(f"  {'trimmed gm':<10}" + "".join(f"{trimmed_geomean(table[n]):10.3f}" for n in names))
