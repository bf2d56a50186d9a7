#!/usr/bin/python3
"""dbftool dump beside pgdbf, end to end, on the generated customer table.

Usage: bench/compare_pgdbf.py [BUILD] [RECORDS] [RUNS]
(defaults: build-bench, 1000000, 9). Writes the table with
BUILD/samples/make_samples --table into a temporary folder, then runs, in
turn and RUNS times each, with the output going to /dev/null:
    pgdbf -s cp437 -m TABLE.FPT TABLE          (the table as SQL, text to UTF-8)
    dbftool dump TABLE                        (the table as JSON lines, text to UTF-8)
    dbftool dump TABLE --sort=NAME            (the same, sorted by a C 20 field)
and prints the median wall time, CPU time (user + system) and peak
resident memory of each, the ratio of dump to pgdbf and what --sort adds.
Runs alternate so that a busy machine weighs on all of them alike."""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

BUILD = sys.argv[1] if len(sys.argv) > 1 else "build-bench"
RECORDS = int(sys.argv[2]) if len(sys.argv) > 2 else 1000000
RUNS = int(sys.argv[3]) if len(sys.argv) > 3 else 9


def measure(command):
    """Wall seconds, CPU seconds and peak RSS (MB) of one run."""
    with open(os.devnull, "wb") as sink:
        start = time.perf_counter()
        process = subprocess.Popen(command, stdout=sink, stderr=subprocess.PIPE)
        _, status, usage = os.wait4(process.pid, 0)
        wall = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit("%s failed: %s" % (" ".join(command), process.stderr.read().decode(errors="replace")))
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024.0


def main():
    if not shutil.which("pgdbf"):
        sys.exit("pgdbf is not installed (scripts/install-deps.sh installs it)")
    folder = tempfile.mkdtemp(prefix="tabulon-pgdbf-")
    try:
        table = os.path.join(folder, "customers.dbf")
        subprocess.run([os.path.join(BUILD, "samples", "make_samples"), "--table", str(RECORDS), table],
                       check=True, stdout=subprocess.DEVNULL)
        dbftool = os.path.join(BUILD, "tools", "dbftool", "dbftool")
        commands = {
            "pgdbf": ["pgdbf", "-s", "cp437", "-m", os.path.join(folder, "customers.FPT"), table],
            "dump": [dbftool, "dump", table],
            "dump --sort=NAME": [dbftool, "dump", table, "--sort=NAME"],
        }
        results = {name: [] for name in commands}
        for _ in range(RUNS):
            for name, command in commands.items():
                results[name].append(measure(command))
        size = os.path.getsize(table) / 1e6
        print("table: %d records, %.1f MB (+ %.1f MB memo file); %d runs each, medians"
              % (RECORDS, size, os.path.getsize(os.path.join(folder, "customers.FPT")) / 1e6, RUNS))
        medians = {}
        for name, runs in results.items():
            medians[name] = [statistics.median(run[i] for run in runs) for i in range(3)]
            wall, cpu, rss = medians[name]
            print("%-18s wall %.3f s   cpu %.3f s   peak %.1f MB" % (name, wall, cpu, rss))
        print("dump / pgdbf: wall %.2f, cpu %.2f" % (medians["dump"][0] / medians["pgdbf"][0],
                                                   medians["dump"][1] / medians["pgdbf"][1]))
        print("--sort adds: wall %.3f s, cpu %.3f s" % (medians["dump --sort=NAME"][0] - medians["dump"][0],
                                                     medians["dump --sort=NAME"][1] - medians["dump"][1]))
    finally:
        shutil.rmtree(folder, ignore_errors=True)


main()
