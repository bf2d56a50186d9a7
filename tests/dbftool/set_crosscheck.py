#!/usr/bin/python3
"""`dbftool set` on tables other programs write, read back by those programs.

Tables of each dialect python3-dbf writes (db3, fp, vfp, clp) and, when
ogr2ogr is there, one GDAL writes (UTF-8 text named by its .cpg) get each of
their fields set in turn through dbftool, as a person types the values; after
every set, python3-dbfread and python3-dbf (GDAL's ogrinfo for its table) must
read the value that was meant, and every byte of every other field and record
must be as it was. No code-page option is given: each table's mark or .cpg
must be enough.

Usage: set_crosscheck.py DBFTOOL FOLDER
Exits 0 when everything agrees, 1 on a difference, 77 when python3-dbf or
python3-dbfread is missing (the test then skips)."""

import datetime
import decimal
import os
import shutil
import struct
import subprocess
import sys

try:
    import dbf
    import dbfread
except ImportError as error:
    print("skipped: %s" % error)
    sys.exit(77)

DBFTOOL, FOLDER = sys.argv[1], sys.argv[2]

LONG_MEMO = "a memo long enough to need a second block of its memo file. " * 12
# Each field set in turn in record 2: the text typed and the value meant.
EDITS = {
    "NAME": [("Zo\u00eb set", "Zo\u00eb set")],
    "N": [("1.005", 1.01), ("", None), ("-2.675", -2.68)],   # the decimals typed; blank is no 0
    "F": [("-2.5", -2.5)],
    "D": [("2024-02-29", datetime.date(2024, 2, 29)), ("19991231", datetime.date(1999, 12, 31))],
    "L": [("t", True), ("N", False)],
    "NOTE": [(LONG_MEMO, LONG_MEMO), ("short", "short")],    # shrunk in place: no old tail
    "I": [("-12", -12)],
    "Y": [("12.3456", decimal.Decimal("12.3456"))],
    "B": [("0.25", 0.25)],
    "T": [("2002-03-04 12:34:56", datetime.datetime(2002, 3, 4, 12, 34, 56)), ("", None)],
}
TABLES = [
    ("db3", "cp437", "NAME C(10); N N(6,2); D D; L L; NOTE M"),
    ("fp", "cp437", "NAME C(10); N N(6,2); F F(10,3); D D; L L; NOTE M"),
    ("vfp", "cp1252", "NAME C(10); N N(6,2); F F(10,3); D D; L L; NOTE M; I I; Y Y; B B; T T"),
    ("clp", "cp437", "NAME C(10); N N(6,2); D D; L L; NOTE M"),
]
ROWS = [
    {"NAME": "first", "N": 1.5, "F": 0.125, "D": datetime.date(2001, 2, 3), "L": True, "NOTE": "memo one",
     "I": 1, "Y": decimal.Decimal("1.5"), "B": 1.0 / 3, "T": datetime.datetime(2000, 1, 2, 3, 4, 5)},
    {"NAME": "second", "N": 2.25, "F": -1.0, "D": datetime.date(2002, 3, 4), "L": False,
     "NOTE": "the second record's memo, longer than the short text set later",
     "I": 2, "Y": decimal.Decimal("-2"), "B": 2.5, "T": datetime.datetime(2001, 1, 1)},
    {"NAME": "third", "N": None, "F": None, "D": None, "L": None, "NOTE": "memo three",
     "I": 3, "Y": decimal.Decimal("3"), "B": 0.0, "T": None},
]

failures = []


def fields_of(path):
    """(name, type, offset, width) of each field, and the header and record lengths."""
    with open(path, "rb") as handle:
        data = handle.read()
    header_length, record_length = struct.unpack("<HH", data[8:12])
    vfp = data[0] in (0x30, 0x31, 0x32)
    fields, offset, position = [], 1, 32
    while position + 32 <= header_length and data[position] != 0x0D:
        descriptor = data[position:position + 32]
        name = descriptor[:11].split(b"\0")[0].decode("ascii")
        kind = chr(descriptor[11])
        width = descriptor[16] if kind in "BFINY" else descriptor[16] | descriptor[17] << 8
        start = struct.unpack("<I", descriptor[12:16])[0] if vfp else offset
        fields.append((name, kind, start, width))
        offset += width
        position += 32
    return fields, header_length, record_length, data


def record_bytes(path):
    fields, header_length, record_length, data = fields_of(path)
    count = struct.unpack("<I", data[4:8])[0]
    return fields, [data[header_length + n * record_length:header_length + (n + 1) * record_length]
                    for n in range(count)]


def same(field_type, got, want):
    if want is None:
        return got in (None, "") or (field_type == "L" and got is None)
    if isinstance(want, float):
        return got is not None and abs(float(got) - want) < 1e-9
    if isinstance(want, str):
        return isinstance(got, str) and got.rstrip() == want.rstrip()
    if isinstance(want, datetime.datetime) and isinstance(got, datetime.datetime):
        return got.replace(microsecond=0) == want
    return got == want


def values_read(path, encoding):
    """Record 2 as dbfread and python3-dbf read it."""
    theirs = list(dbfread.DBF(path, encoding=encoding, char_decode_errors="strict"))
    table = dbf.Table(path)
    table.open(dbf.READ_ONLY)
    try:
        record = table[1]
        python_dbf = {}
        for name in table.field_names:
            value = record[name]
            if value is dbf.Null or isinstance(value, type(dbf.Unknown)) or value in (dbf.NullDate, dbf.NullDateTime):
                value = None
            elif isinstance(value, dbf.Date):
                value = value._date
            elif isinstance(value, dbf.DateTime):
                value = value._datetime
            elif isinstance(value, dbf.Logical):
                value = None if value is dbf.Unknown else bool(value)
            python_dbf[name.upper()] = value
    finally:
        table.close()
    return theirs, python_dbf


