#!/bin/sh
# A committed table is what its generator makes from the Unicode data
# installed (Debian's unicode-data). A table is pinned to the Unicode
# version its first line names: where the data files it needs are missing
# or of another version (Debian 12's unicode-data is Unicode 15.0, Debian
# 13's a later one), the check is skipped (77), saying so. `make tables`
# makes the tables again from the installed data.
# Usage: generated_table_test.sh SOURCE_DIR GENERATOR TABLE DATA_FILE...
# (GENERATOR and TABLE relative to SOURCE_DIR; the data files are looked for
# in UNICODE_DATA_DIR, by default /usr/share/unicode.)
set -eu
root=$1 generator=$2 table=$3
shift 3
data=${UNICODE_DATA_DIR:-/usr/share/unicode}
for file in "$@"; do
  if [ ! -f "$data/$file" ]; then
    echo "skipped: no $data/$file (Debian's unicode-data)"
    exit 77
  fi
done
# The version the table was made from, and the installed data's, from the
# first data file whose first line names it ("# Blocks-15.0.0.txt").
pinned=$(sed -n "1s/.* from Unicode \([0-9][0-9.]*\)'s.*/\1/p" "$root/$table")
if [ -z "$pinned" ]; then
  echo "$table names no Unicode version on its first line" >&2
  exit 1
fi
installed=
for file in "$@"; do
  installed=$(sed -n '1s/^# [A-Za-z]*-\([0-9][0-9.]*\)\.txt.*/\1/p' "$data/$file")
  [ -z "$installed" ] || break
done
if [ "$installed" != "$pinned" ]; then
  echo "skipped: $table is made from Unicode $pinned, $data holds Unicode ${installed:-of no version named}"
  exit 77
fi
made=$(mktemp)
trap 'rm -f "$made"' EXIT
python3 "$root/$generator" "$data" >"$made"
if ! diff -u "$root/$table" "$made"; then
  echo "$table is not what the generator makes from $data, Unicode $installed:" \
    "run make tables" >&2
  exit 1
fi
echo "$table is up to date with $data, Unicode $installed"
