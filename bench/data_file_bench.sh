#!/usr/bin/env bash
# Peak memory and time of teledir, telelist-check, telelist-convert's export
# and telelist-query on hostile or large data files: telelist.dat as
# /dev/zero, as /dev/urandom, a 2 GiB sparse file, a file growing while it is
# read, one entry of three 20 MB fields, 1,000,000 valid entries, and the
# most a file that loads whole can hold: 16 entries of three 64 KiB fields
# and a 64 KiB area code (zeros before 312), of plain letters and of the
# bytes that take the most room as each program shows them (control bytes,
# four bytes each when escaped; bytes above 127 that are not UTF-8, three
# bytes in a vCard and \u00XX and hex in JSON; quotes, doubled in CSV).
# Prints one Markdown table row per run.
#
# Usage: bench/data_file_bench.sh TELEDIR TELELIST_CHECK [TELELIST_CONVERT [TELELIST_QUERY]]
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
if [ $# -lt 2 ] || [ $# -gt 4 ]; then
  echo "usage: $0 TELEDIR TELELIST_CHECK [TELELIST_CONVERT [TELELIST_QUERY]]" >&2; exit 2
fi
for program in "$@"; do
  [ -x "$program" ] || { echo "$0: $program: not an executable" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "$0: needs GNU time as /usr/bin/time (Debian package 'time')" >&2; exit 2; }
command -v timeout >/dev/null || { echo "$0: needs GNU timeout (coreutils)" >&2; exit 2; }
teledir=$(realpath "$1") check=$(realpath "$2") convert=${3:+$(realpath "$3")} query=${4:+$(realpath "$4")}
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
# longest CODE: sixteen entries of three 64 KiB fields of the byte CODE and a
# 64 KiB area code, the longest fields a file that loads whole can hold.
longest() {
  LC_ALL=C awk -v code="$1" 'function field(c) { while (length(c) < 65536) c = c c; return substr(c, 1, 65536) }
    BEGIN { f = field(sprintf("%c", code + 0)); a = substr(field("0"), 4) "312"
      for (i = 0; i < 16; i++) printf "%s %s %s %s\n", f, f, a, f }' >telelist.dat
}
controls() { longest 1; }    # \x01
high()     { longest 128; }  # \x80
quotes()   { longest 34; }   # "
million() {
  awk 'BEGIN { for (i = 0; i < 1000000; i++)
    printf "First%d Last%d 312 555-%04d\n", i % 97, i % 1009, i % 10000 }' >telelist.dat
}

# run LABEL MAKER PROGRAM [ARGUMENT...]: one table row; none for a program
# not given.
run() {
  local label=$1 maker=$2 name=$3 program rc kib secs status input=/dev/null
  shift 3
  case $name in
    teledir) program=$teledir ;;
    telelist-check) program=$check ;;
    telelist-convert) program=$convert ;;
    telelist-query) program=$query ;;
  esac
  [ -n "$program" ] || return 0
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/data_file_bench.XXXXXX") && cd "$scratch" || exit 1
  "$maker"
  if [ "$name" = teledir ]; then printf '3\n4\n' >dialogue; input=dialogue; fi
  ( ulimit -v "$limit_kib"
    /usr/bin/time -f '%M %e' -o time.out \
      timeout -k 5 "$limit_s" "$program" "$@" <"$input" >/dev/null 2>err.out )
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
  awk -v l="$label" -v p="$name${*:+ $*}" -v k="$kib" -v t="$secs" -v s="$status" \
    'BEGIN { printf "| %s | %s | %.1f MiB | %.2f s | %s |\n", l, p, k / 1024, t, s }'
  cleanup
}

echo '| data file | program | peak RSS | time | status |'
echo '|---|---|---:|---:|---|'
run 'symlink to /dev/zero' zero teledir
run 'symlink to /dev/zero' zero telelist-check telelist.dat
run 'symlink to /dev/urandom' random teledir
run '2 GiB sparse file' sparse teledir
run '2 GiB sparse file' sparse telelist-check telelist.dat
run 'growing (`yes` appending)' growing teledir
run 'one entry, three 20 MB fields' big teledir
run 'one entry, three 20 MB fields' big telelist-check telelist.dat
run '16 entries, three 64 KiB fields each' wide teledir
run '16 entries, three 64 KiB fields each' wide telelist-check telelist.dat
run '16 entries, three 64 KiB fields each' wide telelist-convert --to vcard
run '1,000,000 valid entries' million teledir
run '1,000,000 valid entries' million telelist-check telelist.dat
longest='16 entries, 64 KiB fields of'
run "$longest control bytes" controls teledir
run "$longest control bytes" controls telelist-check telelist.dat
run "$longest bytes above 127" high telelist-convert --to vcard
run "$longest quotes" quotes telelist-convert --to csv
run "$longest control bytes" controls telelist-query
run "$longest bytes above 127" high telelist-query --json
run "$longest control bytes" controls telelist-query --tsv
run "$longest control bytes" controls telelist-query --why Nobody
