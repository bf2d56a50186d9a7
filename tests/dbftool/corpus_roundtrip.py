#!/usr/bin/python3
"""Every table dbftool writes from the corpus reads back in python3-dbfread
and python3-dbf with the values `dbftool dump` printed before: the dBASE III
and Visual FoxPro copies of `dbftool export` (all records, deleted ones
flagged), and the table `dbftool pack` leaves (its live records).

Usage: corpus_roundtrip.py DBFTOOL CORPUS WORKDIR
Exits 0 when everything agrees, 1 on a difference, 77 when python3-dbf or
python3-dbfread is missing (the test then skips).

Text is compared through code page 437 on both sides, which gives every
byte a character of its own, so no byte can hide behind a decoding choice.
Values change only as the copies' field types say they must: memo text
becomes C 255 (its first 255 bytes), I becomes N 12, B and Y become F 16.4
(rounded to four decimals), T becomes D (the day), binary memos become
blank C 10, and letters no copy knows become C 10 holding their bytes."""

import contextlib
import datetime
import decimal
import io
import glob
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

DBFTOOL, CORPUS, WORK = sys.argv[1], sys.argv[2], sys.argv[3]
TEXT_OPTIONS = ["--codepage=ansi", "--ansi=CP437"]
ENCODING = "cp437"
WHITE = " \t\r\n\v\f"

failures = []
notes = []
compared = [0]


def run(args):
    result = subprocess.run([DBFTOOL] + args, capture_output=True, check=False)
    return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8", "replace")


def dump(path, *options):
    code, out, err = run(["dump", path] + TEXT_OPTIONS + list(options))
    if code != 0:
        return None, err.strip()
    # Each record as its (key, value) pairs: two fields may share a name.
    return [json.loads(line, parse_float=decimal.Decimal, object_pairs_hook=list) for line in out.splitlines()], ""


def flag(row):
    return row[0][1]


def fields_of(path):
    """The fields in order, keyed by position."""
    code, out, _ = run(["info", path] + TEXT_OPTIONS)
    return dict(enumerate(json.loads(out)["fields"])) if code == 0 else None


def c_text(value):
    """Text as a C field holds it: up to a NUL, trailing white space gone."""
    text = "" if value is None else str(value)
    return text.split("\0", 1)[0].rstrip(WHITE)


def number(value):
    if value is None or value == "":
        return decimal.Decimal(0)
    if isinstance(value, bool):
        return decimal.Decimal(int(value))
    return decimal.Decimal(str(value))


def expected(source, target, value):
    """What a field of type target[type] holds after the copy, from the
    value dump printed for a field of type source[type]."""
    s, t = source["type"], target["type"]
    if t == "C":
        if s == "M":
            return c_text((value or "").encode("utf-8").decode("utf-8")[:255])
        if s in "GP" or (s == "B" and source["width"] != 8) or isinstance(value, dict):
            return ""
        if s == "0":
            return c_text(value)
        return c_text(c_text(value)[: target["width"]])
    if t in "NFBIY":
        return number(value)
    if t in "D":
        return value[:10] if value else None
    if t == "T":
        return value if value else None
    if t == "L":
        return bool(value)
    if t == "M":
        return value or ""
    if t in "GP":
        return value["bytes"] if isinstance(value, dict) else ""
    if t == "0":
        return value
    return c_text(value)


def normalize(target, value):
    """A library's value in the form `expected` gives."""
    t = target["type"]
    if value is None:
        return {"C": "", "M": "", "L": False, "D": None, "T": None}.get(t, number(None) if t in "NFBIY" else None)
    if t == "C":
        return c_text(value.decode(ENCODING) if isinstance(value, bytes) else value)
    if t in "NFBIY":
        return number(value)
    if t in "DT":
        if not value:
            return None
        if isinstance(value, datetime.datetime) or (hasattr(value, "hour") and t == "T"):
            return value.replace(microsecond=0).isoformat() if hasattr(value, "replace") else str(value)
        return value.isoformat()[:10]
    if t == "L":
        return bool(value)
    if t == "M":
        return value.decode(ENCODING) if isinstance(value, bytes) else value
    if t in "GP":
        return value.hex() if isinstance(value, (bytes, bytearray)) else ""
    if t == "0":
        return int.from_bytes(bytes(value), "little") if isinstance(value, (bytes, bytearray)) else value
    return value


