#!/usr/bin/python3
"""Reads telelist-convert's exports back with readers written by others:
vobject (with Python's csv module for the CSV export), khard or abook, as
READER says. Each data file's entries, split from the file four fields at
a time, must come back with the same names and numbers: each number with
exactly the digits that went in (its area code's, when it has one, and
its number's, extension too), a country code +1 written before a North
American one aside, and never an area code 0 written as one.

Usage: independent_test.py TELELIST_CONVERT SOURCE_DIR READER
READER is vobject, khard or abook. Exits 77 (skipped) when that reader is
not installed (Debian packages python3-vobject, khard, abook).
"""
import csv
import io
import os
import shutil
import sys
import tempfile
import uuid

# The programs run in process groups that end with each run (tests/common).
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "common"))
import started_program  # noqa: E402

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
    "tests/convert/cases/export-vcard-phone-forms/telelist.dat",
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
    run = started_program.run([PROGRAM, "--to", fmt, path], check=True)
    return run.stdout.decode("utf-8")


def full_name(first, last):
    return f"{first} {last}"


def digits(text):
    return "".join(c for c in text if c.isdigit())


def digits_in(code, number):
    """The digits of an entry's number: its area code's, unless 0, then the
    number's, extension and all."""
    return (str(code) if code != 0 else "") + digits(number)


def digits_out(code, value):
    """The digits a reader shows for an entry's number, without the +1 of a
    North American number's tel: URI."""
    shown = value[4:] if value.lower().startswith("tel:") else value
    if code != 0 and shown.startswith("+1"):
        shown = shown[2:]
    return digits(shown)


def expect_number(what, code, number, value):
    expect(f"{what}: number {value!r}'s digits", digits_out(code, value), digits_in(code, number))
    expect(f"{what}: number {value!r} shows no area code 0", value.replace(" ", "").startswith("(0)"), False)


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
        expect(f"{name}: FN", card.fn.value, full_name(first, last))
        expect_number(f"{name}: {first} {last}", code, number, card.tel.value)
        uri = card.tel.params.get("VALUE") == ["uri"]
        expect(f"{name}: {first} {last}: a tel: URI is VALUE=uri", card.tel.value.startswith("tel:"), uri)
        uid = uuid.UUID(card.uid.value.removeprefix("urn:uuid:"))
        expect(f"{name}: UID version and variant", (uid.version, uid.variant), (8, uuid.RFC_4122))
        uids.add(uid)
    expect(f"{name}: distinct UIDs", len(uids), len(wanted))

    rows = list(csv.DictReader(io.StringIO(export(path, "csv"), newline="")))
    expect(f"{name}: CSV rows", len(rows), len(wanted))
    for row, (first, last, code, number) in zip(rows, wanted):
        expect(f"{name}: CSV row", (row["First Name"], row["Last Name"], row["Area Code"], row["Number"]),
               (inert(first), inert(last), str(code) if code != 0 else "", inert(number)))


def read_with_khard(name, path, wanted, scratch):
    """khard reads the address book folder that --to vdir writes, one card
    a file, as it is."""
    book = os.path.join(scratch, "book")
    started_program.run([PROGRAM, "--to", "vdir", path, "-o", book], check=True)
    os.makedirs(os.path.join(scratch, "khard"))
    with open(os.path.join(scratch, "khard", "khard.conf"), "w", encoding="utf-8") as conf:
        conf.write(f"[addressbooks]\n[[book]]\npath = {book}\n")
    run = started_program.run(["khard", "phone", "--parsable"], check=True,
                              env=dict(os.environ, XDG_CONFIG_HOME=scratch, HOME=scratch))
    got = sorted(tuple(line.split("\t")[1::-1]) for line in run.stdout.decode("utf-8").splitlines())
    expect(f"{name}: khard's names", [full for full, _ in got], sorted(full_name(*entry[:2]) for entry in wanted))
    numbers = {full_name(first, last): (code, number) for first, last, code, number in wanted}
    for full, value in got:
        if full in numbers:
            expect_number(f"{name}: khard: {full}", *numbers[full], value)


def read_with_abook(name, path, wanted, scratch):
    """abook converts to its own format, a name= and a phone= line a card.
    It neither joins folded lines nor undoes escapes, so only names that
    need neither are compared."""
    with open(os.path.join(scratch, "contacts.vcf"), "w", encoding="utf-8", newline="") as out:
        out.write(export(path, "vcard"))
    run = started_program.run(["abook", "--convert", "--informat", "vcard", "--infile", "contacts.vcf",
                               "--outformat", "abook", "--outfile", "-"],
                              check=True, cwd=scratch, env=dict(os.environ, HOME=scratch))
    cards = []
    for line in run.stdout.decode("utf-8").splitlines():
        if line.startswith("[") and line[1:-1].isdigit():
            cards.append({})
        elif cards and "=" in line:
            key, value = line.split("=", 1)
            cards[-1][key] = value
    expect(f"{name}: abook's count", len(cards), len(wanted))
    for card, (first, last, code, number) in zip(cards, wanted):
        full = full_name(first, last)
        expect_number(f"{name}: abook: {full}", code, number, card.get("phone", ""))
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
