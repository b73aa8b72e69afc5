#!/usr/bin/env python3
"""Paired timing of two commands, run alternately: A B A B ...

    paired.py [--runs N] [--warmup N] LABEL COMMAND_A COMMAND_B

Each command is a shell-like string, split into words and started without a
shell (write `bash -c '...'` for pipes or redirections); its output goes to
/dev/null. COMMAND_B may instead be `pillow-load PATH`: Pillow's open() and
load() of PATH inside this process, so that the other side is measured
without Python's start.

The two commands alternate so that a change in the machine's load falls on
both alike; every pair gives one ratio A/B of processor time (user + system,
from the child's resource usage) and one of wall time. Prints one line:

    LABEL  cpu A/B median (min - max)  wall A/B median (min - max)  ...

followed by the medians of each side and their peak resident memory. A
command that fails ends the run with status 1 and its error output.
"""
import argparse
import os
import shlex
import statistics
import subprocess
import sys
import tempfile
import time


def run_child(words):
    """Runs one command; returns (cpu seconds, wall seconds, peak kB)."""
    with open(os.devnull, "wb") as sink, tempfile.TemporaryFile() as errors:
        start = time.perf_counter()
        child = subprocess.Popen(words, stdout=sink, stderr=errors)
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.perf_counter() - start
        child.returncode = os.waitstatus_to_exitcode(status)
        if child.returncode != 0:
            errors.seek(0)
            sys.stderr.write("failed (%d): %s\n%s" % (child.returncode, shlex.join(words),
                                                      errors.read().decode(errors="replace")))
            sys.exit(1)
    return usage.ru_utime + usage.ru_stime, wall


def peak_kb(words):
    """Peak resident memory of one more run, started by /usr/bin/time: a child
    of this process would count the copy of Python it was forked from."""
    with tempfile.NamedTemporaryFile("r") as report:
        subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report.name] + words, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        return int(report.read().split()[-1])


def pillow_load(path):
    from PIL import Image
    cpu_start, start = time.process_time(), time.perf_counter()
    with Image.open(path) as picture:
        picture.load()
    return time.process_time() - cpu_start, time.perf_counter() - start


def side(command):
    """(run once, peak kB or None) for one side of the pair."""
    words = shlex.split(command)
    if len(words) == 2 and words[0] == "pillow-load":
        return lambda: pillow_load(words[1]), lambda: None
    return lambda: run_child(words), lambda: peak_kb(words)


def spread(values):
    return "%.2f (%.2f - %.2f)" % (statistics.median(values), min(values), max(values))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=int(os.environ.get("RUNS", "5")))
    parser.add_argument("--warmup", type=int, default=1)
    parser.add_argument("label")
    parser.add_argument("a")
    parser.add_argument("b")
    options = parser.parse_args()
    (a, peak_a), (b, peak_b) = side(options.a), side(options.b)
    for _ in range(options.warmup):
        a()
        b()
    results_a, results_b = [], []
    for _ in range(max(options.runs, 1)):
        results_a.append(a())
        results_b.append(b())
    cpu = [x[0] / max(y[0], 1e-6) for x, y in zip(results_a, results_b)]
    wall = [x[1] / max(y[1], 1e-6) for x, y in zip(results_a, results_b)]

    def summary(results, peak):
        return "cpu %.4f s wall %.4f s peak %s" % (
            statistics.median(r[0] for r in results), statistics.median(r[1] for r in results),
            "-" if peak is None else "%d kB" % peak)

    print("%-34s cpu %s   wall %s   | A: %s | B: %s" % (
        options.label, spread(cpu), spread(wall), summary(results_a, peak_a()), summary(results_b, peak_b())))


if __name__ == "__main__":
    main()
