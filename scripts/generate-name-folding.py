#!/usr/bin/env python3
"""Writes query/name_folding_table.h, how telelist-query -i compares names.

Usage: scripts/generate-name-folding.py [UNICODE_DATA_DIR] > query/name_folding_table.h

UNICODE_DATA_DIR (default /usr/share/unicode, Debian's unicode-data) holds
UnicodeData.txt, CaseFolding.txt and Blocks.txt. Letters and marks (general
category L and M) fold; digits, symbols, punctuation and spaces are compared
as they are, which keeps out of the table the many symbols made of letters
("℡", "㍿") that no name holds. A letter's folded form is what repeating
these steps leaves, until nothing changes:

  - a combining mark (general category Mn) is dropped: the accents of a
    decomposed letter, and marks written on their own;
  - a character with a decomposition (canonical or compatibility, from
    UnicodeData.txt) becomes the characters it decomposes to;
  - any other character becomes its full case folding (CaseFolding.txt,
    status C and F): "Σ" and "ς" both become "σ", "ß" becomes "ss".

Decomposing before case folding makes a precomposed letter and its
decomposed spelling fold alike (U+1FB3 and U+03B1 U+0345 both fold to
"α"). Hangul syllables have no decomposition in UnicodeData.txt and keep
their own form. A letter whose folding drops a mark is marked as bearing an
accent, so that the program can tell names that differ in accents from
names that differ in letter case.

The table is a sorted list of disjoint ranges of the letters and marks that
fold to something else, one kind of folding each: all to one character,
each to the character as far from its target as it is from the range's
start, every other one so (upper and lower case in turn), to a run of
characters in a pool (a range of one), or to nothing.
"""

import os
import re
import sys

FILES = ("UnicodeData", "CaseFolding", "Blocks")


def read_lines(path):
    with open(path, encoding="utf-8") as data:
        return data.read().splitlines()


def data_lines(path):
    """The fields of each line that holds data, comments left out."""
    for line in read_lines(path):
        line = line.split("#", 1)[0]
        if ";" in line:
            yield [field.strip() for field in line.split(";")]


def version_of(path):
    # The first line names the file with its version: "# Blocks-15.0.0.txt".
    match = re.match(r"# \w+-(\d+\.\d+\.\d+)\.txt", read_lines(path)[0])
    if not match:
        sys.exit(f"{path}: no version on the first line")
    return match.group(1)


def code_points(text):
    return [int(part, 16) for part in text.split() if not part.startswith("<")]


def unicode_data(path):
    """Each code point's general category, and each decomposition (without
    its <tag>); a range given by its First and Last lines is filled in."""
    categories, decompositions = {}, {}
    first = None
    for fields in data_lines(path):
        code, name, category, decomposition = int(fields[0], 16), fields[1], fields[2], fields[5]
        if name.endswith(", First>"):
            first = code
            continue
        for c in range(first if name.endswith(", Last>") else code, code + 1):
            categories[c] = category
        first = None
        if decomposition:
            decompositions[code] = code_points(decomposition)
    return categories, decompositions


def case_folding(path):
    """Full case folding: the C and F lines of CaseFolding.txt."""
    return {int(code, 16): code_points(mapping) for code, status, mapping, _ in data_lines(path)
            if status in ("C", "F")}


def blocks(path):
    """The Unicode blocks, as (first, last, name), in order."""
    found = []
    for span, name in data_lines(path):
        first, last = (int(code, 16) for code in span.split(".."))
        found.append((first, last, name))
    return found


def folded_forms(categories, decompositions, folding):
    """Each letter or mark that folds to something else: its folded form,
    and whether a mark was dropped on the way."""
    marks = {c for c, category in categories.items() if category == "Mn"}
    forms = {}
    for c in sorted(set(decompositions) | set(folding) | marks):
        if categories.get(c, "Cn")[0] not in "LM":
            continue
        text, marked = [c], False
        for _ in range(10):
            step = []
            for x in text:
                if x in marks:
                    marked = True
                else:
                    step += decompositions.get(x) or folding.get(x) or [x]
            if step == text:
                break
            text = step
        else:
            sys.exit(f"U+{c:04X}: its folding does not settle")
        if text != [c]:
            forms[c] = (tuple(text), marked)
    return forms