def same(target, want, got):
    t = target["type"]
    if t in "NFBIY":
        slack = decimal.Decimal(1).scaleb(-int(target.get("decimals", 0))) / 2 if t in "NF" else decimal.Decimal(0)
        if t == "Y":
            slack = decimal.Decimal("0.00005")
        if t == "B":
            return float(want) == float(got) or abs(float(want) - float(got)) <= abs(float(want)) * 1e-15
        return abs(want - got) <= slack + abs(want) * decimal.Decimal("1e-15")
    if t == "M":
        return want.rstrip(WHITE) == (got or "").rstrip(WHITE)
    if t == "T" and want and got:
        # The engine counts 999 ms as the next second; the libraries drop
        # the milliseconds: the same bytes may read a second apart.
        gap = datetime.datetime.fromisoformat(want) - datetime.datetime.fromisoformat(got)
        return datetime.timedelta(0) <= gap <= datetime.timedelta(seconds=1)
    return want == got


def read_dbfread(path):
    # Records as lists of values: a table may name two fields alike.
    table = dbfread.DBF(path, encoding=ENCODING, char_decode_errors="strict", load=True,
                        ignore_missing_memofile=False, recfactory=lambda items: [value for _, value in items])
    return list(table.records), list(table.deleted)


def read_dbf(path):
    # The library prints what it finds odd; that is not our output.
    with contextlib.redirect_stdout(io.StringIO()):
        table = dbf.Table(path, codepage=ENCODING)
        table.open(dbf.READ_ONLY)
        try:
            names = table.field_names
            rows = []
            for record in table:
                rows.append(({name: record[name] for name in names}, dbf.is_deleted(record)))
            return rows
        finally:
            table.close()


def failure_text(error):
    return "%s: %s" % (type(error).__name__, error)


def compare(label, fields_before, fields_after, rows_expected, rows_got, rows_original=None):
    """Fields are matched by position (names may be decoded differently);
    a library that hides the null-flags field is allowed to. A value that
    differs but is what the library also reads from the corpus table itself
    (rows_original: the same records, read from the unchanged bytes) is a
    difference of reading, not of writing."""
    if len(rows_expected) != len(rows_got):
        failures.append("%s: %d records expected, %d read" % (label, len(rows_expected), len(rows_got)))
        return
    ours = list(zip(fields_before.values(), fields_after.values()))
    for number_, (want_row, got_row) in enumerate(zip(rows_expected, rows_got)):
        got_values = got_row if isinstance(got_row, list) else list(got_row.values())
        pairs = ours
        if len(got_values) != len(pairs):
            pairs = [(s, t) for s, t in ours if t["type"] != "0"]
        if len(got_values) != len(pairs):
            failures.append("%s: %d fields read, %d written" % (label, len(got_values), len(ours)))
            return
        want_values = [value for _, value in want_row[1:]]
        want_by_source = dict(zip([id(s) for s, _ in ours], want_values))
        original = rows_original[number_] if rows_original else None
        if isinstance(original, dict):
            original = list(original.values())
        for index, ((source, target), got_raw) in enumerate(zip(pairs, got_values)):
            want = expected(source, target, want_by_source[id(source)])
            got = normalize(target, got_raw)
            compared[0] += 1
            if same(target, want, got):
                continue
            if original is not None and normalize(target, original[index]) == got:
                notes.append("%s record %d field %s: the library reads %r, from the original too" %
                             (label, number_, source["name"], got))
                continue
            failures.append("%s record %d field %s (%s to %s): want %r, read %r" %
                            (label, number_, source["name"], source["type"], target["type"], want, got))