def short(value):
    text = repr(value)
    return text if len(text) <= 60 else text[:57] + "..."


def check_set(name, path, encoding, field, text, want, readers):
    fields_before, before = record_bytes(path)
    run = subprocess.run([DBFTOOL, "set", path, "--record", "2", "--field", field, "--value", text],
                         capture_output=True, check=False)
    if run.returncode != 0:
        failures.append("%s: set %s to %s failed: %s" % (name, field, short(text), run.stderr.decode(errors="replace")))
        return
    fields, after = record_bytes(path)
    if fields != fields_before or len(after) != len(before):
        failures.append("%s: set %s changed the structure or the record count" % (name, field))
        return
    for number, (old, new) in enumerate(zip(before, after)):
        for field_name, kind, start, width in fields:
            if number == 1 and field_name == field:
                continue
            if old[start:start + width] != new[start:start + width]:
                failures.append("%s: set %s changed record %d field %s" % (name, field, number + 1, field_name))
        if old[0] != new[0]:
            failures.append("%s: set %s changed the flag of record %d" % (name, field, number + 1))
    try:
        read = list(readers(path, encoding, field))
    except Exception as error:  # a reader that fails on what was written is a difference too
        failures.append("%s: after set %s %s the table cannot be read: %s" % (name, field, short(text), error))
        return
    for reader, value in read:
        if not same(dict((f[0], f[1]) for f in fields)[field], value, want):
            failures.append("%s: after set %s %s, %s reads %s, not %s"
                            % (name, field, short(text), reader, short(value), short(want)))


def python_readers(path, encoding, field):
    theirs, python_dbf = values_read(path, encoding)
    yield "dbfread", theirs[1][field]
    yield "python3-dbf", python_dbf[field]
    # The records not edited read as written, memos included.
    for number in (0, 2):
        if "NOTE" in theirs[number] and theirs[number]["NOTE"] != ROWS[number]["NOTE"]:
            failures.append("%s: record %d's memo now reads %s" % (path, number + 1, short(theirs[number]["NOTE"])))


for dbf_type, codepage, spec in TABLES:
    path = os.path.join(FOLDER, dbf_type + ".dbf")
    table = dbf.Table(path, spec, dbf_type=dbf_type, codepage=codepage)
    table.open(dbf.READ_WRITE)
    for row in ROWS:
        table.append(dict((name, row[name.upper()]) for name in table.field_names))
    table.close()
    # The Visual FoxPro table's memo flag is clear, as python3-dbf writes it:
    # its memos must still be found.
    dump = subprocess.run([DBFTOOL, "dump", path], capture_output=True, check=False).stdout.decode()
    if "memo one" not in dump:
        failures.append("%s: dump shows no memo text: %s" % (dbf_type, dump[:200]))
    for field, edits in EDITS.items():
        if field not in [name.upper() for name in dbf.Table(path).field_names]:
            continue
        for text, want in edits:
            check_set(dbf_type, path, codepage, field, text, want, python_readers)


def ogr_values(path):
    """The second feature's fields as ogrinfo prints them."""
    run = subprocess.run(["ogrinfo", "-q", "-al", "-fid", "1", path], capture_output=True, check=True)
    values = {}
    for line in run.stdout.decode("utf-8").splitlines():
        line = line.strip()
        if " = " in line and "(" in line:
            key = line.split(" (", 1)[0]
            values[key] = line.split(" = ", 1)[1]
    return values


def gdal_readers(path, encoding, field):
    theirs = list(dbfread.DBF(path, encoding=encoding, char_decode_errors="strict"))
    yield "dbfread", theirs[1][field]
    value = ogr_values(path).get(field)
    if isinstance(theirs[1][field], datetime.date):
        value = datetime.date(*map(int, value.split("/"))) if value and value != "(null)" else None
    elif isinstance(theirs[1][field], (int, float)) and value not in (None, "(null)"):
        value = float(value)
    yield "ogrinfo", value


if shutil.which("ogr2ogr") and shutil.which("ogrinfo"):
    csv = os.path.join(FOLDER, "gdal.csv")
    with open(csv, "w", encoding="utf-8") as handle:
        handle.write("name,city,amount,count,born\n"
                     "J\u00fcrgen,K\u00f6ln,12.5,3,2001-02-03\n"
                     "\u0410\u043d\u043d\u0430,\u041c\u043e\u0441\u043a\u0432\u0430,-3.25,7,1999-12-31\n"
                     "Ola,\u00c5s,0,1,2020-02-29\n")
    path = os.path.join(FOLDER, "gdal.dbf")
    subprocess.run(["ogr2ogr", "-f", "ESRI Shapefile", path, csv, "-oo", "AUTODETECT_TYPE=YES",
                    "-lco", "ENCODING=UTF-8"], check=True, capture_output=True)
    for field, text, want in [("name", "Gr\u00fc\u00dfe \u0436", "Gr\u00fc\u00dfe \u0436"),
                              ("city", "\u00c5lesund", "\u00c5lesund"), ("amount", "2.675", 2.675),
                              ("count", "42", 42), ("born", "2024-02-29", datetime.date(2024, 2, 29))]:
        check_set("gdal", path, "utf-8", field, text, want, gdal_readers)
else:
    print("note: ogr2ogr is not installed; the GDAL table was not checked")

for failure in failures:
    print(failure)
print("%d difference(s)" % len(failures))
sys.exit(1 if failures else 0)
