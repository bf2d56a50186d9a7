#!/usr/bin/python3
"""dbftool dump beside pgdbf, end to end, on two million-record tables.

Usage: bench/compare_pgdbf.py [BUILD] [RECORDS] [RUNS] [--table=customers|wide|both]
                              [--compare=OTHER_BUILD]
(defaults: build-bench, 1000000, 9, both). The tables:
    customers  the generated customer table (BUILD/samples/make_samples --table):
               C 20, C 15, C 8, N 12.2, N 5, D, L, M, C 10, one in fifty deleted,
               a memo in one record of ten
    wide       a dBASE III table of wider text written here: NAME C 20,
               CITY C 40, AMOUNT N 12.2, BORN D, FLAG L, QTY N 6, every 97th
               record deleted, no memo
For each table it runs, in turn and RUNS times each, with the output going
to /dev/null:
    pgdbf -s cp437 [-m MEMO] TABLE       (the table as SQL, text to UTF-8)
    dbftool dump TABLE                   (the table as JSON lines, text to UTF-8)
    dbftool dump TABLE --sort=NAME       (the same, sorted by the C 20 field)
and prints the median wall time, CPU time (user + system) and peak resident
memory of each, the ratio of dump to pgdbf and what --sort adds. With
--compare, OTHER_BUILD's dbftool runs beside this build's in the same turns,
so that two versions are compared on the same machine at the same moment.
Runs alternate so that a busy machine weighs on all of them alike."""

import os
import random
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

POSITIONAL = [arg for arg in sys.argv[1:] if not arg.startswith("--")]
OPTIONS = dict(arg[2:].split("=", 1) for arg in sys.argv[1:] if arg.startswith("--") and "=" in arg)
BUILD = POSITIONAL[0] if len(POSITIONAL) > 0 else "build-bench"
RECORDS = int(POSITIONAL[1]) if len(POSITIONAL) > 1 else 1000000
RUNS = int(POSITIONAL[2]) if len(POSITIONAL) > 2 else 9
TABLES = ["customers", "wide"] if OPTIONS.get("table", "both") == "both" else [OPTIONS["table"]]
OTHER = OPTIONS.get("compare")

FIRST = ["Anna", "Bernd", "Chiara", "Dmitri", "Elena", "Farid", "Greta", "Hugo", "Ines", "Jonas", "Karin", "Luca",
         "Marta", "Nils", "Olga", "Pavel", "Rosa", "Sven", "Tamara", "Ugo"]
LAST = ["Schneider", "Fischer", "Weber", "Meyer", "Wagner", "Becker", "Schulz", "Hoffmann", "Koch", "Richter",
        "Klein", "Wolf", "Neumann", "Schwarz", "Zimmermann", "Braun", "Hofmann", "Hartmann", "Lange", "Schmitt"]
CITIES = ["Frankfurt am Main, Sachsenhausen", "Muenchen-Schwabing", "Berlin Prenzlauer Berg", "Koeln-Ehrenfeld",
          "Hamburg-Altona, Ottensen", "Stuttgart Bad Cannstatt", "Duesseldorf-Oberkassel", "Leipzig-Connewitz",
          "Dresden Neustadt", "Hannover-Linden-Nord", "Nuernberg Gostenhof", "Bremen-Vegesack"]


def write_wide_table(path, records):
    """NAME C 20, CITY C 40, AMOUNT N 12.2, BORN D, FLAG L, QTY N 6."""
    fields = [("NAME", b"C", 20, 0), ("CITY", b"C", 40, 0), ("AMOUNT", b"N", 12, 2), ("BORN", b"D", 8, 0),
              ("FLAG", b"L", 1, 0), ("QTY", b"N", 6, 0)]
    record_length = 1 + sum(width for _, _, width, _ in fields)
    header_length = 32 * len(fields) + 33
    generator = random.Random(97)
    with open(path, "wb") as out:
        out.write(struct.pack("<BBBBIHH20x", 0x03, 124, 12, 7, records, header_length, record_length))
        for name, kind, width, decimals in fields:
            out.write(struct.pack("<11sc4xBB14x", name.encode(), kind, width, decimals))
        out.write(b"\r")
        chunk = []
        for n in range(records):
            name = "%s %s" % (generator.choice(LAST), generator.choice(FIRST))
            city = generator.choice(CITIES)
            amount = "%12.2f" % (generator.randrange(-1000000, 100000000) / 100.0)
            born = "%04d%02d%02d" % (1930 + n % 70, 1 + n % 12, 1 + n % 28)
            flag = "T" if n % 3 else "F"
            quantity = "%6d" % (n % 5000)
            chunk.append(("*" if n % 97 == 96 else " ") + "%-20s%-40s%s%s%s%s" % (name, city, amount, born, flag, quantity))
            if len(chunk) == 10000:
                out.write("".join(chunk).encode("ascii"))
                chunk = []
        out.write("".join(chunk).encode("ascii"))
        out.write(b"\x1a")


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


def compare(folder, kind):
    table = os.path.join(folder, kind + ".dbf")
    pgdbf = ["pgdbf", "-s", "cp437"]
    if kind == "customers":
        subprocess.run([os.path.join(BUILD, "samples", "make_samples"), "--table", str(RECORDS), table],
                       check=True, stdout=subprocess.DEVNULL)
        pgdbf += ["-m", os.path.join(folder, "customers.FPT")]
    else:
        write_wide_table(table, RECORDS)
    commands = {"pgdbf": pgdbf + [table]}
    for label, build in [("", BUILD)] + ([("other ", OTHER)] if OTHER else []):
        dbftool = os.path.join(build, "tools", "dbftool", "dbftool")
        commands[label + "dump"] = [dbftool, "dump", table]
        commands[label + "dump --sort=NAME"] = [dbftool, "dump", table, "--sort=NAME"]
    results = {name: [] for name in commands}
    for _ in range(RUNS):
        for name, command in commands.items():
            results[name].append(measure(command))
    print("%s table: %d records, %.1f MB; %d runs each, medians" % (kind, RECORDS, os.path.getsize(table) / 1e6, RUNS))
    medians = {}
    for name, runs in results.items():
        medians[name] = [statistics.median(run[i] for run in runs) for i in range(3)]
        wall, cpu, rss = medians[name]
        print("  %-24s wall %.3f s   cpu %.3f s   peak %.1f MB" % (name, wall, cpu, rss))
    for label in [""] + (["other "] if OTHER else []):
        print("  %sdump / pgdbf: wall %.2f, cpu %.2f; --sort adds: wall %.3f s, cpu %.3f s"
              % (label, medians[label + "dump"][0] / medians["pgdbf"][0], medians[label + "dump"][1] / medians["pgdbf"][1],
                 medians[label + "dump --sort=NAME"][0] - medians[label + "dump"][0],
                 medians[label + "dump --sort=NAME"][1] - medians[label + "dump"][1]))


def main():
    if not shutil.which("pgdbf"):
        sys.exit("pgdbf is not installed (scripts/install-deps.sh installs it)")
    folder = tempfile.mkdtemp(prefix="tabulon-pgdbf-")
    try:
        for kind in TABLES:
            compare(folder, kind)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


main()
