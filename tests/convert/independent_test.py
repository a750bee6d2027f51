#!/usr/bin/python3
"""Reads telelist-convert's exports back with readers written by others:
vobject for vCard and Python's csv module for CSV. Each data file's
entries, split from the file four fields at a time, must come back with
the same names and numbers.

Usage: independent_test.py TELELIST_CONVERT SOURCE_DIR
Exits 77 (skipped) when vobject is not installed (Debian: python3-vobject).
"""
import csv
import io
import os
import subprocess
import sys

try:
    import vobject
except ImportError:
    print("skipped: the vobject module is not installed (Debian package python3-vobject)")
    sys.exit(77)

PROGRAM, SOURCE = sys.argv[1], sys.argv[2]
DATA_FILES = [
    "sample/telelist.dat",
    "tests/directory/cases/people/telelist.dat",
    "tests/directory/cases/number-forms/telelist.dat",
    "tests/directory/cases/same-last-name/telelist.dat",
    "tests/directory/cases/sixteen-crlf-tabs/telelist.dat",
    "tests/convert/cases/export-vcard/telelist.dat",
    "tests/convert/cases/export-csv/telelist.dat",
]


def entries(path):
    """The file's entries as (first, last, area code, number): these files
    are clean, so the fields are the whitespace-separated words."""
    with open(path, "rb") as data:
        words = data.read().decode("utf-8").split()
    return [(words[k], words[k + 1], int(words[k + 2]), words[k + 3]) for k in range(0, len(words), 4)]


def export(path, fmt):
    run = subprocess.run([PROGRAM, "--to", fmt, path], capture_output=True, check=True)
    return run.stdout.decode("utf-8")


failures = []


def expect(what, got, wanted):
    if got != wanted:
        failures.append(f"{what}: got {got!r}, wanted {wanted!r}")


for name in DATA_FILES:
    path = os.path.join(SOURCE, name)
    wanted = entries(path)

    vcard = export(path, "vcard")
    for line in vcard.split("\r\n"):
        expect(f"{name}: vCard line length", len(line.encode("utf-8")) <= 75, True)
    cards = list(vobject.readComponents(vcard))
    expect(f"{name}: vCard count", len(cards), len(wanted))
    for card, (first, last, code, number) in zip(cards, wanted):
        expect(f"{name}: N", (card.n.value.given, card.n.value.family), (first, last))
        expect(f"{name}: FN", card.fn.value, f"{first} {last}")
        expect(f"{name}: TEL", card.tel.value, f"({code}) {number}")

    rows = list(csv.DictReader(io.StringIO(export(path, "csv"), newline="")))
    expect(f"{name}: CSV rows", len(rows), len(wanted))
    for row, (first, last, code, number) in zip(rows, wanted):
        expect(f"{name}: CSV row", (row["First Name"], row["Last Name"], int(row["Area Code"]), row["Number"]),
               (first, last, code, number))
    print(f"{name}: {len(wanted)} entries read back from vCard and CSV")

for failure in failures:
    print("FAIL", failure)
sys.exit(1 if failures else 0)