def rows_of(forms):
    """The ranges, as [first, last, kind, target, marked]; an expansion's
    target is its run of characters."""
    rows = []
    for c in sorted(forms):
        text, marked = forms[c]
        # The row that ends just before c, or two before (with c - 1 folding
        # to itself), and folds as c does.
        near = rows[-1] if rows and rows[-1][4] == marked else [None, None, None, None, None]
        first, last, kind, target = near[:4]
        if len(text) == 0:
            if last == c - 1 and kind == "Dropped":
                near[1] = c
            else:
                rows.append([c, c, "Dropped", 0, marked])
            continue
        if len(text) > 1:
            rows.append([c, c, "Expanded", text, marked])
            continue
        to = text[0]
        if last == c - 1 and kind == "Same" and target == to:
            near[1] = c
        elif last == c - 1 and (kind == "Shifted" or (kind == "Same" and first == last)) and \
                target + (c - first) == to:
            near[1], near[2] = c, "Shifted"
        elif last == c - 2 and (kind == "Alternate" or (kind == "Same" and first == last)) and \
                target + (c - first) == to:
            near[1], near[2] = c, "Alternate"
        else:
            rows.append([c, c, "Same", to, marked])
    return rows


HEADER = """\
// Generated by scripts/generate-name-folding.py from Unicode {version}'s
// UnicodeData.txt, CaseFolding.txt and Blocks.txt; do not edit. Made again with
//   make tables   (from /usr/share/unicode, or UNICODE_DATA_DIR=FOLDER)
// (The script tells how a character folds.)
#ifndef QUERY_NAME_FOLDING_TABLE_H
#define QUERY_NAME_FOLDING_TABLE_H

enum class Fold : unsigned char {{
    Dropped,    // folds to nothing
    Same,       // every character of the range folds to `to`
    Shifted,    // first + k folds to to + k
    Alternate,  // first + 2k folds to to + 2k, the characters between them to themselves
    Expanded,   // folds to the `length` characters at kFoldExpansions[to]
}};

struct FoldRange {{
    char32_t first, last;
    char32_t to;
    Fold fold;
    unsigned char length;
    bool dropsMark;  // folding drops a combining mark: the character bears an accent
}};

// The letters and marks that fold to something else: {rows} ranges, {codes} code
// points, sorted, apart from one another; each Unicode block's under its name.
// clang-format off
inline constexpr FoldRange kFoldRanges[] = {{
"""


def main():
    directory = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/unicode"
    paths = {name: os.path.join(directory, name + ".txt") for name in FILES}
    # UnicodeData.txt has no header to tell its version; the others do.
    versions = {version_of(paths["CaseFolding"]), version_of(paths["Blocks"])}
    if len(versions) != 1:
        sys.exit(f"the data files are of different versions: {', '.join(sorted(versions))}")
    categories, decompositions = unicode_data(paths["UnicodeData"])
    forms = folded_forms(categories, decompositions, case_folding(paths["CaseFolding"]))
    rows = rows_of(forms)
    block_list = blocks(paths["Blocks"])

    out = sys.stdout
    out.write(HEADER.format(version=versions.pop(), rows=len(rows), codes=len(forms)))
    pool = []
    block = None
    for first, last, kind, target, marked in rows:
        here = next(name for low, high, name in block_list if low <= first <= high)
        if here != block:
            out.write(f"    // {here}\n")
            block = here
        if kind == "Expanded":
            to, length = len(pool), len(target)
            pool += target
        else:
            to, length = (0, 0) if kind == "Dropped" else (target, 1)
        mark = "true" if marked else "false"
        out.write(f"    {{0x{first:05X}, 0x{last:05X}, 0x{to:05X}, Fold::{kind}, {length}, {mark}}},\n")
    out.write("};\n\n")
    out.write(f"// The folded forms of more than one character, {len(pool)} characters in all.\n")
    out.write("inline constexpr char32_t kFoldExpansions[] = {\n")
    for k in range(0, len(pool), 10):
        out.write("    " + " ".join(f"0x{c:05X}," for c in pool[k : k + 10]) + "\n")
    out.write("};\n// clang-format on\n\n#endif  // QUERY_NAME_FOLDING_TABLE_H\n")


if __name__ == "__main__":
    main()
