#!/usr/bin/python3
"""Prints the texts Tabulon's view shows for a table, computed from
`dbftool dump` and `dbftool info` by the view's rules: numbers with their
field's decimals, dates as dd.mm.yyyy (the default date format), date-times
with the time, logicals TRUE/FALSE. One line per cell: record index, field
index and the text as JSON. Usage: expected_cells.py DBFTOOL TABLE."""

import json
import subprocess
import sys

DBFTOOL, TABLE = sys.argv[1], sys.argv[2]
info = json.loads(subprocess.run([DBFTOOL, "info", TABLE], check=True, capture_output=True).stdout)
fields = info["fields"]
dump = subprocess.run([DBFTOOL, "dump", TABLE], check=True, capture_output=True).stdout.decode("utf-8")


def text(field, value):
    kind = field["type"]
    if value is None:
        return ""
    if kind in "NFB" and not isinstance(value, str):
        return "%.*f" % (field["decimals"], value)
    if kind == "I":
        return "%d" % value
    if kind == "L":
        return "TRUE" if value else "FALSE"
    if kind == "D":
        return value[8:10] + "." + value[5:7] + "." + value[0:4] if value else ""
    if kind == "T":
        return value[8:10] + "." + value[5:7] + "." + value[0:4] + " " + value[11:19] if value else ""
    return value


for index, line in enumerate(dump.splitlines()):
    # Fields of the same name come once in a JSON object: take them in order.
    values = json.loads(line, object_pairs_hook=lambda pairs: pairs)[1:]
    for number, (field, (_, value)) in enumerate(zip(fields, values)):
        if field["type"] in "GP0":
            continue
        print("%d\t%d\t%s" % (index, number, json.dumps(text(field, value))))
