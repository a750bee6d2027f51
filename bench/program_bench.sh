#!/usr/bin/env bash
# Whole-process measurements of the directory program, all through pipes:
#  1. a scripted lookup (start, load 15 entries, one last-name search, quit)
#     against grep for the same name in the same file;
#  2. long sessions of 10,000 and 1,000,000 screens: peak resident memory
#     and screens per second.
# Usage: bench/program_bench.sh [path/to/teledir]   (default: a Release build)
#
# Needs bash 5 (its clock, $EPOCHREALTIME) and GNU time as /usr/bin/time
# (Debian package `time`).
set -euo pipefail
[ -n "${EPOCHREALTIME:-}" ] || { echo "$0: needs bash 5 (\$EPOCHREALTIME)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "$0: needs GNU time as /usr/bin/time (Debian package 'time')" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:+$(realpath "$1")}
if [ -z "$bin" ]; then
  cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DTELEDIR_BUILD_TESTS=OFF >/dev/null
  cmake --build "$root/build/bench" --target teledir -j2 >/dev/null
  bin=$root/build/bench/directory/teledir
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

for i in {1..15}; do printf 'First%02d Last%02d 312 555-01%02d\n' "$i" "$i" "$i"; done >telelist.dat
printf '1\n2\nLast07\n3\n4\n' >lookup.in

# Microseconds: the clock's seconds and fraction, the separator dropped.
now() { echo "${EPOCHREALTIME/[!0-9]/}"; }
runs=500
"$bin" <lookup.in | grep -q "Match Found" || { echo "lookup did not find the entry" >&2; exit 1; }
start=$(now); for ((i = 0; i < runs; i++)); do "$bin" <lookup.in | cat >/dev/null; done; prog=$(( $(now) - start ))
start=$(now); for ((i = 0; i < runs; i++)); do grep Last07 telelist.dat <lookup.in | cat >/dev/null; done; grepped=$(( $(now) - start ))
echo "scripted lookup, $runs runs each:"
awk -v p="$prog" -v g="$grepped" -v n="$runs" 'BEGIN {
  printf "  teledir %.3f ms per run, grep %.3f ms per run, ratio %.2f\n", p/n/1e3, g/n/1e3, p/g }'

# One cycle is six screens: full list, main menu, name menu, last-name
# search, name menu, main menu.
session() {
  local cycles=$1
  awk -v n="$cycles" 'BEGIN { for (i = 0; i < n; i++) printf "3\n1\n2\nLast07\n3\n"; print 4 }' >session.in
  /usr/bin/time -f '%M %e' -o time.out "$bin" <session.in | cat >/dev/null
  read -r kib seconds <time.out
  awk -v s=$((cycles * 6)) -v k="$kib" -v t="$seconds" 'BEGIN {
    printf "  %9d screens: peak RSS %5d KiB, %.2f s, %.0f screens/s\n", s, k, t, (t > 0 ? s/t : 0) }'
}
echo "long sessions:"
session 1667
session 166667
