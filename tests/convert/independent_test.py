#!/usr/bin/python3
"""Reads telelist-convert's exports back with readers written by others:
vobject (with Python's csv module for the CSV export), khard or abook, as
READER says. Each data file's entries, split from the file four fields at
a time, must come back with the same names and numbers.

Usage: independent_test.py TELELIST_CONVERT SOURCE_DIR READER
READER is vobject, khard or abook. Exits 77 (skipped) when that reader is
not installed (Debian packages python3-vobject, khard, abook).
"""
import csv
import io
import os
import shutil
import subprocess
import sys
import tempfile
import uuid

PROGRAM, SOURCE, READER = sys.argv[1], sys.argv[2], sys.argv[3]
DATA_FILES = [
    "sample/telelist.dat",
    "tests/directory/cases/people/telelist.dat",
    "tests/directory/cases/number-forms/telelist.dat",
    "tests/directory/cases/same-last-name/telelist.dat",
    "tests/directory/cases/sixteen-crlf-tabs/telelist.dat",
    "tests/directory/cases/formula-like-names/telelist.dat",
    "tests/convert/cases/export-vcard/telelist.dat",
    "tests/convert/cases/export-csv/telelist.dat",
]


def skip(package):
    print(f"skipped: {READER} is not installed (Debian package {package})")
    sys.exit(77)


if READER == "vobject":
    try:
        import vobject
    except ImportError:
        skip("python3-vobject")
elif shutil.which(READER) is None:
    skip(READER)


def entries(path):
    """The file's entries as (first, last, area code, number): these files
    are clean, so the fields are the whitespace-separated words."""
    with open(path, "rb") as data:
        words = data.read().decode("utf-8").split()
    return [(words[k], words[k + 1], int(words[k + 2]), words[k + 3]) for k in range(0, len(words), 4)]


def export(path, fmt):
    run = subprocess.run([PROGRAM, "--to", fmt, path], capture_output=True, check=True)
    return run.stdout.decode("utf-8")


def shown(first, last, code, number):
    """An entry as an address book shows it: full name and number."""
    return f"{first} {last}", f"({code}) {number}"


def inert(cell):
    """A CSV cell as the export writes it: a ' before what a spreadsheet
    would run as a formula."""
    return "'" + cell if cell.lstrip("'")[:1] in ("=", "+", "-", "@", "\t", "\r") else cell


failures = []


def expect(what, got, wanted):
    if got != wanted:
        failures.append(f"{what}: got {got!r}, wanted {wanted!r}")


def read_with_vobject(name, path, wanted):
    vcard = export(path, "vcard")
    for line in vcard.split("\r\n"):
        expect(f"{name}: vCard line length", len(line.encode("utf-8")) <= 75, True)
    cards = list(vobject.readComponents(vcard))
    expect(f"{name}: vCard count", len(cards), len(wanted))
    uids = set()
    for card, (first, last, code, number) in zip(cards, wanted):
        expect(f"{name}: N", (card.n.value.given, card.n.value.family), (first, last))
        expect(f"{name}: FN, TEL", (card.fn.value, card.tel.value), shown(first, last, code, number))
        uid = uuid.UUID(card.uid.value.removeprefix("urn:uuid:"))
        expect(f"{name}: UID version and variant", (uid.version, uid.variant), (8, uuid.RFC_4122))
        uids.add(uid)
    expect(f"{name}: distinct UIDs", len(uids), len(wanted))

    rows = list(csv.DictReader(io.StringIO(export(path, "csv"), newline="")))
    expect(f"{name}: CSV rows", len(rows), len(wanted))
    for row, (first, last, code, number) in zip(rows, wanted):
        expect(f"{name}: CSV row", (row["First Name"], row["Last Name"], int(row["Area Code"]), row["Number"]),
               (inert(first), inert(last), code, inert(number)))


def read_with_khard(name, path, wanted, scratch):
    """khard reads the address book folder that --to vdir writes, one card
    a file, as it is."""
    book = os.path.join(scratch, "book")
    subprocess.run([PROGRAM, "--to", "vdir", path, "-o", book], capture_output=True, check=True)
    os.makedirs(os.path.join(scratch, "khard"))
    with open(os.path.join(scratch, "khard", "khard.conf"), "w", encoding="utf-8") as conf:
        conf.write(f"[addressbooks]\n[[book]]\npath = {book}\n")
    run = subprocess.run(["khard", "phone", "--parsable"], capture_output=True, check=True,
                         env=dict(os.environ, XDG_CONFIG_HOME=scratch, HOME=scratch))
    got = sorted(tuple(line.split("\t")[1::-1]) for line in run.stdout.decode("utf-8").splitlines())
    expect(f"{name}: khard's names and numbers", got, sorted(shown(*entry) for entry in wanted))


def read_with_abook(name, path, wanted, scratch):
    """abook converts to its own format, a name= and a phone= line a card.
    It neither joins folded lines nor undoes escapes, so only names that
    need neither are compared."""
    with open(os.path.join(scratch, "contacts.vcf"), "w", encoding="utf-8", newline="") as out:
        out.write(export(path, "vcard"))
    run = subprocess.run(["abook", "--convert", "--informat", "vcard", "--infile", "contacts.vcf",
                          "--outformat", "abook", "--outfile", "-"],
                         capture_output=True, check=True, cwd=scratch, env=dict(os.environ, HOME=scratch))
    cards = []
    for line in run.stdout.decode("utf-8").splitlines():
        if line.startswith("[") and line[1:-1].isdigit():
            cards.append({})
        elif cards and "=" in line:
            key, value = line.split("=", 1)
            cards[-1][key] = value
    expect(f"{name}: abook's count", len(cards), len(wanted))
    for card, entry in zip(cards, wanted):
        full, number = shown(*entry)
        expect(f"{name}: abook's number", card.get("phone"), number)
        if len(f"FN:{full}".encode("utf-8")) <= 75 and not any(c in full for c in ",;\\"):
            expect(f"{name}: abook's name", card.get("name"), full)


for name in DATA_FILES:
    path = os.path.join(SOURCE, name)
    wanted = entries(path)
    if READER == "vobject":
        read_with_vobject(name, path, wanted)
    else:
        with tempfile.TemporaryDirectory() as scratch:
            (read_with_khard if READER == "khard" else read_with_abook)(name, path, wanted, scratch)
    print(f"{name}: {len(wanted)} entries read back by {READER}")

for failure in failures:
    print("FAIL", failure)
sys.exit(1 if failures else 0)
