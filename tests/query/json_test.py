#!/usr/bin/python3
"""Reads telelist-query --json with Python's json module, on the data file of
every case folder of telelist-query's and teledir's (NUL bytes, bytes that
are not UTF-8, control characters among them). Each line must parse as one
object with the documented fields, and the entries must be what the load
gives (load_dump prints them, in file order), sorted by last name as teledir
sorts them. Then each last name is looked up with --last: the entries of
that name, exactly one of them shown by teledir's last-name search.

Usage: json_test.py TELELIST_QUERY LOAD_DUMP SOURCE_DIR
"""
import codecs
import collections
import concurrent.futures
import glob
import json
import os
import sys

# The programs run in process groups that end with each run (tests/common).
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "common"))
import started_program  # noqa: E402

PROGRAM, LOAD_DUMP, SOURCE = sys.argv[1], sys.argv[2], sys.argv[3]
FIELDS = {"first", "last", "area_code", "number", "line"}
TEXT_FIELDS = ("first", "last", "number")

# A byte that is not part of a UTF-8 character stands for the Latin-1
# character of its value.
codecs.register_error("latin1", lambda error: ("".join(map(chr, error.object[error.start : error.end])), error.end))


def loaded(path):
    """The entries the load gives, as (first, last, area code, number, line)."""
    run = started_program.run([LOAD_DUMP, path], check=True)
    entries = []
    for line in run.stdout.decode("ascii").splitlines():
        first, last, code, number, where = line.split("\t")
        entries.append((bytes.fromhex(first), bytes.fromhex(last), int(code), bytes.fromhex(number), int(where)))
    return entries


def field_bytes(obj, name, where):
    """The exact bytes of a text field: its string, or its _bytes in hex
    when it is not UTF-8, which the string must then approximate."""
    text = obj[name]
    assert isinstance(text, str), where
    hex_bytes = obj.get(name + "_bytes")
    if hex_bytes is None:
        return text.encode("utf-8")
    raw = bytes.fromhex(hex_bytes)
    try:
        raw.decode("utf-8")
        raise AssertionError(f"{where}: {name}_bytes for a field that is UTF-8")
    except UnicodeDecodeError:
        pass
    assert raw.decode("utf-8", errors="latin1") == text, f"{where}: {name} is not its bytes"
    return raw


def entries_of(args, path, last_name_search=False):
    run = started_program.run([PROGRAM, "--json", "-f", path] + args)
    # A file that is no data file (UTF-16, an address book) loads nothing, with status 2.
    no_data_file = run.returncode == 2 and not run.stdout and b"which the directory cannot read" in run.stderr
    assert run.returncode in (0, 1) or no_data_file, f"{path} {args}: status {run.returncode}: {run.stderr!r}"
    found = []
    # Only a line end ends a line: str.splitlines() would end one at U+0085 too.
    for number, line in enumerate(run.stdout.decode("utf-8").split("\n")[:-1], 1):
        where = f"{path} {args} line {number}"
        obj = json.loads(line)
        assert isinstance(obj, dict), where
        expected = FIELDS | ({"shown_by_last_name_search"} if last_name_search else set())
        extra = set(obj) - expected
        assert extra <= {name + "_bytes" for name in TEXT_FIELDS}, f"{where}: {sorted(extra)}"
        assert expected <= set(obj), f"{where}: {sorted(expected - set(obj))} missing"
        assert type(obj["area_code"]) is int and type(obj["line"]) is int, where
        entry = (field_bytes(obj, "first", where), field_bytes(obj, "last", where), obj["area_code"],
                 field_bytes(obj, "number", where), obj["line"])
        found.append((entry, obj.get("shown_by_last_name_search")))
    return found


def check(path):
    entries = loaded(path)
    found = entries_of([], path)
    listed = [entry for entry, _ in found]
    assert collections.Counter(listed) == collections.Counter(entries), f"{path}: {listed} != {entries}"
    lasts = [entry[1] for entry in listed]
    assert lasts == sorted(lasts), f"{path}: not sorted by last name"
    for name in sorted({entry[1] for entry in entries}):
        if not name or b"\0" in name:
            continue  # an empty name is no lookup, and a NUL byte no argument
        with_name = entries_of([b"--last=" + name], path, last_name_search=True)
        assert collections.Counter(entry for entry, _ in with_name) == \
            collections.Counter(entry for entry in entries if entry[1] == name), f"{path}: --last {name!r}"
        shown = [entry for entry, visible in with_name if visible is True]
        assert len(shown) == 1 and all(type(visible) is bool for _, visible in with_name), f"{path}: {name!r}"
    return len(listed)


def main():
    paths = sorted(glob.glob(os.path.join(SOURCE, "tests", "query", "cases", "*", "telelist.dat")) +
                   glob.glob(os.path.join(SOURCE, "tests", "directory", "cases", "*", "telelist.dat")))
    paths.append(os.path.join(SOURCE, "sample", "telelist.dat"))
    # The files two at a time: each check is a few runs of the programs.
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        total = sum(pool.map(check, paths))
    print(f"{len(paths)} data files, {total} entries: every line parses, every field as loaded")


if __name__ == "__main__":
    main()
