#!/bin/sh
# A committed table is what its generator makes from the Unicode data
# installed (Debian's unicode-data); skipped (77) without the data files it
# needs. A newer Unicode there fails it until the table is made again.
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
made=$(mktemp)
trap 'rm -f "$made"' EXIT
python3 "$root/$generator" "$data" >"$made"
if ! diff -u "$root/$table" "$made"; then
  echo "$table is not what the generator makes from $data:" \
    "run $generator $data > $table" >&2
  exit 1
fi
echo "$table is up to date with $data"