def check(label, path, fields_before, live, deleted, in_order, refusals, originals=None):
    """path must read back as live records (and deleted ones) in both
    libraries; in_order lists them all in file order for python3-dbf. A
    library that refuses the copy for the reason it refuses the corpus
    table itself (a field name twice, a code-page mark it does not know) is
    noted, not counted."""
    fields_after = fields_of(path)
    if fields_after is None:
        failures.append("%s: dbftool cannot read what it wrote" % label)
        return

    def refused(library, error):
        if refusals.get(library) == failure_text(error):
            notes.append("%s [%s]: not read, as the original is not: %s" % (label, library, failure_text(error)))
        else:
            failures.append("%s [%s]: %s" % (label, library, failure_text(error)))

    try:
        records, gone = read_dbfread(path)
        compare(label + " [dbfread]", fields_before, fields_after, live, records,
                originals.get("dbfread") if originals else None)
        compare(label + " [dbfread, deleted]", fields_before, fields_after, deleted, gone)
    except Exception as error:  # pylint: disable=broad-except
        refused("dbfread", error)
    try:
        rows = read_dbf(path)
        compare(label + " [dbf]", fields_before, fields_after, in_order, [row for row, _ in rows],
                originals.get("dbf") if originals else None)
        flags = [flag(row) == "*" for row in in_order]
        if flags != [gone for _, gone in rows]:
            failures.append("%s [dbf]: deletion flags differ" % label)
    except Exception as error:  # pylint: disable=broad-except
        refused("dbf", error)


def read_original(path):
    """Why each library refuses the corpus table itself, if it does, and
    the live records each reads from it."""
    reasons, rows = {}, {}
    try:
        rows["dbfread"] = read_dbfread(path)[0]
    except Exception as error:  # pylint: disable=broad-except
        reasons["dbfread"] = failure_text(error)
    try:
        rows["dbf"] = [row for row, gone in read_dbf(path) if not gone]
    except Exception as error:  # pylint: disable=broad-except
        reasons["dbf"] = failure_text(error)
    return reasons, rows


def copy_table(path, folder):
    os.makedirs(folder, exist_ok=True)
    stem = os.path.splitext(os.path.basename(path))[0]
    for sibling in glob.glob(os.path.join(os.path.dirname(path), "*")):
        base = os.path.basename(sibling)
        if os.path.splitext(base)[0] == stem and base.lower().endswith((".dbf", ".fpt", ".dbt")):
            shutil.copy(sibling, folder)
    return os.path.join(folder, os.path.basename(path))


tables = sorted(p for p in glob.glob(os.path.join(CORPUS, "**", "*"), recursive=True) if p.lower().endswith(".dbf"))
checked = 0
for source in tables:
    name = os.path.relpath(source, CORPUS).replace(os.sep, "_")
    folder = os.path.join(WORK, os.path.splitext(name)[0])
    table = copy_table(source, folder)
    everything, why = dump(table)
    if everything is None:
        notes.append("%s: dbftool does not open it (%s)" % (name, why))
        continue
    live, _ = dump(table, "--hide-deleted")
    deleted = [row for row in everything if flag(row) == "*"]
    fields_before = fields_of(table)
    refusals, originals = read_original(table)
    for kind in ("dbase3", "vfp"):
        out = os.path.join(folder, "copy_%s.dbf" % kind)
        code, _, err = run(["export", table, out, "--as=" + kind])
        if code != 0:
            failures.append("%s: export --as=%s failed: %s" % (name, kind, err.strip()))
            continue
        check("%s export %s" % (name, kind), out, fields_before, live, deleted, everything, refusals)
    code, _, err = run(["pack", table])
    if code != 0:
        failures.append("%s: pack failed: %s" % (name, err.strip()))
        continue
    check("%s pack" % name, table, fields_before, live, [], live, refusals, originals)
    checked += 1

for note in notes:
    print("note: " + note)
for failure in failures[:60]:
    print(failure)
print("%d tables checked, %d values compared, %d difference(s)" % (checked, compared[0], len(failures)))
sys.exit(1 if failures else 0)
