#!/bin/sh
# datafile/hidden_characters.h is what the generator makes from the Unicode
# data installed (Debian's unicode-data); skipped (77) without it. A newer
# Unicode there fails it until the table is made again.
# Usage: hidden_characters_test.sh SOURCE_DIR [UNICODE_DATA_DIR]
set -eu
root=$1
data=${2:-/usr/share/unicode}
for file in UnicodeData.txt PropList.txt DerivedCoreProperties.txt; do
  if [ ! -f "$data/$file" ]; then
    echo "skipped: no $data/$file (Debian's unicode-data)"
    exit 77
  fi
done
made=$(mktemp)
trap 'rm -f "$made"' EXIT
python3 "$root/scripts/generate-hidden-characters.py" "$data" >"$made"
if ! diff -u "$root/datafile/hidden_characters.h" "$made"; then
  echo "datafile/hidden_characters.h is not what the generator makes from $data:" \
    "run scripts/generate-hidden-characters.py $data > datafile/hidden_characters.h" >&2
  exit 1
fi
echo "datafile/hidden_characters.h is up to date with $data"
