#!/usr/bin/python3
"""Cross-checks `dbftool dump` against python3-dbfread on tables that
python3-dbf writes: a dBASE III table with memo, a FoxPro table with memo, a
Visual FoxPro table with memo (whose memo flag python3-dbf leaves clear) and a
dBASE III table marked CP866; then, given the corpus folder, its Windows-1251
and UTF-8 tables, and a table GDAL writes with a UTF-8 .cpg when ogr2ogr is
there. Tables given no dump options are dumped under LANG=C.UTF-8: their mark,
.cpg or text alone must give the code page dbfread is told.
Usage: crosscheck.py DBFTOOL FOLDER [CORPUS]. Exits 0 when every value
agrees, 1 on a difference, 77 when python3-dbf or python3-dbfread is missing
(the test then skips)."""

import datetime
import decimal
import json
import os
import shutil
import subprocess
import sys

try:
    import dbf
    import dbfread
except ImportError as error:
    print("skipped: %s" % error)
    sys.exit(77)

DBFTOOL, FOLDER = sys.argv[1], sys.argv[2]
CORPUS = sys.argv[3] if len(sys.argv) > 3 else None
# The locale names no code page a table needs: dumps without options must
# find it in the table.
PLAIN_LOCALE = dict((key, value) for key, value in os.environ.items() if not key.startswith("LC_"))
PLAIN_LOCALE["LANG"] = "C.UTF-8"

# Each table: file, dbf_type, code page, field spec, records, dump options.
# python3-dbf stores an empty memo as a memo of length 0: the FoxPro table
# has one, which must read as an empty memo.
# dBASE III and FoxPro tables are DOS tables (the automatic rule reads them as
# OEM text); the Visual FoxPro table says Windows 1252 by its mark, which the
# automatic rule reads as ANSI.
TABLES = [
    ("db3.dbf", "db3", "cp437",
     "NAME C(20); AGE N(3,0); PRICE N(8,2); BORN D; OK L; NOTE M",
     [("Ann", 34, 12.5, dbf.Date(1990, 1, 2), True, "memo text\r\nline 2"),
      ('Bob "q" \\', 7, -0.25, None, False, ""),
      ("Çañ ü", 999, 99999.99, dbf.Date(2000, 2, 29), None, "x" * 700)],
     ["--oem=CP437", "--ansi=CP1252"]),
    ("fp.dbf", "fp", "cp437",
     "NAME C(20); QTY N(5,0); F F(10,3); BORN D; OK L; NOTE M",
     [("Zoë", 5, 3.125, dbf.Date(2001, 12, 31), True, "fox memo ë"),
      ("", -42, -0.001, None, False, ""),
      ("end", 0, 0, dbf.Date(1, 1, 1), True, "ä" * 100)],
     ["--oem=CP437", "--ansi=CP1252"]),
    ("vfp.dbf", "vfp", "cp1252",
     "NAME C(20); N I; CASH Y; WHEN T; D B; BORN D; OK L; NOTE M",
     [("Vis é", -12, decimal.Decimal("12.3456"), dbf.DateTime(2002, 3, 4, 12, 34, 57), 1.0 / 3,
       dbf.Date(2002, 3, 4), False, "visual memo é"),
      ("€uro", 2147483646, decimal.Decimal("-922337203685.4775"), dbf.DateTime(1999, 12, 31, 23, 59, 59),
       -1e300, dbf.Date(1999, 12, 31), True, "x" * 300),
      ("", 0, 0, None, 0, None, None, "")],
     []),
    ("dos866.dbf", "db3", "cp866", "NAME C(20); NOTE M",
     [("Привет, мир", "мемо"), ("Ёлка ёж", "")],
     []),
]


def expected(field_type, value):
    """dbfread's value as dbftool prints it."""
    if field_type in "NF":
        return float(value or 0)  # a blank number reads as 0
    if field_type == "L":
        return bool(value)  # '?' and blanks read as false
    if field_type == "M":
        return value or None  # no memo, or an empty one
    if field_type == "D":
        return value.isoformat() if value else None
    if field_type == "T":
        return value.replace(microsecond=0).isoformat() if value else None
    if field_type == "Y":
        return decimal.Decimal(value)
    return value


def actual(field_type, value):
    if field_type == "M":
        return value or None
    if field_type == "Y":
        return decimal.Decimal(value)
    if field_type in "NFB" and value is not None:
        return float(value)
    return value


def gdal_table():
    """A table GDAL writes from a CSV file, its text UTF-8 by its .cpg."""
    csv = os.path.join(FOLDER, "gdal.csv")
    with open(csv, "w", encoding="utf-8") as handle:
        handle.write("name,city,amount\nJ\u00fcrgen,K\u00f6ln,12.5\n\u0410\u043d\u043d\u0430,"
                     "\u041c\u043e\u0441\u043a\u0432\u0430,-3.25\n")
    path = os.path.join(FOLDER, "gdal.dbf")
    subprocess.run(["ogr2ogr", "-f", "ESRI Shapefile", path, csv, "-oo", "AUTODETECT_TYPE=YES",
                    "-lco", "ENCODING=UTF-8"], check=True, capture_output=True)
    return path


failures = 0
CHECKS = []
for name, dbf_type, codepage, spec, records, options in TABLES:
    path = "%s/%s" % (FOLDER, name)
    table = dbf.Table(path, spec, dbf_type=dbf_type, codepage=codepage)
    table.open(dbf.READ_WRITE)
    for record in records:
        table.append(record)
    table.close()
    CHECKS.append((name, path, codepage, options))
if CORPUS:
    CHECKS.append(("cp1251.dbf", os.path.join(CORPUS, "cp1251.dbf"), "cp1251", []))
    CHECKS.append(("dbase_03_cyrillic.dbf", os.path.join(CORPUS, "dbase_03_cyrillic.dbf"), "utf-8", []))
if shutil.which("ogr2ogr"):
    CHECKS.append(("gdal.dbf", gdal_table(), "utf-8", []))
else:
    print("note: ogr2ogr is not installed; no GDAL table was checked")

for name, path, codepage, options in CHECKS:
    # dbfread asks for a memo file whenever a B field is present.
    reader = dbfread.DBF(path, encoding=codepage, char_decode_errors="strict", ignore_missing_memofile=True)
    types = {field.name: field.type for field in reader.fields}
    theirs = list(reader)
    run = subprocess.run([DBFTOOL, "dump", path] + options, capture_output=True, check=False, env=PLAIN_LOCALE)
    if run.returncode != 0:
        print("%s: dbftool failed: %s" % (name, run.stderr.decode(errors="replace")))
        failures += 1
        continue
    ours = [json.loads(line) for line in run.stdout.decode("utf-8").splitlines()]
    if len(ours) != len(theirs):
        print("%s: %d records dumped, dbfread reads %d" % (name, len(ours), len(theirs)))
        failures += 1
        continue
    for number, (mine, other) in enumerate(zip(ours, theirs)):
        if list(mine.keys()) != ["_flag"] + list(other.keys()) or mine["_flag"] != " ":
            print("%s record %d: keys %s" % (name, number, list(mine.keys())))
            failures += 1
            continue
        for key, value in other.items():
            want = expected(types[key], value)
            got = actual(types[key], mine[key])
            if want != got:
                print("%s record %d field %s: dbftool %r, dbfread %r" % (name, number, key, got, want))
                failures += 1

print("%d difference(s)" % failures)
sys.exit(1 if failures else 0)
