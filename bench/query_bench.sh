#!/usr/bin/env bash
# telelist-query against grep: a lookup by name on the sample directory, and
# the caller-ID lookup by number, each run many times through a pipe, the
# way a script or a caller-ID hook runs them.
# Usage: bench/query_bench.sh [path/to/telelist-query]   (default: a Release build)
#
# Needs bash 5 (its clock, $EPOCHREALTIME) and grep.
set -euo pipefail
[ -n "${EPOCHREALTIME:-}" ] || { echo "$0: needs bash 5 (\$EPOCHREALTIME)" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:+$(realpath "$1")}
if [ -z "$bin" ]; then
  cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DTELEDIR_BUILD_TESTS=OFF >/dev/null
  cmake --build "$root/build/bench" --target telelist-query -j2 >/dev/null
  bin=$root/build/bench/query/telelist-query
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/sample/telelist.dat" "$work/"
cd "$work"

# A name and a number of the sample, found by both.
name=$(awk 'NR == 3 { print $2 }' telelist.dat)
number=$(awk 'NR == 3 { print $4 }' telelist.dat)
code=$(awk 'NR == 3 { print $3 }' telelist.dat)
"$bin" "$name" >/dev/null || { echo "$0: telelist-query does not find $name" >&2; exit 1; }
"$bin" --number "+1 $code $number" >/dev/null || { echo "$0: telelist-query does not find $number" >&2; exit 1; }

# Microseconds: the clock's seconds and fraction, the separator dropped.
now() { echo "${EPOCHREALTIME/[!0-9]/}"; }
runs=500
# time LABEL COMMAND...: the mean of $runs runs, in microseconds.
per_run() {
  local start i
  start=$(now)
  for ((i = 0; i < runs; i++)); do "$@" | cat >/dev/null; done
  echo $(( ($(now) - start) / runs ))
}
query=$(per_run "$bin" "$name")
grepped=$(per_run grep -w "$name" telelist.dat)
by_number=$(per_run "$bin" --number "+1 $code $number")
grep_number=$(per_run grep -w "$number" telelist.dat)

echo "| lookup, $runs runs each | telelist-query | grep -w | ratio |"
echo "|---|---:|---:|---:|"
awk -v q="$query" -v g="$grepped" -v n="$name" 'BEGIN {
  printf "| by name (%s) | %.2f ms | %.2f ms | %.2f |\n", n, q / 1e3, g / 1e3, q / g }'
awk -v q="$by_number" -v g="$grep_number" -v n="+1 $code $number" 'BEGIN {
  printf "| by number (%s) | %.2f ms | %.2f ms | %.2f |\n", n, q / 1e3, g / 1e3, q / g }'
