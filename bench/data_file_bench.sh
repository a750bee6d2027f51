#!/usr/bin/env bash
# Peak memory and time of teledir, telelist-check and telelist-convert's
# export on hostile or large data files: telelist.dat as /dev/zero, as
# /dev/urandom, a 2 GiB sparse file, a file growing while it is read, one
# entry of three 20 MB fields, 16 entries of three 64 KiB fields (the most a
# file that loads whole can hold), and 1,000,000 valid entries. Prints one
# Markdown table row per run.
#
# Usage: bench/data_file_bench.sh TELEDIR TELELIST_CHECK [TELELIST_CONVERT]
#
# Needs bash, POSIX tools (awk, dd, tr, realpath), mktemp and yes (on every
# GNU, BSD and macOS system), GNU `timeout` and GNU time as /usr/bin/time
# (Debian package `time`).
#
# Each run is in a fresh scratch directory under ${TMPDIR:-/tmp}, removed
# afterwards, and is capped: `timeout 20` and `ulimit -v` of 4 GiB. teledir
# gets "3 4" (full list, quit) on standard input; output is discarded.
# The growing file's writer (`yes`) is held to 4 GiB of file by `ulimit -f`
# (it writes about 1 GB/s): a run cannot fill the disk.
set -u
if [ $# -lt 2 ] || [ $# -gt 3 ] || [ ! -x "$1" ] || [ ! -x "$2" ] || { [ $# -eq 3 ] && [ ! -x "$3" ]; }; then
  echo "usage: $0 TELEDIR TELELIST_CHECK [TELELIST_CONVERT]" >&2; exit 2
fi
[ -x /usr/bin/time ] || { echo "$0: needs GNU time as /usr/bin/time (Debian package 'time')" >&2; exit 2; }
command -v timeout >/dev/null || { echo "$0: needs GNU timeout (coreutils)" >&2; exit 2; }
teledir=$(realpath "$1") check=$(realpath "$2") convert=${3:+$(realpath "$3")}
limit_s=20 limit_kib=$((4 * 1024 * 1024))
scratch='' writer=''

stop_writer() { [ -n "$writer" ] && { kill "$writer" 2>/dev/null; wait "$writer" 2>/dev/null; writer=''; }; }
cleanup() { stop_writer; [ -n "$scratch" ] && { cd /; rm -rf "$scratch"; scratch=''; }; }
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# Data makers: each makes telelist.dat in the current directory.
zero()    { ln -s /dev/zero telelist.dat; }
random()  { ln -s /dev/urandom telelist.dat; }
sparse()  { dd if=/dev/null of=telelist.dat bs=1048576 seek=2048 2>/dev/null; }
growing() {
  : >telelist.dat
  ( ulimit -f "$limit_kib"; trap '' XFSZ; exec yes 'Ann Smith 312 555-0101' ) \
    >>telelist.dat 2>/dev/null &
  writer=$!
}
field()   { dd if=/dev/zero bs=1000000 count=20 2>/dev/null | tr '\0' "$1"; }
big()     { { field A; printf ' '; field B; printf ' 312 '; field C; echo; } >telelist.dat; }
# Sixteen entries of three 64 KiB fields, without a final line end: all
# sixteen load.
wide()    {
  awk 'function field(c) { while (length(c) < 65536) c = c c; return c }
    BEGIN { a = field("A"); b = field("b"); c = field("5")
      for (i = 0; i < 16; i++) printf "%s%s %s 312 %s", (i ? "\n" : ""), a, b, c }' >telelist.dat
}
million() {
  awk 'BEGIN { for (i = 0; i < 1000000; i++)
    printf "First%d Last%d 312 555-%04d\n", i % 97, i % 1009, i % 10000 }' >telelist.dat
}

# run LABEL MAKER PROGRAM: one table row.
run() {
  local label=$1 maker=$2 name=$3 rc kib secs status
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/data_file_bench.XXXXXX") && cd "$scratch" || exit 1
  "$maker"
  if [ "$name" = teledir ]; then
    ( ulimit -v "$limit_kib"
      printf '3\n4\n' | /usr/bin/time -f '%M %e' -o time.out \
        timeout -k 5 "$limit_s" "$teledir" >/dev/null 2>err.out )
  elif [ "$name" = "telelist-convert --to vcard" ]; then
    ( ulimit -v "$limit_kib"
      /usr/bin/time -f '%M %e' -o time.out \
        timeout -k 5 "$limit_s" "$convert" --to vcard </dev/null >/dev/null 2>err.out )
  else
    ( ulimit -v "$limit_kib"
      /usr/bin/time -f '%M %e' -o time.out \
        timeout -k 5 "$limit_s" "$check" telelist.dat </dev/null >/dev/null 2>err.out )
  fi
  rc=$?
  stop_writer
  read -r kib secs < <(tail -n 1 time.out)
  if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    status="killed after $limit_s s (exit $rc)"
  elif grep -qiE 'bad_alloc|out of memory|cannot allocate' err.out; then
    status="out of memory (4 GiB cap) (exit $rc)"
  else
    status="exit $rc"
  fi
  awk -v l="$label" -v p="$name" -v k="$kib" -v t="$secs" -v s="$status" \
    'BEGIN { printf "| %s | %s | %.1f MiB | %.2f s | %s |\n", l, p, k / 1024, t, s }'
  cleanup
}

echo '| data file | program | peak RSS | time | status |'
echo '|---|---|---:|---:|---|'
run 'symlink to /dev/zero' zero teledir
run 'symlink to /dev/zero' zero telelist-check
run 'symlink to /dev/urandom' random teledir
run '2 GiB sparse file' sparse teledir
run '2 GiB sparse file' sparse telelist-check
run 'growing (`yes` appending)' growing teledir
run 'one entry, three 20 MB fields' big teledir
run 'one entry, three 20 MB fields' big telelist-check
run '16 entries, three 64 KiB fields each' wide teledir
run '16 entries, three 64 KiB fields each' wide telelist-check
[ -n "$convert" ] && run '16 entries, three 64 KiB fields each' wide 'telelist-convert --to vcard'
run '1,000,000 valid entries' million teledir
run '1,000,000 valid entries' million telelist-check
